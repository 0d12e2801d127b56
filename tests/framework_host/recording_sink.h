#pragma once
// A module's side of the navigator: answers as told and keeps what it received.

#include <stdexcept>
#include <vector>

#include "framework/navigator.h"
#include "platform/com/dispatch.h"

namespace testing_support {

class RecordingSink : public com::ComObject<RecordingSink, host::INavigatorEvents> {
  public:
    bool cancel = false;
    bool fail = false;
    std::vector<int32_t> buttons;
    int changes = 0;
    std::vector<com::VARIANT_BOOL> cancelSeen;

    com::HRESULT ButtonPressed(com::VARIANT_BOOL& c, int32_t& button) noexcept override {
        buttons.push_back(button);
        return Answer(c);
    }
    com::HRESULT BeforeChangeDitta(com::VARIANT_BOOL& c) noexcept override {
        ++changes;
        return Answer(c);
    }
    com::HRESULT BeforeExportToOffice(com::VARIANT_BOOL&,
                                      com::IUnknown*& exporter) noexcept override {
        return com::Guard(
            [&] { com::PutProperty(exporter, "TitoloMaster", com::Variant("FRM_MGQUINTAB")); });
    }
    com::HRESULT InitializeLayoutObjectModel(com::VARIANT_BOOL&,
                                             host::ILayoutModel*& layout) noexcept override {
        return com::Guard([&] { layout->RegisterGridLayout(com::Variant("Griglia"), nullptr); });
    }
    com::HRESULT InitializeScriptObjectModel(com::VARIANT_BOOL&,
                                             host::IScriptModel*& script) noexcept override {
        return com::Guard([&] {
            script->AddScriptObject("FRM_MGQUINTAB", this, host::script_kind::Window,
                                    "FRM_MGQUINTAB");
        });
    }

  private:
    com::HRESULT Answer(com::VARIANT_BOOL& c) {
        cancelSeen.push_back(c);
        if (fail) return com::Guard([] { throw com::ComError(5, "sink failed"); });
        if (cancel) c = com::VARIANT_TRUE;
        return com::S_OK;
    }
};

struct Subscribed {
    com::ComPtr<RecordingSink> sink = com::MakeObject<RecordingSink>();
    com::EventConnection connection;
    explicit Subscribed(framework::Navigator& nav) {
        if (!connection.Connect<host::INavigatorEvents>(nav.GetUnknown(), sink.Get()))
            throw std::runtime_error("the navigator refused the sink");
    }
};

}  // namespace testing_support
