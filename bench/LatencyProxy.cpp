#include "bench/LatencyProxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <list>
#include <optional>
#include <stdexcept>
#include <vector>

namespace vorn::bench {

namespace {

using TClock = std::chrono::steady_clock;

constexpr std::size_t ReadSize = 64 * 1024;

[[noreturn]] void RaiseSystemError(const std::string& What) {
    throw std::runtime_error("latency proxy: " + What + ": " + std::strerror(errno));
}

void SetNonBlocking(int Socket) {
    const int Flags = fcntl(Socket, F_GETFL, 0);
    if (Flags < 0 || fcntl(Socket, F_SETFL, Flags | O_NONBLOCK) < 0)
        RaiseSystemError("fcntl");
}

struct TChunk {
    TClock::time_point Due;
    std::string Bytes;
};

// One direction of a connection: what was read from one end and waits for its time to
// be written to the other.
struct TStream {
    int From = -1;
    int To = -1;
    std::deque<TChunk> Queue;
    std::size_t Written = 0; // of the first chunk
    bool Ended = false;      // From closed its sending side
    bool Shut = false;       // and To was told so, after the queue ran dry
    bool Blocked = false;    // To would not take more of a due chunk

    bool Finished() const { return Shut; }
};

struct TLink {
    TStream Up;   // client to server
    TStream Down; // server to client
    TFlightTracker Flights;
    bool Failed = false;

    ~TLink() {
        if (Up.From >= 0)
            close(Up.From);
        if (Up.To >= 0)
            close(Up.To);
    }
};

int ConnectUnix(const std::string& Path) {
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    if (Path.size() >= sizeof Address.sun_path)
        throw std::runtime_error("latency proxy: socket path too long: " + Path);
    std::memcpy(Address.sun_path, Path.c_str(), Path.size() + 1);
    const int Socket = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (Socket < 0)
        RaiseSystemError("socket");
    if (connect(Socket, reinterpret_cast<const sockaddr*>(&Address), sizeof Address) < 0) {
        const int Error = errno;
        close(Socket);
        errno = Error;
        return -1;
    }
    return Socket;
}

// Reads what From has into the stream's queue; false when the read failed.
bool ReadInto(TStream& Stream, std::chrono::microseconds Delay, std::size_t& BytesRead) {
    BytesRead = 0;
    std::string Buffer(ReadSize, '\0');
    const ssize_t Count = read(Stream.From, Buffer.data(), Buffer.size());
    if (Count < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    if (Count == 0) {
        Stream.Ended = true;
        return true;
    }
    Buffer.resize(static_cast<std::size_t>(Count));
    BytesRead = Buffer.size();
    Stream.Queue.push_back({TClock::now() + Delay, std::move(Buffer)});
    return true;
}

// Writes the chunks that are due; false when the write failed.
bool WriteDue(TStream& Stream, TClock::time_point Now) {
    Stream.Blocked = false;
    while (!Stream.Queue.empty() && Stream.Queue.front().Due <= Now) {
        const std::string& Bytes = Stream.Queue.front().Bytes;
        const ssize_t Count = send(Stream.To, Bytes.data() + Stream.Written,
                                   Bytes.size() - Stream.Written, MSG_NOSIGNAL);
        if (Count < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
                Stream.Blocked = true;
                return true;
            }
            return false;
        }
        Stream.Written += static_cast<std::size_t>(Count);
        if (Stream.Written == Bytes.size()) {
            Stream.Queue.pop_front();
            Stream.Written = 0;
        }
    }
    if (Stream.Ended && Stream.Queue.empty() && !Stream.Shut) {
        shutdown(Stream.To, SHUT_WR);
        Stream.Shut = true;
    }
    return true;
}

// What to wait for on the socket that Reading reads from and Writing writes to; a socket
// with nothing to wait for is left out (poll would report its hang-up on every call).
pollfd Watch(const TStream& Reading, const TStream& Writing) {
    short Wanted = 0;
    if (!Reading.Ended)
        Wanted |= POLLIN;
    if (Writing.Blocked)
        Wanted |= POLLOUT;
    return {Wanted == 0 ? -1 : Reading.From, Wanted, 0};
}

} // namespace

TLatencyProxy::TLatencyProxy(std::string SocketPath) : FSocketPath(std::move(SocketPath)) {
    FListener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (FListener < 0)
        RaiseSystemError("socket");
    sockaddr_in Address{};
    Address.sin_family = AF_INET;
    Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    Address.sin_port = 0;
    socklen_t Length = sizeof Address;
    int Pipe[2];
    if (bind(FListener, reinterpret_cast<const sockaddr*>(&Address), sizeof Address) < 0 ||
        listen(FListener, 16) < 0 ||
        getsockname(FListener, reinterpret_cast<sockaddr*>(&Address), &Length) < 0 ||
        pipe2(Pipe, O_CLOEXEC) < 0) {
        const int Error = errno;
        close(FListener);
        errno = Error;
        RaiseSystemError("listen on 127.0.0.1");
    }
    FPort = ntohs(Address.sin_port);
    FWakeRead = Pipe[0];
    FWakeWrite = Pipe[1];
    SetNonBlocking(FListener);
    FThread = std::thread([this] { Serve(); });
}

TLatencyProxy::~TLatencyProxy() {
    const char Stop = 0;
    if (write(FWakeWrite, &Stop, 1) != 1)
        std::terminate(); // the thread would never end
    FThread.join();
    close(FWakeRead);
    close(FWakeWrite);
    close(FListener);
}

void TLatencyProxy::Serve() {
    std::list<TLink> Links;
    std::vector<pollfd> Watched;
    for (;;) {
        // Wakes up for the first chunk that falls due (to the microsecond: whole
        // milliseconds would add up to one to every way), or for input.
        std::optional<TClock::time_point> NextDue;
        for (const TLink& Link : Links)
            for (const TStream* Stream : {&Link.Up, &Link.Down})
                if (!Stream->Queue.empty() && !Stream->Blocked)
                    NextDue = std::min(NextDue.value_or(TClock::time_point::max()),
                                       Stream->Queue.front().Due);
        timespec Timeout{};
        if (NextDue) {
            const auto Wait = std::max(TClock::duration::zero(), *NextDue - TClock::now());
            const auto Nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(Wait);
            Timeout.tv_sec = static_cast<time_t>(Nanoseconds.count() / 1'000'000'000);
            Timeout.tv_nsec = static_cast<long>(Nanoseconds.count() % 1'000'000'000);
        }
        Watched.assign({{FWakeRead, POLLIN, 0}, {FListener, POLLIN, 0}});
        for (const TLink& Link : Links) {
            Watched.push_back(Watch(Link.Up, Link.Down));
            Watched.push_back(Watch(Link.Down, Link.Up));
        }
        if (ppoll(Watched.data(), Watched.size(), NextDue ? &Timeout : nullptr, nullptr) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (Watched[0].revents != 0)
            return;

        const std::chrono::microseconds Delay(FDelay.load());
        std::size_t Index = 2;
        for (TLink& Link : Links) {
            const short ClientEvents = Watched[Index++].revents;
            const short ServerEvents = Watched[Index++].revents;
            std::size_t Bytes = 0;
            const short Readable = POLLIN | POLLHUP | POLLERR;
            if ((ClientEvents & Readable) && !Link.Up.Ended) {
                Link.Failed |= !ReadInto(Link.Up, Delay, Bytes);
                if (Bytes > 0 && Link.Flights.ClientSent())
                    ++FRoundTrips;
            }
            if ((ServerEvents & Readable) && !Link.Down.Ended) {
                Link.Failed |= !ReadInto(Link.Down, Delay, Bytes);
                if (Bytes > 0)
                    Link.Flights.ServerSent();
            }
        }
        const TClock::time_point WriteTime = TClock::now();
        for (TLink& Link : Links) {
            Link.Failed |= !WriteDue(Link.Up, WriteTime);
            Link.Failed |= !WriteDue(Link.Down, WriteTime);
        }
        Links.remove_if([](const TLink& Link) {
            return Link.Failed || (Link.Up.Finished() && Link.Down.Finished());
        });

        if (Watched[1].revents & POLLIN) {
            const int Client = accept4(FListener, nullptr, nullptr, SOCK_CLOEXEC);
            if (Client < 0)
                continue;
            const int Server = ConnectUnix(FSocketPath);
            if (Server < 0) {
                close(Client);
                continue;
            }
            const int NoDelay = 1;
            setsockopt(Client, IPPROTO_TCP, TCP_NODELAY, &NoDelay, sizeof NoDelay);
            SetNonBlocking(Client);
            SetNonBlocking(Server);
            TLink& Link = Links.emplace_back();
            Link.Up.From = Link.Down.To = Client;
            Link.Up.To = Link.Down.From = Server;
        }
    }
}

} // namespace vorn::bench
