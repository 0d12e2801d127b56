#pragma once
// The component registry (a JSON file) and the creation of objects by program identifier.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/com/unknown.h"

namespace com {

struct IClassFactory : IUnknown {
    static constexpr Guid IID = Guid::Parse("00000001-0000-0000-C000-000000000046");
    virtual HRESULT CreateInstance(IUnknown* outer, const Guid& iid, void** out) noexcept = 0;
    virtual HRESULT LockServer(VARIANT_BOOL lock) noexcept = 0;

  protected:
    ~IClassFactory() = default;
};

// One registered class.
struct ClassRegistration {
    std::string progId;
    Guid clsid;
    std::filesystem::path library;  // the shared library that serves it
    std::string threadingModel = "Apartment";
    std::string typeLibVersion = "1.0";
    std::optional<Guid> typeLib;
};

// The file-based registry. The user's own: $DRAVEL_REGISTRY, else
// $XDG_CONFIG_HOME/dravel/registry.json, else ~/.config/dravel/registry.json, read and written only
// where nobody but the user and root can change it (see TrustedPath), as is every library it names
// before it is loaded. The system's, for every user: dravel/registry.json in each of the XDG
// configuration folders ($XDG_CONFIG_DIRS, else /etc/xdg), trusted only when root alone can
// change it.
class Registry {
  public:
    enum class Scope { User, System };

    static std::filesystem::path DefaultPath();
    // The system registries in the order they are read; the first is the one written.
    static std::vector<std::filesystem::path> SystemPaths();

    explicit Registry(std::filesystem::path file = DefaultPath(), Scope scope = Scope::User);

    std::optional<ClassRegistration> Find(const std::string& progId) const;
    std::optional<ClassRegistration> Find(const Guid& clsid) const;
    std::vector<ClassRegistration> All() const;

    // Adds or replaces the entry of the program identifier; written at once.
    void Register(const ClassRegistration& r);
    // Removes the entry of the program identifier, whatever library it names; written at once.
    // Returns the entry removed.
    std::optional<ClassRegistration> Unregister(const std::string& progId);
    // Removes every entry served by the library (which need not exist any more); written at
    // once. Returns how many.
    int UnregisterLibrary(const std::filesystem::path& library);

    const std::filesystem::path& File() const { return file_; }

  private:
    std::vector<ClassRegistration> Load() const;
    void Save(const std::vector<ClassRegistration>& entries) const;
    std::filesystem::path file_;
    Scope scope_;
};

// The registration of a program identifier: the user's registry first, then the system's.
std::optional<ClassRegistration> FindClass(const std::string& progId);

// Classes served by the running program itself (the host's own components), found before the
// registry file is asked.
using Factory = std::function<ComPtr<IUnknown>()>;
void RegisterLocalClass(const std::string& progId, Factory factory);
void UnregisterLocalClass(const std::string& progId);

// Creates an object by program identifier: a local class, or a registered library loaded on
// demand. Failure: error 429 whose description says why (not registered, registry or library not
// trusted or not valid, library missing, entry point missing, factory refused).
ComPtr<IUnknown> CreateObject(const std::string& progId);

template <class T>
ComPtr<T> CreateObjectAs(const std::string& progId) {
    auto o = CreateObject(progId);
    auto t = o.template As<T>();
    if (!t)
        throw ComError(err::TypeMismatch, "Object " + progId + " lacks the interface asked for");
    return t;
}

// Loads a server library as CreateObject does (once per process: it stays loaded for it).
// Returns why it cannot be loaded (missing, not a library, a symbol it needs is undefined, no
// DllGetClassObject), nothing when it loads. A library that others could change is not opened:
// its trust error is thrown.
std::optional<std::string> LoadServer(const std::filesystem::path& library);

// Calls the library's DllCanUnloadNow and closes those that answer yes; returns how many closed.
int FreeUnusedLibraries();

// Loads a library and calls one of its registration exports.
HRESULT RegisterServer(const std::filesystem::path& library);
HRESULT UnregisterServer(const std::filesystem::path& library);

// The entry points every in-process server exports.
extern "C" {
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();
using DllGetClassObjectFn = HRESULT (*)(const Guid* clsid, const Guid* iid, void** out);
using DllCanUnloadNowFn = HRESULT (*)();
}

}  // namespace com
