#pragma once
// Layout and script models of the tests' own, handed to the module through the navigator as a
// host hands its models: they record what the module tells them.

#include <map>
#include <string>
#include <vector>

#include "contracts/models.h"

namespace testing_support {

class RecordingLayoutModel : public com::ComObject<RecordingLayoutModel, host::ILayoutModel> {
  public:
    std::vector<com::Variant> titles;  // of the windows and grids, in the order registered

    com::ComPtr<com::IUnknown> RegisterWindowLayout(const com::Variant& title,
                                                    com::IUnknown* window, int32_t, int32_t,
                                                    int32_t) override {
        titles.push_back(title);
        return window;
    }
    com::ComPtr<com::IUnknown> RegisterGridLayout(const com::Variant& title,
                                                  com::IUnknown* grid) override {
        titles.push_back(title);
        return grid;
    }
};

class RecordingScriptModel : public com::ComObject<RecordingScriptModel, host::IScriptModel> {
  public:
    std::map<std::string, com::ComPtr<com::IUnknown>> objects;  // by the names published under
    std::vector<com::Variant> closeNotices;                     // the menu entries' keys

    com::ComPtr<com::IUnknown> AddScriptObject(const std::string& name, com::IUnknown* object,
                                               int32_t, const std::string&) override {
        objects[name] = object;
        return object;
    }
    com::Variant ScriptOpenNotice(const std::string&, int32_t, int32_t,
                                  const com::Variant&) override {
        return {};
    }
    com::Variant ScriptCloseNotice(const com::Variant& menuEntryKey) override {
        closeNotices.push_back(menuEntryKey);
        return {};
    }
};

}  // namespace testing_support
