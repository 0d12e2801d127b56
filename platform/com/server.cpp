#include "platform/com/server.h"

#include <dlfcn.h>

namespace com {

namespace {

class ClassFactory : public ComObject<ClassFactory, IClassFactory> {
  public:
    ClassFactory(const ServerClass& c, std::atomic<int>& count)
        : class_(c), live_(count), count_(count) {}

    HRESULT CreateInstance(IUnknown* outer, const Guid& iid, void** out) noexcept override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        try {
            auto obj = class_.create();
            if (!obj) return E_FAIL;
            return obj->QueryInterface(iid, out);
        } catch (...) {
            SetErrorInfo(CurrentError());
            return E_FAIL;
        }
    }
    // Each lock counts as a live object of the library; an unlock without a lock is ignored
    // so that the count never says the library is free while objects live.
    HRESULT LockServer(VARIANT_BOOL lock) noexcept override {
        if (lock) {
            ++locks_;
            ++count_;
        } else if (locks_ > 0) {
            --locks_;
            --count_;
        }
        return S_OK;
    }

  private:
    ServerClass class_;
    LiveObject live_;
    std::atomic<int>& count_;
    int locks_ = 0;
};

}  // namespace

std::filesystem::path LibraryPathOf(const void* address) {
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname) return {};
    std::error_code ec;
    auto p = std::filesystem::canonical(info.dli_fname, ec);
    return ec ? std::filesystem::path(info.dli_fname) : p;
}

HRESULT ServerRegister(const ServerDescriptor& d, const void* addressInLibrary) noexcept {
    return Guard([&] {
        Registry reg;
        for (const auto& c : d.classes) {
            ClassRegistration r;
            r.progId = c.progId;
            r.clsid = c.clsid;
            r.library = LibraryPathOf(addressInLibrary);
            r.threadingModel = "Apartment";
            r.typeLib = d.typeLib;
            r.typeLibVersion = d.typeLibVersion;
            reg.Register(r);
        }
    });
}

HRESULT ServerUnregister(const ServerDescriptor&, const void* addressInLibrary) noexcept {
    return Guard([&] { Registry().UnregisterLibrary(LibraryPathOf(addressInLibrary)); });
}

HRESULT ServerGetClassObject(const ServerDescriptor& d, const Guid& clsid, const Guid& iid,
                             void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (const auto& c : d.classes) {
        if (c.clsid == clsid) {
            try {
                auto f = MakeObject<ClassFactory>(c, *d.liveObjects);
                return f->QueryInterface(iid, out);
            } catch (...) {
                return E_OUTOFMEMORY;
            }
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ServerCanUnloadNow(const ServerDescriptor& d) noexcept {
    return d.liveObjects->load() == 0 ? S_OK : S_FALSE;
}

}  // namespace com
