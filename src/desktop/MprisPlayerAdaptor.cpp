// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/MprisPlayerAdaptor.h"

#include "desktop/MediaControl.h"
#include "desktop/MprisSnapshot.h"

#include <QUrl>
#include <algorithm>

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* service, MediaControl& control, ErrorReply refuse)
    : QDBusAbstractAdaptor(service), control_(control), refuse_(std::move(refuse))
{
    connect(&control_, &MediaControl::seeked, this, &MprisPlayerAdaptor::onSeeked);
}

void MprisPlayerAdaptor::onSeeked(qint64 positionMs)
{
    emit Seeked(positionMs * 1000);
}

QString MprisPlayerAdaptor::playbackStatus() const
{
    return MprisSnapshot::statusText(control_.status());
}

QVariantMap MprisPlayerAdaptor::metadata() const
{
    return MprisSnapshot::metadata(control_.track());
}

qlonglong MprisPlayerAdaptor::position() const
{
    return control_.positionMs() * 1000;
}

bool MprisPlayerAdaptor::canSeek() const
{
    return control_.canSeek();
}

bool MprisPlayerAdaptor::shuffle() const
{
    return control_.shuffle();
}

void MprisPlayerAdaptor::setShuffle(bool on)
{
    control_.setShuffle(on);
}

QString MprisPlayerAdaptor::loopStatus() const
{
    return MprisSnapshot::loopText(control_.loop());
}

void MprisPlayerAdaptor::setLoopStatus(const QString& status)
{
    if (status == QLatin1String("Playlist")) {
        control_.setLoop(true);
    } else if (status == QLatin1String("None")) {
        control_.setLoop(false);
    }
}

bool MprisPlayerAdaptor::canGoNext() const
{
    return control_.canGoNext();
}

bool MprisPlayerAdaptor::canGoPrevious() const
{
    return control_.canGoPrevious();
}

bool MprisPlayerAdaptor::canPlay() const
{
    return control_.canPlay();
}

bool MprisPlayerAdaptor::canPause() const
{
    return control_.canPause();
}

void MprisPlayerAdaptor::Next()
{
    control_.next();
}

void MprisPlayerAdaptor::Previous()
{
    control_.previous();
}

void MprisPlayerAdaptor::Pause()
{
    control_.pause();
}

void MprisPlayerAdaptor::PlayPause()
{
    control_.playPause();
}

void MprisPlayerAdaptor::Stop()
{
    control_.stop();
}

void MprisPlayerAdaptor::Play()
{
    control_.play();
}

void MprisPlayerAdaptor::Seek(qlonglong offset)
{
    const std::optional<TrackInfo> track = control_.track();
    if (!track || !control_.canSeek()) {
        return;
    }
    const qlonglong target = std::max<qlonglong>(0, control_.positionMs() + offset / 1000);
    if (track->lengthMs > 0 && target >= track->lengthMs) {
        control_.next();
        return;
    }
    control_.seekTo(target);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& trackId, qlonglong position)
{
    const std::optional<TrackInfo> track = control_.track();
    if (!track || trackId.path() != MprisSnapshot::trackId(*track) || position < 0 ||
        position / 1000 > track->lengthMs) {
        return;
    }
    control_.seekTo(position / 1000);
}

void MprisPlayerAdaptor::OpenUri(const QString& uri)
{
    QUrl url(uri);
    if (url.scheme().isEmpty() && uri.startsWith(QLatin1Char('/'))) {
        url = QUrl::fromLocalFile(uri);  // a bare path, as some clients send
    }
    const QString refusal = control_.openUri(url);
    if (!refusal.isEmpty() && refuse_) {
        refuse_(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"), refusal);
    }
}
