// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "broadcast/BroadcastAddress.h"
#include "broadcast/BroadcastFailure.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>

struct shout;

// One source connection to an Icecast server through libshout, without
// blocking: connecting is polled (so a stop is seen at once and a host that
// does not answer times out), and data the socket cannot take now waits in
// libshout's queue, whose length the sender bounds. One serves every
// connection of a sender, closed and opened again: libshout's shout_free
// keeps a little memory back, which a new one for each try would pile up
// while a server stays away. The broadcast's thread alone uses it.
class ShoutConnection {
public:
    ShoutConnection(const BroadcastAddress& address, const QString& stationName);
    ~ShoutConnection();
    ShoutConnection(const ShoutConnection&) = delete;
    ShoutConnection& operator=(const ShoutConnection&) = delete;

    // Connects and logs in; nothing on success. Gives up after `timeout` or
    // as soon as `stop` is set.
    std::optional<BroadcastFailure> open(const std::atomic<bool>& stop,
                                         std::chrono::milliseconds timeout);
    // Ends the connection, dropping what waits in the queue.
    void close();
    // Sends or queues `data`; also pushes on what was queued before.
    std::optional<BroadcastFailure> send(const unsigned char* data, std::size_t size);
    // Bytes waiting for the socket.
    std::size_t queued() const;
    // Tells the server what plays now (MP3: a request of its own, beside
    // the stream). False when the server did not take it.
    bool setSongTitle(const QString& title);

private:
    QString libraryError() const;

    BroadcastAddress address_;
    shout* shout_ = nullptr;
};
