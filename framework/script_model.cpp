#include "framework/script_model.h"

namespace framework {

com::ComPtr<com::IUnknown> ScriptModel::AddScriptObject(const std::string& name,
                                                        com::IUnknown* object, int32_t,
                                                        const std::string&) {
    if (name.empty())
        throw com::ComError(com::err::InvalidCall, "A script object needs a name", "ScriptModel");
    objects_[name] = object;
    return object;
}

}  // namespace framework
