#include "framework/script_model.h"

namespace framework {

com::ComPtr<com::IUnknown> ScriptModel::AddScriptObject(const std::string& name,
                                                        com::IUnknown* object, int32_t kind,
                                                        const std::string&) {
    if (name.empty())
        throw com::ComError(com::err::InvalidCall, "A script object needs a name", "ScriptModel");
    objects_[name] = {object, kind};
    return object;
}

com::Variant ScriptModel::ScriptOpenNotice(const std::string& windowName, int32_t, int32_t,
                                           const com::Variant& name) {
    openNotices_.push_back({windowName, name});
    return {};
}

com::Variant ScriptModel::ScriptCloseNotice(const com::Variant& menuEntryKey) {
    closeNotices_.push_back(menuEntryKey);
    return {};
}

std::optional<ScriptModel::Published> ScriptModel::Find(const std::string& name) const {
    auto it = objects_.find(name);
    if (it == objects_.end()) return std::nullopt;
    return it->second;
}

}  // namespace framework
