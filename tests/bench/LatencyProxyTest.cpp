// The loopback proxy between a client and a unix-socket server: the round trips it counts
// on scripted exchanges, and the latency it adds.
#include "bench/LatencyProxy.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using vorn::bench::TLatencyProxy;

namespace {

// One step of an exchange: who sends, and what.
struct TStep {
    bool FromClient;
    std::string Bytes;
};

void SendAll(int Socket, const std::string& Bytes) {
    ASSERT_EQ(send(Socket, Bytes.data(), Bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(Bytes.size()));
}

// Reads Count bytes, or what comes before the connection ends.
std::string ReceiveAll(int Socket, std::size_t Count) {
    std::string Received;
    char Buffer[256];
    while (Received.size() < Count) {
        const ssize_t Got =
            recv(Socket, Buffer, std::min(sizeof Buffer, Count - Received.size()), 0);
        if (Got <= 0)
            break;
        Received.append(Buffer, static_cast<std::size_t>(Got));
    }
    return Received;
}

// Plays one side of Script on Socket: sends its own steps, reads the other side's. Steps
// of one side in a row go a while apart, so that the proxy reads them as chunks apart.
void Play(int Socket, const std::vector<TStep>& Script, bool AsClient) {
    bool Sent = false;
    for (const TStep& Step : Script) {
        if (Step.FromClient != AsClient) {
            EXPECT_EQ(ReceiveAll(Socket, Step.Bytes.size()), Step.Bytes);
            Sent = false;
            continue;
        }
        if (Sent)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        SendAll(Socket, Step.Bytes);
        Sent = true;
    }
}

class LatencyProxyTest : public ::testing::Test {
protected:
    void SetUp() override {
        char Template[] = "/tmp/vorn-proxy.XXXXXX";
        ASSERT_NE(mkdtemp(Template), nullptr);
        Folder = Template;
        SocketPath = Folder + "/server.sock";
        Listener = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un Address{};
        Address.sun_family = AF_UNIX;
        std::strcpy(Address.sun_path, SocketPath.c_str());
        ASSERT_EQ(bind(Listener, reinterpret_cast<sockaddr*>(&Address), sizeof Address), 0);
        ASSERT_EQ(listen(Listener, 4), 0);
        Proxy = std::make_unique<TLatencyProxy>(SocketPath);
    }
    void TearDown() override {
        Proxy.reset();
        close(Listener);
        std::filesystem::remove_all(Folder);
    }

    int ConnectClient() const {
        const int Client = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in Address{};
        Address.sin_family = AF_INET;
        Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        Address.sin_port = htons(static_cast<std::uint16_t>(Proxy->Port()));
        EXPECT_EQ(connect(Client, reinterpret_cast<sockaddr*>(&Address), sizeof Address), 0);
        return Client;
    }

    // Runs Script between a client and the server through the proxy, one connection.
    void Exchange(const std::vector<TStep>& Script) {
        std::thread Server([&] {
            const int Accepted = accept(Listener, nullptr, nullptr);
            Play(Accepted, Script, false);
            close(Accepted);
        });
        const int Client = ConnectClient();
        Play(Client, Script, true);
        close(Client);
        Server.join();
    }

    std::string Folder;
    std::string SocketPath;
    int Listener = -1;
    std::unique_ptr<TLatencyProxy> Proxy;
};

TEST_F(LatencyProxyTest, CountsTheClientsFlights) {
    const TStep C1{true, "Q1"}, C2{true, "Q2-more"}, S1{false, "answer"}, S2{false, "rest"};
    const struct {
        const char* Name;
        std::vector<TStep> Script;
        std::int64_t RoundTrips;
    } Cases[] = {
        {"one statement", {C1, S1}, 1},
        {"a statement sent in pieces", {C1, C2, S1}, 1},
        {"an answer in pieces", {C1, S1, S2, C2, S1}, 2},
        {"three statements", {C1, S1, C2, S2, C1, S1}, 3},
        {"the server speaks first", {S1, C1, S2}, 1},
        {"a last word without answer", {C1, S1, C2}, 2},
    };
    for (const auto& Case : Cases) {
        Proxy->ResetRoundTrips();
        Exchange(Case.Script);
        EXPECT_EQ(Proxy->RoundTrips(), Case.RoundTrips) << Case.Name;
    }
}

TEST_F(LatencyProxyTest, DelaysEachWayAndKeepsTheBytesInOrder) {
    constexpr auto OneWay = std::chrono::milliseconds(15);
    Proxy->SetDelay(OneWay);
    std::string Large(300000, '\0');
    for (std::size_t Index = 0; Index < Large.size(); ++Index)
        Large[Index] = static_cast<char>('a' + Index % 26);
    const auto Start = std::chrono::steady_clock::now();
    // Two round trips; the large answer arrives in many chunks, each held as long.
    Exchange({{true, "Q1"}, {false, Large}, {true, "Q2"}, {false, "done"}});
    const auto Elapsed = std::chrono::steady_clock::now() - Start;
    EXPECT_GE(Elapsed, 4 * OneWay);
    EXPECT_EQ(Proxy->RoundTrips(), 2);
}

} // namespace
