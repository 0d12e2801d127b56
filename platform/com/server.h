#pragma once
// Run-time support for an in-process server: its four exports delegate here with the
// library's descriptor.

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/com/registry.h"

namespace com {

struct ServerClass {
    std::string progId;
    Guid clsid;
    std::function<ComPtr<IUnknown>()> create;
};

struct ServerDescriptor {
    std::vector<ServerClass> classes;
    Guid typeLib;
    std::string typeLibVersion = "1.0";
    std::atomic<int>* liveObjects;  // the library's count of objects and server locks
};

// Counts one live object of a library for as long as it exists.
class LiveObject {
  public:
    explicit LiveObject(std::atomic<int>& count) : count_(count) { ++count_; }
    ~LiveObject() { --count_; }
    LiveObject(const LiveObject&) = delete;
    LiveObject& operator=(const LiveObject&) = delete;

  private:
    std::atomic<int>& count_;
};

// The path of the shared library that holds `address`.
std::filesystem::path LibraryPathOf(const void* address);

HRESULT ServerRegister(const ServerDescriptor& d, const void* addressInLibrary) noexcept;
HRESULT ServerUnregister(const ServerDescriptor& d, const void* addressInLibrary) noexcept;
HRESULT ServerGetClassObject(const ServerDescriptor& d, const Guid& clsid, const Guid& iid,
                             void** out) noexcept;
HRESULT ServerCanUnloadNow(const ServerDescriptor& d) noexcept;

}  // namespace com
