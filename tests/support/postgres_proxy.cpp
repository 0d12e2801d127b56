#include "tests/support/postgres_proxy.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <list>
#include <stdexcept>
#include <vector>

namespace testing_support {

namespace {

constexpr const char* kSocketName = ".s.PGSQL.5432";
constexpr uint32_t kProtocol3 = 196608;  // the start-up message's protocol version

sockaddr_un Address(const std::filesystem::path& dir) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = (dir / kSocketName).string();
    if (path.size() >= sizeof address.sun_path)
        throw std::runtime_error("socket path too long: " + path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

uint32_t BigEndian32(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
}

bool SendAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

// One client's connection and its connection to the server.
struct PostgresProxy::Relay {
    int client = -1, server = -1;
    std::string pending;      // the client's bytes not yet relayed: an unfinished message
    bool started = false;     // the start-up message has gone (messages carry a type from then)
    bool atStatement = true;  // the next message begins an exchange

    ~Relay() {
        if (client >= 0) ::close(client);
        if (server >= 0) ::close(server);
    }
};

PostgresProxy::PostgresProxy(std::filesystem::path serverDir) : server_(std::move(serverDir)) {
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address = Address(dir_.Path());
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) ||
        ::listen(listener_, 16) || ::pipe2(wake_, O_CLOEXEC))
        throw std::runtime_error("the PostgreSQL relay cannot listen in " + dir_.Path().string());
    thread_ = std::thread([this] { Run(); });
}

PostgresProxy::~PostgresProxy() {
    ::close(wake_[1]);
    thread_.join();
    ::close(wake_[0]);
    ::close(listener_);
}

void PostgresProxy::Arm(int k, std::function<void()> atCut) {
    std::lock_guard lock(mutex_);
    armed_ = true;
    fired_ = false;
    k_ = k;
    seen_ = 0;
    atCut_ = std::move(atCut);
}

bool PostgresProxy::Disarm() {
    std::lock_guard lock(mutex_);
    armed_ = false;
    return fired_;
}

int PostgresProxy::Seen() {
    std::lock_guard lock(mutex_);
    return seen_;
}

bool PostgresProxy::CutsHere() {
    std::function<void()> atCut;
    {
        std::lock_guard lock(mutex_);
        if (!armed_ || fired_ || ++seen_ != k_) return false;
        fired_ = true;
        atCut = atCut_;
    }
    if (atCut) atCut();
    return true;
}

void PostgresProxy::Run() {
    std::list<Relay> relays;
    // Relays the client's complete messages; false when the connection ends here.
    auto fromClient = [this](Relay& r) {
        for (;;) {
            const bool typed = r.started;
            const size_t header = typed ? 5 : 8;
            if (r.pending.size() < header) return true;
            const size_t size = (typed ? 1 : 0) + BigEndian32(r.pending.data() + (typed ? 1 : 0));
            if (r.pending.size() < size) return true;
            if (!typed) {
                r.started = BigEndian32(r.pending.data() + 4) == kProtocol3;
            } else {
                const char type = r.pending[0];
                if (r.atStatement && type != 'X' && CutsHere()) return false;
                r.atStatement = type == 'Q' || type == 'S';
            }
            if (!SendAll(r.server, r.pending.data(), size)) return false;
            r.pending.erase(0, size);
        }
    };
    for (;;) {
        std::vector<pollfd> fds{{wake_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
        for (auto& r : relays) {
            fds.push_back({r.client, POLLIN, 0});
            fds.push_back({r.server, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), -1) < 0) continue;
        if (fds[0].revents) return;  // the write end closed: the proxy goes
        auto r = relays.begin();
        for (size_t i = 2; i < fds.size(); i += 2) {
            bool open = true;
            char buffer[65536];
            if (fds[i].revents) {
                ssize_t n = ::recv(r->client, buffer, sizeof buffer, 0);
                open = n > 0 && (r->pending.append(buffer, static_cast<size_t>(n)), fromClient(*r));
            }
            if (open && fds[i + 1].revents) {
                ssize_t n = ::recv(r->server, buffer, sizeof buffer, 0);
                open = n > 0 && SendAll(r->client, buffer, static_cast<size_t>(n));
            }
            r = open ? std::next(r) : relays.erase(r);
        }
        // After the relays polled above, which are the first ones in the list.
        if (fds[1].revents & POLLIN) {
            Relay& added = relays.emplace_back();
            added.client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            added.server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un address = Address(server_);
            // A server that is down refuses: the client sees its connection closed at once.
            if (added.client < 0 || added.server < 0 ||
                ::connect(added.server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
                relays.pop_back();
        }
    }
}

}  // namespace testing_support
