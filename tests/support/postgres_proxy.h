#pragma once
// A relay on a Unix socket in front of the test server that breaks the connection on purpose.
// Clients reach it through their connection string (Server= its folder); it relays every byte
// to the server's socket and reads the client's side of the protocol: a statement is the first
// message of each exchange (a simple query, or the extended protocol's messages up to their
// Sync). Armed, it cuts at the k-th statement: the statement never reaches the server, and both
// sides of that connection are closed.

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "tests/support/temp_dir.h"

namespace testing_support {

class PostgresProxy {
  public:
    // Relays to the server whose socket is in `serverDir`.
    explicit PostgresProxy(std::filesystem::path serverDir);
    ~PostgresProxy();
    PostgresProxy(const PostgresProxy&) = delete;
    PostgresProxy& operator=(const PostgresProxy&) = delete;

    // The folder of its socket (the server's port number): what Server= names.
    const std::filesystem::path& Directory() const { return dir_.Path(); }

    // From now on, the k-th statement (from 1) runs `atCut` (on the relay's thread, before the
    // cut; nothing by default) and cuts its connection, once.
    void Arm(int k, std::function<void()> atCut = {});
    // Stops counting; whether the cut happened since Arm.
    bool Disarm();
    // The statements counted since Arm, up to the one cut at.
    int Seen();

  private:
    struct Relay;
    void Run();
    // Whether the statement now starting on a connection is the one to cut at.
    bool CutsHere();

    std::filesystem::path server_;
    TempDir dir_{"dravel-pg-proxy"};
    int listener_ = -1;
    int wake_[2] = {-1, -1};
    std::mutex mutex_;
    bool armed_ = false, fired_ = false;
    int k_ = 0, seen_ = 0;
    std::function<void()> atCut_;
    std::thread thread_;
};

}  // namespace testing_support
