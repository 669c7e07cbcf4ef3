#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>

#include "platform/qt/program_end.h"
#include "platform/qt/qt_probe_socket.h"
#include "support/loopback_targets.h"

namespace wardel::test {
namespace {

using qt::QtProbeSocket;
using testing::Contains;
using testing::ElementsAre;
using testing::Not;

// The socket with every state it reported, in order.
struct WatchedSocket {
    WatchedSocket() {
        watching = socket.subscribeStateChanged([this] { reported.push_back(socket.state()); });
    }
    bool settlesAt(int state, int ms = 5000) {
        return serveUntil([&] { return !reported.empty() && reported.back() == state; }, ms);
    }
    QtProbeSocket socket;
    std::vector<int> reported;
    Subscription watching;
};

TEST(QtProbeSocket, OpenPortConnectsOnEveryLoopbackName) {
    OpenTarget target;
    for (const char* host : {"127.0.0.1", "localhost", "::1"}) {
        WatchedSocket watched;
        watched.socket.connectTo(host, target.port());
        EXPECT_TRUE(watched.settlesAt(ProbeSocket::Connected)) << host;
        EXPECT_THAT(watched.reported, Not(Contains(ProbeSocket::Error))) << host;
        EXPECT_THAT(watched.reported, Not(Contains(ProbeSocket::Closed))) << host;
        EXPECT_EQ(watched.socket.answer().errorNumber, 0) << host;
        EXPECT_GE(watched.socket.answer().connectMs, 0) << host;
    }
}

TEST(QtProbeSocket, RefusedConnectShowsErrorUntilClosedAndCloseIsSilent) {
    WatchedSocket watched;
    watched.socket.connectTo("127.0.0.1", refusingPort());
    ASSERT_TRUE(watched.settlesAt(ProbeSocket::Error));
    EXPECT_EQ(watched.socket.answer().errorNumber, ECONNREFUSED);
    EXPECT_GE(watched.socket.answer().connectMs, 0);
    // A failed attempt never shows as closed before the engine closes it.
    EXPECT_THAT(watched.reported, Not(Contains(ProbeSocket::Closed)));
    serveUntil([] { return false; }, 200);
    EXPECT_EQ(watched.socket.state(), ProbeSocket::Error);

    const auto reportedBefore = watched.reported.size();
    watched.socket.close();
    EXPECT_EQ(watched.socket.state(), ProbeSocket::Closed);
    serveUntil([] { return false; }, 200);
    EXPECT_EQ(watched.reported.size(), reportedBefore);
}

TEST(QtProbeSocket, SilentTargetStaysConnectingAndCloseAbandonsIt) {
    SilentTarget target;
    WatchedSocket watched;
    watched.socket.connectTo("127.0.0.1", target.port());
    EXPECT_FALSE(watched.settlesAt(ProbeSocket::Connected, 2000));
    EXPECT_EQ(watched.socket.state(), ProbeSocket::Connecting);
    EXPECT_THAT(watched.reported, ElementsAre(ProbeSocket::Connecting));
    watched.socket.close();
    EXPECT_EQ(watched.socket.state(), ProbeSocket::Closed);

    // The socket is reused at once for the next target, with nothing left over from the last one.
    OpenTarget open;
    watched.reported.clear();
    watched.socket.connectTo("127.0.0.1", open.port());
    EXPECT_TRUE(watched.settlesAt(ProbeSocket::Connected));
}

TEST(QtProbeSocket, AFloodingTargetCostsNoMoreThanTheSystemsSocketBuffers) {
    FloodingTarget target(256 * 1024 * 1024);
    WatchedSocket watched;
    watched.socket.connectTo("127.0.0.1", target.port());
    ASSERT_TRUE(watched.settlesAt(ProbeSocket::Connected));
    serveUntil([] { return false; }, 2000); // as long as the engine's pause and a wait

    EXPECT_EQ(watched.socket.state(), ProbeSocket::Connected);
    // Unread, the flood stops once the kernel's buffers are full (at most tens of MiB even when tuned up).
    EXPECT_LT(target.sent(), 48 * 1024 * 1024);
}

// The system's count of connection attempts that failed (a refused connect is one), over all programs.
long failedConnectAttempts() {
    std::ifstream snmp("/proc/net/snmp");
    std::string line;
    std::vector<std::string> names;
    while (std::getline(snmp, line)) {
        if (line.rfind("Tcp:", 0) != 0)
            continue;
        std::istringstream fields(line);
        std::vector<std::string> row{std::istream_iterator<std::string>(fields), {}};
        if (names.empty()) {
            names = row;
            continue;
        }
        for (size_t i = 0; i < names.size() && i < row.size(); ++i)
            if (names[i] == "AttemptFails")
                return std::stol(row[i]);
    }
    return -1;
}

TEST(QtProbeSocket, ARefusedProbeKnocksOnce) {
    const quint16 port = refusingPort();
    constexpr long kProbes = 50;
    WatchedSocket watched;
    const long before = failedConnectAttempts();
    ASSERT_GE(before, 0);
    for (long probe = 0; probe < kProbes; ++probe) {
        watched.reported.clear();
        watched.socket.connectTo("127.0.0.1", port);
        ASSERT_TRUE(watched.settlesAt(ProbeSocket::Error));
    }
    const long knocks = failedConnectAttempts() - before;
    // Other programs' refused connects may fall into the same moments; a second knock per probe may not.
    EXPECT_GE(knocks, kProbes);
    EXPECT_LT(knocks, 2 * kProbes);
}

// The handshake completed, so the target answered: however and whenever it ends the connection afterwards,
// the probe shows connected until it closes the socket itself.
TEST(QtProbeSocket, AConnectionTheTargetEndsStaysConnectedUntilClosed) {
    ClosingTarget closing;
    ResettingTarget resetting;
    ResettingTarget resettingLater(100); // late enough for the connection to be seen first
    const struct {
        const char* target;
        quint16 port;
    } cases[] = {{"closes at once", closing.port()},
                 {"resets at once", resetting.port()},
                 {"resets after 100 ms", resettingLater.port()}};
    for (const auto& c : cases) {
        WatchedSocket watched;
        watched.socket.connectTo("127.0.0.1", c.port);
        ASSERT_TRUE(watched.settlesAt(ProbeSocket::Connected)) << c.target;
        serveUntil([] { return false; }, 300);
        EXPECT_EQ(watched.socket.state(), ProbeSocket::Connected) << c.target;
        EXPECT_THAT(watched.reported, Not(Contains(ProbeSocket::Closing))) << c.target;
        EXPECT_THAT(watched.reported, Not(Contains(ProbeSocket::Error))) << c.target;
        watched.socket.close();
        EXPECT_EQ(watched.socket.state(), ProbeSocket::Closed) << c.target;
    }
}

TEST(QtProbeSocket, AConnectionResetBeforeTheProbeLooksCountsAsConnected) {
    // A listener of our own that takes the connection and resets it before the event loop runs again.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);

    WatchedSocket watched;
    watched.socket.connectTo("127.0.0.1", ntohs(address.sin_port));
    const int peer = ::accept(listener, nullptr, nullptr);
    ASSERT_GE(peer, 0);
    const linger abortive{1, 0};
    ::setsockopt(peer, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    ::close(peer);
    ::close(listener);

    EXPECT_TRUE(watched.settlesAt(ProbeSocket::Connected));
    EXPECT_THAT(watched.reported, Not(Contains(ProbeSocket::Error)));
}

TEST(QtProbeSocket, PortOutsideTheTcpRangeFails) {
    for (const std::int32_t port : {0, 70000, -1}) {
        WatchedSocket watched;
        watched.socket.connectTo("127.0.0.1", port);
        EXPECT_TRUE(watched.settlesAt(ProbeSocket::Error)) << port;
    }
}

// Last in this file: the end of the program cannot be undone within the process.
TEST(QtProbeSocketAfterProgramEnd, ReportsNothing) {
    WatchedSocket watched;
    watched.socket.connectTo("127.0.0.1", refusingPort());
    qt::markProgramEnded();
    serveUntil([] { return false; }, 500);
    EXPECT_TRUE(watched.reported.empty());
}

} // namespace
} // namespace wardel::test
