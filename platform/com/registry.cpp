#include "platform/com/registry.h"

#include "platform/com/user_files.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string_view>

namespace com {

namespace fs = std::filesystem;
using json = nlohmann::json;

fs::path Registry::DefaultPath() {
    if (fs::path set = Environment("DRAVEL_REGISTRY"); !set.empty()) return set;
    return ProductFolder(UserFolder::Config) / "registry.json";
}

std::vector<fs::path> Registry::SystemPaths() {
    std::vector<fs::path> paths;
    std::string list = Environment("XDG_CONFIG_DIRS");
    if (list.empty()) list = "/etc/xdg";
    for (size_t start = 0; start <= list.size();) {
        size_t end = std::min(list.find(':', start), list.size());
        // A relative entry names no fixed folder: it is skipped.
        if (fs::path dir = list.substr(start, end - start); dir.is_absolute())
            paths.push_back(dir / "dravel/registry.json");
        start = end + 1;
    }
    return paths;
}

Registry::Registry(fs::path file, Scope scope) : file_(std::move(file)), scope_(scope) {}

std::optional<ClassRegistration> FindClass(const std::string& progId) {
    if (auto r = Registry().Find(progId)) return r;
    for (const auto& path : Registry::SystemPaths())
        if (auto r = Registry(path, Registry::Scope::System).Find(progId)) return r;
    return std::nullopt;
}

namespace {

// Deeper documents are refused before they are parsed: copying one (as value() does) recurses
// per level. The depth is counted in one pass over the text, so that reading stays linear in the
// registry's size (the parser's own depth callback scans an array again at each object's end).
constexpr int kMaxDepth = 64;

bool NestedTooDeep(std::string_view text) {
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxDepth) return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

}  // namespace

std::vector<ClassRegistration> Registry::Load() const {
    std::vector<ClassRegistration> out;
    auto text = ReadTrustedFile(file_, scope_ == Scope::System ? Owners::Root : Owners::UserOrRoot);
    if (!text) return out;
    if (NestedTooDeep(*text))
        throw ComError(err::Automation, "Component registry " + file_.string() +
                                            " is nested deeper than " + std::to_string(kMaxDepth) +
                                            " levels");
    json j;
    try {
        j = json::parse(*text);
    } catch (const json::exception& e) {
        throw ComError(err::Automation,
                       "Component registry " + file_.string() + " is not valid: " + e.what());
    }
    try {
        for (const auto& c : j.value("classes", json::array())) {
            ClassRegistration r;
            r.progId = c.at("progId").get<std::string>();
            r.clsid = Guid::Parse(c.at("clsid").get<std::string>());
            r.library = c.at("library").get<std::string>();
            r.threadingModel = c.value("threadingModel", "Apartment");
            r.typeLibVersion = c.value("typeLibVersion", "1.0");
            if (c.contains("typeLib")) r.typeLib = Guid::Parse(c.at("typeLib").get<std::string>());
            out.push_back(std::move(r));
        }
    } catch (const json::exception& e) {
        throw ComError(err::Automation,
                       "Component registry " + file_.string() + " has a bad entry: " + e.what());
    } catch (const ComError& e) {
        throw ComError(err::Automation, "Component registry " + file_.string() +
                                            " has a bad entry: " + e.Description());
    }
    return out;
}

void Registry::Save(const std::vector<ClassRegistration>& entries) const {
    json classes = json::array();
    for (const auto& r : entries) {
        json c = {{"progId", r.progId},
                  {"clsid", r.clsid.ToString()},
                  {"library", r.library.string()},
                  {"threadingModel", r.threadingModel},
                  {"typeLibVersion", r.typeLibVersion}};
        if (r.typeLib) c["typeLib"] = r.typeLib->ToString();
        classes.push_back(std::move(c));
    }
    // Readers never see a half-written file, and a failed write leaves the old one.
    ReplaceFile(file_, json{{"classes", classes}}.dump(2) + "\n");
}

std::optional<ClassRegistration> Registry::Find(const std::string& progId) const {
    for (auto& r : Load())
        if (r.progId == progId) return r;
    return std::nullopt;
}

std::optional<ClassRegistration> Registry::Find(const Guid& clsid) const {
    for (auto& r : Load())
        if (r.clsid == clsid) return r;
    return std::nullopt;
}

std::vector<ClassRegistration> Registry::All() const {
    return Load();
}

namespace {

// Holds the registry's lock file for one read-change-write, so writers in other threads and
// programs do not drop each other's entries.
class WriteLock {
  public:
    explicit WriteLock(const fs::path& registry) {
        fs::path lock = TrustedPath(registry);
        CreateFolders(lock.parent_path());
        lock += ".lock";
        fd_ = Descriptor(::open(lock.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (!fd_ || ::flock(fd_.Get(), LOCK_EX) != 0) {
            const int error = errno;
            throw ComError(err::Automation, "Cannot lock component registry " + registry.string() +
                                                ": " + std::strerror(error));
        }
    }

  private:
    Descriptor fd_;  // closing it releases the lock
};

}  // namespace

void Registry::Register(const ClassRegistration& r) {
    WriteLock lock(file_);
    auto entries = Load();
    std::erase_if(entries, [&](const ClassRegistration& e) { return e.progId == r.progId; });
    entries.push_back(r);
    Save(entries);
}

std::optional<ClassRegistration> Registry::Unregister(const std::string& progId) {
    WriteLock lock(file_);
    auto entries = Load();
    auto it = std::find_if(entries.begin(), entries.end(),
                           [&](const ClassRegistration& e) { return e.progId == progId; });
    if (it == entries.end()) return std::nullopt;
    ClassRegistration removed = std::move(*it);
    entries.erase(it);
    Save(entries);
    return removed;
}

int Registry::UnregisterLibrary(const fs::path& library) {
    WriteLock lock(file_);
    auto entries = Load();
    auto canon = [](const fs::path& p) {
        std::error_code ec;
        auto c = fs::weakly_canonical(p, ec);
        return ec ? p : c;
    };
    auto n = std::erase_if(
        entries, [&](const ClassRegistration& e) { return canon(e.library) == canon(library); });
    if (n) Save(entries);
    return static_cast<int>(n);
}

namespace {

struct LoadedLibrary {
    void* handle = nullptr;
    DllGetClassObjectFn getClassObject = nullptr;
    DllCanUnloadNowFn canUnloadNow = nullptr;
};

std::mutex& Lock() {
    static std::mutex m;
    return m;
}
std::map<std::string, Factory>& LocalClasses() {
    static std::map<std::string, Factory> classes;
    return classes;
}
std::map<std::string, LoadedLibrary>& Libraries() {
    static std::map<std::string, LoadedLibrary> libs;
    return libs;
}

ComError CreateFailure(const std::string& progId, const std::string& why) {
    return ComError(err::CannotCreateObject, "Cannot create " + progId + ": " + why,
                    "com.CreateObject");
}

// Only a library that nobody but the user and root can change is loaded.
void* OpenLibrary(const fs::path& library, std::string& why) {
    fs::path real;
    try {
        real = TrustedPath(library);
    } catch (const ComError& e) {
        why = "library " + e.Description();
        return nullptr;
    }
    void* h = dlopen(real.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char* e = dlerror();
        why = e ? e : ("cannot open " + library.string());
    }
    return h;
}

// The library, loaded once per process (the caller holds the lock); nothing, and why, when it
// cannot be.
std::optional<LoadedLibrary> Loaded(const fs::path& library, std::string& why) {
    const auto key = library.string();
    if (auto it = Libraries().find(key); it != Libraries().end()) return it->second;
    void* h = OpenLibrary(library, why);
    if (!h) return std::nullopt;
    LoadedLibrary l;
    l.handle = h;
    l.getClassObject = reinterpret_cast<DllGetClassObjectFn>(dlsym(h, "DllGetClassObject"));
    l.canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(dlsym(h, "DllCanUnloadNow"));
    if (!l.getClassObject) {
        dlclose(h);
        why = key + " does not export DllGetClassObject";
        return std::nullopt;
    }
    return Libraries().emplace(key, l).first->second;
}

}  // namespace

std::optional<std::string> LoadServer(const fs::path& library) {
    TrustedPath(library);
    std::lock_guard g(Lock());
    std::string why;
    if (Loaded(library, why)) return std::nullopt;
    return why;
}

void RegisterLocalClass(const std::string& progId, Factory factory) {
    std::lock_guard g(Lock());
    LocalClasses()[progId] = std::move(factory);
}

void UnregisterLocalClass(const std::string& progId) {
    std::lock_guard g(Lock());
    LocalClasses().erase(progId);
}

ComPtr<IUnknown> CreateObject(const std::string& progId) {
    Factory local;
    {
        std::lock_guard g(Lock());
        auto it = LocalClasses().find(progId);
        if (it != LocalClasses().end()) local = it->second;
    }
    if (local) {
        auto o = local();
        if (!o) throw CreateFailure(progId, "its factory returned nothing");
        return o;
    }

    std::optional<ClassRegistration> reg;
    try {
        reg = FindClass(progId);
    } catch (const ComError& e) {
        throw CreateFailure(progId, e.Description());
    }
    if (!reg)
        throw CreateFailure(progId, "class not registered in " + Registry::DefaultPath().string() +
                                        " nor in the system's registry");

    LoadedLibrary lib;
    {
        std::lock_guard g(Lock());
        std::string why;
        auto loaded = Loaded(reg->library, why);
        if (!loaded) throw CreateFailure(progId, why);
        lib = *loaded;
    }

    ComPtr<IClassFactory> factory;
    HRESULT hr = lib.getClassObject(&reg->clsid, &IClassFactory::IID,
                                    reinterpret_cast<void**>(factory.Put()));
    if (Failed(hr) || !factory)
        throw CreateFailure(progId, "the library has no class object for " + reg->clsid.ToString());
    ComPtr<IUnknown> obj;
    hr = factory->CreateInstance(nullptr, IUnknown::IID, reinterpret_cast<void**>(obj.Put()));
    if (Failed(hr) || !obj)
        throw CreateFailure(progId, "the class factory refused to create an instance");
    return obj;
}

int FreeUnusedLibraries() {
    std::lock_guard g(Lock());
    int closed = 0;
    for (auto it = Libraries().begin(); it != Libraries().end();) {
        if (it->second.canUnloadNow && it->second.canUnloadNow() == S_OK) {
            dlclose(it->second.handle);
            it = Libraries().erase(it);
            ++closed;
        } else {
            ++it;
        }
    }
    return closed;
}

namespace {
HRESULT CallExport(const fs::path& library, const char* name) {
    std::string why;
    void* h = OpenLibrary(library, why);
    if (!h) throw ComError(err::FileNotFound, why, "com.RegisterServer");
    auto fn = reinterpret_cast<DllRegisterServerFn>(dlsym(h, name));
    HRESULT hr = fn ? fn() : E_NOTIMPL;
    dlclose(h);
    return hr;
}
}  // namespace

HRESULT RegisterServer(const fs::path& library) {
    return CallExport(library, "DllRegisterServer");
}
HRESULT UnregisterServer(const fs::path& library) {
    return CallExport(library, "DllUnregisterServer");
}

}  // namespace com
