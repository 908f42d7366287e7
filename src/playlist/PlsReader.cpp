// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PlsReader.h"

#include "playlist/PlaylistText.h"

#include <algorithm>
#include <optional>

namespace {

// N of a "FileN" key.
std::optional<int> fileNumber(QStringView key)
{
    if (!key.startsWith(u"file", Qt::CaseInsensitive) || key.size() == 4) {
        return std::nullopt;
    }
    bool ok = false;
    const int number = key.sliced(4).toInt(&ok);
    return ok && number >= 0 ? std::optional<int>(number) : std::nullopt;
}

struct Numbered {
    int number;
    PlaylistEntry entry;
};

}  // namespace

std::vector<PlaylistEntry> PlsReader::entries(QByteArrayView bytes)
{
    std::vector<Numbered> found;
    for (PlaylistText::Line& line : PlaylistText::lines(bytes, false)) {
        if (line.tooLong) {
            // Whatever key it had, it is reported where it stands.
            found.push_back({-1, {line.number, QString(), true}});
            continue;
        }
        const qsizetype equals = line.text.indexOf(u'=');
        if (equals < 0) {
            continue;  // "[playlist]" and the like
        }
        const std::optional<int> number =
            fileNumber(QStringView(line.text).first(equals).trimmed());
        if (number) {
            found.push_back(
                {*number, {line.number, line.text.sliced(equals + 1).trimmed(), false}});
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Numbered& a, const Numbered& b) { return a.number < b.number; });
    std::vector<PlaylistEntry> entries;
    entries.reserve(found.size());
    for (Numbered& numbered : found) {
        entries.push_back(std::move(numbered.entry));
    }
    return entries;
}
