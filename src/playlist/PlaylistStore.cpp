#include "playlist/PlaylistStore.h"

#include "files/RegularFile.h"
#include "playlist/PathText.h"
#include "playlist/PylFormat.h"
#include "playlist/PylReader.h"

#include <QDir>

namespace {
constexpr std::size_t kBlockBytes = 64 * 1024;
}  // namespace

PlaylistStore::PlaylistStore(QString folder)
    : folder_(std::move(folder)),
      makeSaveFile_([](const QString& name) { return std::make_unique<QSaveFile>(name); })
{
}

QString PlaylistStore::fileFor(const QString& stem) const
{
    return JoinPath(folder_, stem + QStringLiteral(".pyl"));
}

QStringList PlaylistStore::savedNames() const
{
    const QDir dir(folder_);
    const QStringList files =
        dir.entryList({QStringLiteral("*.pyl*")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    QStringList names;
    names.reserve(files.size());
    for (const QString& file : files) {
        names.append(file.left(file.lastIndexOf(QLatin1Char('.'))));
    }
    return names;
}

bool PlaylistStore::write(const QString& fileName, const QStringList& paths) const
{
    const std::unique_ptr<QSaveFile> file = makeSaveFile_(fileName);
    if (!file->open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = PylFormat::encode(paths);
    // The bytes may wait in the device's buffer: a full disk or a file size
    // limit shows only when they go out, and commit() would not notice.
    if (file->write(bytes) != bytes.size() || !file->flush()) {
        file->cancelWriting();
        return false;
    }
    return file->commit();
}

std::optional<QStringList> PlaylistStore::read(const QString& fileName) const
{
    const RegularFile file(fileName, RegularFile::Access::Read);
    if (!file.isOpen() || file.size() > kMaxFileBytes) {
        return std::nullopt;
    }
    PylReader reader;
    QByteArray block(kBlockBytes, '\0');
    std::int64_t offset = 0;
    while (!reader.full()) {
        const std::int64_t got = file.readAt(offset, block.data(), kBlockBytes);
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        offset += got;
        if (offset > kMaxFileBytes) {
            return std::nullopt;  // it grew past the limit while being read
        }
        reader.feed(QByteArrayView(block.constData(), static_cast<qsizetype>(got)));
    }
    return reader.finish();
}

void PlaylistStore::setSaveFileFactory(SaveFileFactory factory)
{
    makeSaveFile_ = std::move(factory);
}
