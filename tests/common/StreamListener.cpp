// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/StreamListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

namespace {
constexpr int kPollMs = 100;

// A connected socket to 127.0.0.1:port, or -1.
int connectTo(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}
}  // namespace

StreamListener::StreamListener(quint16 port, QString path)
    : port_(port), path_(std::move(path)), thread_([this] { run(); })
{
}

StreamListener::~StreamListener()
{
    stop_.store(true, std::memory_order_release);
    thread_.join();
}

QByteArray StreamListener::body() const
{
    const std::lock_guard lock(mutex_);
    return body_;
}

bool StreamListener::waitForBytes(std::size_t bytes, std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (size() < bytes) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void StreamListener::clear()
{
    const std::lock_guard lock(mutex_);
    body_.clear();
    size_.store(0, std::memory_order_release);
}

void StreamListener::run()
{
    while (!stop_.load(std::memory_order_acquire)) {
        listenOnce();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

void StreamListener::listenOnce()
{
    const int fd = connectTo(port_);
    if (fd < 0) {
        return;
    }
    const QByteArray request =
        "GET " + path_.toUtf8() + " HTTP/1.0\r\nHost: 127.0.0.1\r\nUser-Agent: listener\r\n\r\n";
    if (::send(fd, request.constData(), static_cast<std::size_t>(request.size()), MSG_NOSIGNAL) !=
        request.size()) {
        ::close(fd);
        return;
    }
    QByteArray head;
    bool inBody = false;
    char buffer[16384];
    while (!stop_.load(std::memory_order_acquire)) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, kPollMs) <= 0) {
            continue;
        }
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) {
            break;
        }
        QByteArray data(buffer, got);
        if (!inBody) {
            head += data;
            const qsizetype end = head.indexOf("\r\n\r\n");
            if (end < 0) {
                continue;
            }
            if (!head.startsWith("HTTP/1.0 200") && !head.startsWith("HTTP/1.1 200")) {
                break;
            }
            inBody = true;
            tunedIn_.fetch_add(1, std::memory_order_acq_rel);
            data = head.mid(end + 4);
        }
        const std::lock_guard lock(mutex_);
        body_ += data;
        size_.store(static_cast<std::size_t>(body_.size()), std::memory_order_release);
    }
    ::close(fd);
}
