// The four entry points of the in-process server.

#include "contracts/module_identity.h"
#include "host/clsmg_quintab.h"
#include "platform/com/server.h"

namespace {

const com::ServerDescriptor& Descriptor() {
    static const com::ServerDescriptor d{
        {{host::kModuleProgId, dravel::kClsid,
          [] {
              return com::ComPtr<com::IUnknown>(
                  dravel::CLSMG_QUINTAB::Create().As<com::IUnknown>());
          }}},
        dravel::kTypeLib,
        "1.0",
        &dravel::LiveObjects(),
    };
    return d;
}

const void* AddressInThisLibrary() {
    return reinterpret_cast<const void*>(&Descriptor);
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) com::HRESULT DllRegisterServer() {
    return com::ServerRegister(Descriptor(), AddressInThisLibrary());
}

__attribute__((visibility("default"))) com::HRESULT DllUnregisterServer() {
    return com::ServerUnregister(Descriptor(), AddressInThisLibrary());
}

__attribute__((visibility("default"))) com::HRESULT DllGetClassObject(const com::Guid* clsid,
                                                                      const com::Guid* iid,
                                                                      void** out) {
    if (!clsid || !iid) return com::E_POINTER;
    return com::ServerGetClassObject(Descriptor(), *clsid, *iid, out);
}

__attribute__((visibility("default"))) com::HRESULT DllCanUnloadNow() {
    return com::ServerCanUnloadNow(Descriptor());
}
}
