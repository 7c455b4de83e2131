// A relay on the loopback that puts a store's network between the program and a database server:
// it listens on 127.0.0.1, passes every connection on to the server's unix socket and holds each
// piece of data for half the round trip in each direction, so that every request and its answer
// cost one fixed round trip, as across a LAN or to a head office. Nothing of the machine's network
// settings is touched.
//
//   tagwell-relay <server unix socket> <round trip in ms>
//
// It prints "port <n>" once it listens. Each line it reads on standard input is answered with
// "round-trips <n>": the requests so far (data from a client after the server last spoke on that
// connection, or first). It ends when standard input ends.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<long> roundTrips{0};

// One direction of one connection: what was read, each piece due at its time.
struct Pipe {
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::pair<Clock::time_point, std::string>> due;
    bool closed = false;
};

bool writeAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        const ssize_t w = ::send(fd, p, n, MSG_NOSIGNAL);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

struct Connection {
    int client = -1, server = -1;
    std::chrono::microseconds half{0};
    std::atomic<bool> serverSpoke{true};  // the first client data is a request too
    Pipe up, down;                        // client -> server, server -> client

    void reader(int from, Pipe& pipe, bool fromClient) {
        std::vector<char> buf(65536);
        for (;;) {
            const ssize_t r = ::recv(from, buf.data(), buf.size(), 0);
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) break;
            if (fromClient) {
                if (serverSpoke.exchange(false)) ++roundTrips;
            } else {
                serverSpoke = true;
            }
            std::lock_guard lock(pipe.m);
            pipe.due.emplace_back(Clock::now() + half, std::string(buf.data(), static_cast<size_t>(r)));
            pipe.cv.notify_one();
        }
        std::lock_guard lock(pipe.m);
        pipe.closed = true;
        pipe.cv.notify_one();
    }

    void writer(int to, Pipe& pipe) {
        for (;;) {
            std::unique_lock lock(pipe.m);
            pipe.cv.wait(lock, [&] { return pipe.closed || !pipe.due.empty(); });
            if (pipe.due.empty()) break;  // closed and drained
            auto [when, data] = std::move(pipe.due.front());
            pipe.due.pop_front();
            lock.unlock();
            std::this_thread::sleep_until(when);
            if (!writeAll(to, data.data(), data.size())) break;
        }
        ::shutdown(to, SHUT_WR);
    }

    void run() {
        std::thread a([&] { reader(client, up, true); });
        std::thread b([&] { reader(server, down, false); });
        std::thread c([&] { writer(server, up); });
        std::thread d([&] { writer(client, down); });
        a.join();
        b.join();
        c.join();
        d.join();
        ::close(client);
        ::close(server);
    }
};

int connectUnix(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (fd < 0 || path.size() >= sizeof addr.sun_path) return -1;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <server unix socket> <round trip in ms>\n", argv[0]);
        return 2;
    }
    const std::string target = argv[1];
    const double roundTripMs = std::atof(argv[2]);
    const auto half = std::chrono::microseconds(static_cast<long>(roundTripMs * 500.0));

    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener, 64) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        std::perror("relay: listen");
        return 1;
    }
    std::printf("port %d\n", ntohs(addr.sin_port));
    std::fflush(stdout);

    std::thread([listener, target, half] {
        for (;;) {
            const int client = ::accept(listener, nullptr, nullptr);
            if (client < 0) {
                if (errno == EINTR) continue;
                return;
            }
            const int one = 1;
            ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            const int server = connectUnix(target);
            if (server < 0) {
                ::close(client);
                continue;
            }
            auto conn = std::make_shared<Connection>();
            conn->client = client;
            conn->server = server;
            conn->half = half;
            std::thread([conn] { conn->run(); }).detach();
        }
    }).detach();

    std::string line;
    while (std::getline(std::cin, line)) {
        std::printf("round-trips %ld\n", roundTrips.load());
        std::fflush(stdout);
    }
    return 0;
}
