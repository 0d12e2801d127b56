#pragma once
// The script object model: the objects a module publishes to scripts, under their names, and
// the notices of its windows opening and closing.

#include <map>
#include <optional>
#include <vector>

#include "contracts/models.h"

namespace framework {

class ScriptModel : public com::ComObject<ScriptModel, host::IScriptModel> {
  public:
    struct Published {
        com::ComPtr<com::IUnknown> object;
        int32_t kind;  // host::script_kind
    };
    struct OpenNotice {
        std::string windowName;
        com::Variant name;
    };

    static com::ComPtr<ScriptModel> Create() { return com::ComPtr<ScriptModel>(new ScriptModel()); }

    // Publishes (or replaces) the object under `name`; returns it. An empty name is error 5:
    // scripts could not reach the object.
    com::ComPtr<com::IUnknown> AddScriptObject(const std::string& name, com::IUnknown* object,
                                               int32_t kind, const std::string& name2) override;
    com::Variant ScriptOpenNotice(const std::string& windowName, int32_t a, int32_t b,
                                  const com::Variant& name) override;
    com::Variant ScriptCloseNotice(const com::Variant& menuEntryKey) override;

    std::optional<Published> Find(const std::string& name) const;
    const std::map<std::string, Published>& Objects() const { return objects_; }
    const std::vector<OpenNotice>& OpenNotices() const { return openNotices_; }
    const std::vector<com::Variant>& CloseNotices() const { return closeNotices_; }
    // Drops the published objects (and the references to them).
    void Clear() { objects_.clear(); }

  private:
    ScriptModel() = default;

    std::map<std::string, Published> objects_;
    std::vector<OpenNotice> openNotices_;
    std::vector<com::Variant> closeNotices_;
};

}  // namespace framework
