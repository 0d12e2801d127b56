#pragma once
// The script object model: the objects a module publishes to scripts, under their names, and the
// notices of its windows opening and closing. This host runs no scripts of the module's: it holds
// the objects (and so keeps them alive) for as long as the navigator holds the model, and takes
// the notices.

#include <map>

#include "contracts/models.h"

namespace framework {

class ScriptModel : public com::ComObject<ScriptModel, host::IScriptModel> {
  public:
    static com::ComPtr<ScriptModel> Create() { return com::ComPtr<ScriptModel>(new ScriptModel()); }

    // Publishes (or replaces) the object under `name`; returns it. An empty name is error 5:
    // scripts could not reach the object.
    com::ComPtr<com::IUnknown> AddScriptObject(const std::string& name, com::IUnknown* object,
                                               int32_t kind, const std::string& name2) override;
    com::Variant ScriptOpenNotice(const std::string&, int32_t, int32_t,
                                  const com::Variant&) override {
        return {};
    }
    com::Variant ScriptCloseNotice(const com::Variant&) override { return {}; }

  private:
    ScriptModel() = default;

    std::map<std::string, com::ComPtr<com::IUnknown>> objects_;
};

}  // namespace framework
