// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PlaylistStore.h"

#include "files/RegularFile.h"
#include "playlist/PathText.h"
#include "playlist/PylFormat.h"
#include "playlist/PylReader.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

constexpr std::size_t kBlockBytes = 64 * 1024;
constexpr QLatin1String kExtension{".pyl"};

// The file of the stem in the folder: the exact name first, else one whose
// extension differs only in case.
std::optional<QString> existingFile(const QString& folder, const QString& stem)
{
    const QString exact = JoinPath(folder, stem + kExtension);
    if (QFileInfo::exists(exact)) {
        return exact;
    }
    const QFileInfo wanted(exact);
    const QString name = wanted.fileName();
    const QDir dir = wanted.dir();
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (entry.size() == name.size() && entry.endsWith(kExtension, Qt::CaseInsensitive) &&
            entry.startsWith(name.chopped(kExtension.size()))) {
            return dir.filePath(entry);
        }
    }
    return std::nullopt;
}

// Playlist files of one folder; hidden ones only when their stem is empty.
QStringList playlistFiles(const QString& folder)
{
    QStringList files;
    for (const QString& file :
         QDir(folder).entryList({QStringLiteral("*.pyl*")}, QDir::Files | QDir::Hidden)) {
        if (!file.startsWith(QLatin1Char('.')) ||
            file.startsWith(kExtension, Qt::CaseInsensitive)) {
            files << file;
        }
    }
    return files;
}

}  // namespace

PlaylistStore::PlaylistStore(QString folder, QString earlierFolder)
    : folder_(std::move(folder)),
      earlierFolder_(std::move(earlierFolder)),
      makeSaveFile_([](const QString& name) { return std::make_unique<QSaveFile>(name); })
{
}

QString PlaylistStore::fileFor(const QString& stem) const
{
    return JoinPath(folder_, stem + QStringLiteral(".pyl"));
}

QStringList PlaylistStore::folders() const
{
    QStringList folders{folder_};
    if (!earlierFolder_.isEmpty() &&
        QDir(earlierFolder_).canonicalPath() != QDir(folder_).canonicalPath()) {
        folders << earlierFolder_;
    }
    return folders;
}

QString PlaylistStore::fileToLoad(const QString& stem) const
{
    for (const QString& folder : folders()) {
        if (std::optional<QString> file = existingFile(folder, stem)) {
            return *file;
        }
    }
    return fileFor(stem);
}

QString PlaylistStore::fileToSave(const QString& stem) const
{
    return existingFile(folder_, stem).value_or(fileFor(stem));
}

QStringList PlaylistStore::savedNames() const
{
    QStringList files;
    for (const QString& folder : folders()) {
        for (const QString& file : playlistFiles(folder)) {
            if (!files.contains(file)) {
                files << file;
            }
        }
    }
    std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
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
