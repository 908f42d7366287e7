#include "core/Tolvars.h"

#include "settings/CRegSettings.h"

#include <QFileInfo>

Tolvars::Tolvars() = default;
Tolvars::~Tolvars() = default;

std::optional<QString> Tolvars::song(std::int32_t index) const
{
    if (index < 1 || index > SongList.size()) {
        return std::nullopt;
    }
    return SongList.at(index - 1);
}

bool FileExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile() && info.size() > 0;
}
