#include "desktop/MprisPlayerAdaptor.h"

#include "desktop/MediaControl.h"
#include "desktop/MprisSnapshot.h"

#include <QUrl>

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* service, MediaControl& control, ErrorReply refuse)
    : QDBusAbstractAdaptor(service), control_(control), refuse_(std::move(refuse))
{
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

void MprisPlayerAdaptor::Seek(qlonglong) {}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath&, qlonglong) {}

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
