// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

// A listener tuned in to an HTTP stream, as a player would be: it reads the
// body on a thread of its own and keeps it; when the server goes away it
// tunes in again (every 200 ms) and keeps appending what the new answer
// brings. Stopped when it goes.
class StreamListener {
public:
    StreamListener(quint16 port, QString path);
    ~StreamListener();
    StreamListener(const StreamListener&) = delete;
    StreamListener& operator=(const StreamListener&) = delete;

    // Everything heard so far, of every connection.
    QByteArray body() const;
    std::size_t size() const { return size_.load(std::memory_order_acquire); }
    // Connections that got an answer with a 200 status.
    int tunedIn() const { return tunedIn_.load(std::memory_order_acquire); }
    // Waits until the body holds `bytes` (false after `timeout`).
    bool waitForBytes(std::size_t bytes, std::chrono::milliseconds timeout) const;
    // Forgets what was heard so far.
    void clear();

private:
    void run();
    // One connection, read until it ends or the listener stops.
    void listenOnce();

    const quint16 port_;
    const QString path_;
    mutable std::mutex mutex_;
    QByteArray body_;  // guarded by mutex_
    std::atomic<std::size_t> size_{0};
    std::atomic<int> tunedIn_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
