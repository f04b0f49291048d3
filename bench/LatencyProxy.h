#pragma once

// A TCP proxy on 127.0.0.1 in front of a server's unix socket, for measuring what a
// network between client and server would cost: it counts the client's flights (round
// trips) and can hold every chunk it forwards for a while, in each direction, as a link
// with latency does.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

namespace vorn::bench {

// The round trips of one connection, told from the order in which its two ends talk:
// a flight begins with the first bytes the client sends after the server last answered
// (or after connecting). Bytes the client sends before any answer belong to the same
// flight; so do answers that come in several chunks.
class TFlightTracker {
public:
    // Returns whether these bytes begin a new flight.
    bool ClientSent() {
        const bool Starts = !FAwaitingAnswer;
        FAwaitingAnswer = true;
        return Starts;
    }
    void ServerSent() { FAwaitingAnswer = false; }

private:
    bool FAwaitingAnswer = false;
};

class TLatencyProxy {
public:
    // Listens on an ephemeral port of 127.0.0.1 and forwards every connection accepted
    // there to the unix socket at SocketPath, on a thread of its own. Throws when it
    // cannot listen.
    explicit TLatencyProxy(std::string SocketPath);
    // Stops forwarding and closes every connection.
    ~TLatencyProxy();
    TLatencyProxy(const TLatencyProxy&) = delete;
    TLatencyProxy& operator=(const TLatencyProxy&) = delete;

    int Port() const { return FPort; }
    // How long each chunk is held before it is passed on, in each direction; chunks stay
    // in order. Takes effect for the chunks read from then on.
    void SetDelay(std::chrono::microseconds OneWay) { FDelay = OneWay.count(); }
    // The flights of all connections since the proxy started or the last reset.
    std::int64_t RoundTrips() const { return FRoundTrips; }
    void ResetRoundTrips() { FRoundTrips = 0; }

private:
    void Serve();

    std::string FSocketPath;
    int FListener = -1;
    int FWakeRead = -1;
    int FWakeWrite = -1;
    int FPort = 0;
    std::atomic<std::int64_t> FDelay{0};
    std::atomic<std::int64_t> FRoundTrips{0};
    std::thread FThread;
};

} // namespace vorn::bench
