// SPDX-License-Identifier: GPL-3.0-or-later
// A server that takes the login and then reads nothing more: the network
// stalls. The stream's queue stays bounded, and the sender gives the
// connection up and tries again.
#include "audio/AudioTestSupport.h"
#include "audio/mix/OutputSink.h"
#include "broadcast/BroadcastAddress.h"
#include "broadcast/BroadcastSender.h"
#include "common/QStringPrinter.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace {
using namespace std::chrono_literals;
using State = BroadcastStatus::State;

// Listens on 127.0.0.1 at a port of the system's choice with a tiny receive
// buffer; answers each login with 200 and never reads again.
class StalledServer {
public:
    StalledServer()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int small = 4096;
        ::setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        ::listen(listener_, 4);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { run(); });
    }
    ~StalledServer()
    {
        stop_.store(true);
        thread_.join();
        for (const int fd : clients_) {
            ::close(fd);
        }
        ::close(listener_);
    }
    StalledServer(const StalledServer&) = delete;
    StalledServer& operator=(const StalledServer&) = delete;

    quint16 port() const { return port_; }
    int logins() const { return logins_.load(); }

private:
    void run()
    {
        while (!stop_.load()) {
            pollfd ready{listener_, POLLIN, 0};
            if (::poll(&ready, 1, 50) <= 0) {
                continue;
            }
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) {
                continue;
            }
            clients_.push_back(client);
            // The request's head, then an answer that lets the source in.
            char head[4096];
            pollfd request{client, POLLIN, 0};
            if (::poll(&request, 1, 2000) > 0 && ::recv(client, head, sizeof head, 0) > 0) {
                const char answer[] = "HTTP/1.0 200 OK\r\n\r\n";
                ::send(client, answer, sizeof answer - 1, MSG_NOSIGNAL);
                logins_.fetch_add(1);
            }
        }
    }

    int listener_ = -1;
    quint16 port_ = 0;
    std::vector<int> clients_;
    std::atomic<int> logins_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The sender is fed as fast as the output could render, so the socket's
// buffers fill in seconds: the producer never waits (what does not fit is
// dropped), libshout's queue stays within its bound, and the connection is
// given up and made anew.
TEST(BroadcastSender, StalledNetworkIsGivenUpAndTheProducerNeverWaits)
{
    StalledServer server;
    const auto parsed = BroadcastAddress::parse(
        QStringLiteral("icecast://source:pw@127.0.0.1:%1/radio.mp3?bitrate=320")
            .arg(server.port()));
    ASSERT_TRUE(std::holds_alternative<BroadcastAddress>(parsed));
    std::mutex mutex;
    std::vector<BroadcastStatus> statuses;
    BroadcastSender::Links links;
    links.status = [&](const BroadcastStatus& status) {
        const std::lock_guard lock(mutex);
        statuses.push_back(status);
    };
    links.outputPaused = [] { return false; };
    BroadcastSender sender(std::get<BroadcastAddress>(parsed), QStringLiteral("Station"), links);
    sender.start();
    const auto seen = [&](State state) {
        const std::lock_guard lock(mutex);
        return std::any_of(statuses.begin(), statuses.end(),
                           [&](const BroadcastStatus& s) { return s.state == state; });
    };

    // A raised tone, block by block, without a pause, as an output that
    // never waits for anyone would offer it.
    std::vector<std::int16_t> block(1024 * 2, 12000);
    const auto deadline = std::chrono::steady_clock::now() + BroadcastSender::kStallTime + 30s;
    while (!seen(State::Retrying) && std::chrono::steady_clock::now() < deadline) {
        sender.sink()->offer(block.data(), 1024);
        std::this_thread::sleep_for(100us);
    }
    ASSERT_TRUE(seen(State::Retrying));
    {
        const std::lock_guard lock(mutex);
        const auto retrying = std::find_if(statuses.begin(), statuses.end(), [](const auto& s) {
            return s.state == State::Retrying;
        });
        EXPECT_TRUE(retrying->why.contains(QStringLiteral("takes no data")))
            << retrying->why.toStdString();
    }
    EXPECT_GT(sender.sink()->droppedFrames(), 0U);
    EXPECT_TRUE(audio_test::waitFor([&] { return server.logins() >= 2; }, 5s));
    // On the air again, with nothing of the stalled connection left queued.
    EXPECT_TRUE(audio_test::waitFor(
        [&] {
            const std::lock_guard lock(mutex);
            return std::count_if(statuses.begin(), statuses.end(), [](const BroadcastStatus& s) {
                       return s.state == State::OnAir;
                   }) >= 2;
        },
        5s));
}
}  // namespace
