// SPDX-License-Identifier: GPL-3.0-or-later
#include "broadcast/ShoutConnection.h"

#include <shout/shout.h>

#include <mutex>
#include <thread>

namespace {
constexpr std::chrono::milliseconds kConnectPoll{20};

void initialiseLibraryOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { shout_init(); });
}

unsigned shoutFormat(StreamFormat format)
{
    return format == StreamFormat::Mp3 ? SHOUT_FORMAT_MP3 : SHOUT_FORMAT_OGG;
}
}  // namespace

ShoutConnection::ShoutConnection(const BroadcastAddress& address, const QString& stationName)
    : address_(address)
{
    initialiseLibraryOnce();
    shout_ = shout_new();
    if (shout_ == nullptr) {
        return;
    }
    shout_set_host(shout_, address.host.toUtf8().constData());
    shout_set_port(shout_, static_cast<unsigned short>(address.port));
    shout_set_user(shout_, address.user.toUtf8().constData());
    shout_set_password(shout_, address.password.toUtf8().constData());
    shout_set_mount(shout_, address.mount.toUtf8().constData());
    shout_set_protocol(shout_, SHOUT_PROTOCOL_HTTP);
    // icecast:// is plain HTTP; looking for TLS first only delays a plain server.
    shout_set_tls(shout_, SHOUT_TLS_DISABLED);
    shout_set_content_format(shout_, shoutFormat(address.format), SHOUT_USAGE_AUDIO, nullptr);
    shout_set_meta(shout_, SHOUT_META_NAME, stationName.toUtf8().constData());
    shout_set_audio_info(shout_, SHOUT_AI_BITRATE, QByteArray::number(address.kbps).constData());
    shout_set_audio_info(shout_, SHOUT_AI_SAMPLERATE, "44100");
    shout_set_audio_info(shout_, SHOUT_AI_CHANNELS, "2");
    shout_set_agent(shout_, stationName.toUtf8().constData());
    shout_set_nonblocking(shout_, 1);
}

ShoutConnection::~ShoutConnection()
{
    if (shout_ != nullptr) {
        shout_close(shout_);
        shout_free(shout_);
    }
}

void ShoutConnection::close()
{
    if (shout_ != nullptr) {
        shout_close(shout_);
    }
}

std::optional<BroadcastFailure> ShoutConnection::open(const std::atomic<bool>& stop,
                                                      std::chrono::milliseconds timeout)
{
    using Kind = BroadcastFailure::Kind;
    const QString where = QStringLiteral("%1:%2").arg(address_.host).arg(address_.port);
    if (shout_ == nullptr) {
        return BroadcastFailure{Kind::Encoder, QStringLiteral("out of memory")};
    }
    // Whatever an earlier connection left (its queue, its socket) goes first.
    shout_close(shout_);
    int result = shout_open(shout_);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (result == SHOUTERR_BUSY && !stop.load(std::memory_order_acquire)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return BroadcastFailure{Kind::Unreachable,
                                    QStringLiteral("no answer from %1").arg(where)};
        }
        std::this_thread::sleep_for(kConnectPoll);
        result = shout_get_connected(shout_);
    }
    switch (result) {
        case SHOUTERR_SUCCESS:
        case SHOUTERR_CONNECTED:
            return std::nullopt;
        case SHOUTERR_BUSY:
            return BroadcastFailure{Kind::Lost, QStringLiteral("stopped")};
        case SHOUTERR_NOLOGIN:
            return BroadcastFailure{
                Kind::Refused,
                QStringLiteral("%1 refused the source login for %2 (wrong user or password, "
                               "or the mount is in use)")
                    .arg(where, address_.mount)};
        case SHOUTERR_NOCONNECT:
        case SHOUTERR_SOCKET:
            return BroadcastFailure{
                Kind::Unreachable,
                QStringLiteral("cannot reach %1 (%2)").arg(where, libraryError())};
        default:
            return BroadcastFailure{
                Kind::Unreachable,
                QStringLiteral("%1 did not take the stream (%2)").arg(where, libraryError())};
    }
}

std::optional<BroadcastFailure> ShoutConnection::send(const unsigned char* data, std::size_t size)
{
    const int result = shout_send(shout_, data, size);
    if (result == SHOUTERR_SUCCESS || result == SHOUTERR_BUSY) {
        return std::nullopt;
    }
    return BroadcastFailure{BroadcastFailure::Kind::Lost,
                            QStringLiteral("the connection to %1:%2 was lost (%3)")
                                .arg(address_.host)
                                .arg(address_.port)
                                .arg(libraryError())};
}

std::size_t ShoutConnection::queued() const
{
    const ssize_t length = shout_queuelen(shout_);
    return length > 0 ? static_cast<std::size_t>(length) : 0;
}

bool ShoutConnection::setSongTitle(const QString& title)
{
    shout_metadata_t* metadata = shout_metadata_new();
    if (metadata == nullptr) {
        return false;
    }
    bool taken =
        shout_metadata_add(metadata, "song", title.toUtf8().constData()) == SHOUTERR_SUCCESS;
    taken = taken && shout_set_metadata_utf8(shout_, metadata) == SHOUTERR_SUCCESS;
    shout_metadata_free(metadata);
    return taken;
}

QString ShoutConnection::libraryError() const
{
    return QString::fromUtf8(shout_get_error(shout_));
}
