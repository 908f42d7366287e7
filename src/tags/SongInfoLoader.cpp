// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/SongInfoLoader.h"

#include "tags/SongInfoReader.h"

#include <QMetaObject>
#include <QPointer>

SongInfoLoader::SongInfoLoader(QObject* parent) : QObject(parent)
{
    // One song at a time; a read of a slow disk never piles up others.
    pool_.setMaxThreadCount(1);
    qRegisterMetaType<SongInfo>();
}

SongInfoLoader::~SongInfoLoader()
{
    ++serial_;
    pool_.clear();
    pool_.waitForDone();
}

void SongInfoLoader::load(const QString& path)
{
    const std::uint64_t serial = ++serial_;
    if (reader_) {
        deliver(serial, path, reader_(path));
        return;
    }
    // Requests that have not started yet are out of date now.
    pool_.clear();
    pool_.start([this, serial, path] { deliver(serial, path, SongInfoReader::read(path)); });
}

// Any thread: the answer crosses to the owner's thread before it is looked at.
void SongInfoLoader::deliver(std::uint64_t serial, const QString& path,
                             const std::optional<SongInfo>& info)
{
    QMetaObject::invokeMethod(
        this,
        [this, serial, path, info] {
            if (serial == serial_ && info) {
                emit loaded(path, *info);
            }
        },
        Qt::QueuedConnection);
}
