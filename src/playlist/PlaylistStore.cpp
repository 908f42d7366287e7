#include "playlist/PlaylistStore.h"

#include "playlist/PathText.h"
#include "playlist/PylFormat.h"

#include <QDir>
#include <QFile>

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
    if (file->write(bytes) != bytes.size()) {
        file->cancelWriting();
        return false;
    }
    return file->commit();
}

std::optional<QStringList> PlaylistStore::read(const QString& fileName) const
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return PylFormat::decode(bytes);
}

void PlaylistStore::setSaveFileFactory(SaveFileFactory factory)
{
    makeSaveFile_ = std::move(factory);
}
