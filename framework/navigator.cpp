#include "framework/navigator.h"

namespace framework {

com::ComPtr<Navigator> Navigator::Create() {
    auto n = com::ComPtr<Navigator>(new Navigator());
    n->scriptModel_ = framework::ScriptModel::Create();
    n->layoutModel_ = framework::LayoutModel::Create();
    return n;
}

// Every sink sees the same Cancel, as set by the sinks before it.
template <class F>
bool Navigator::Raise(F&& call) {
    com::VARIANT_BOOL cancel = com::VARIANT_FALSE;
    sinks_.Raise([&](host::INavigatorEvents* sink) { return call(sink, cancel); });
    return cancel == com::VARIANT_FALSE;
}

bool Navigator::RaiseBeforeChangeDitta() {
    return Raise([](host::INavigatorEvents* s, com::VARIANT_BOOL& cancel) {
        return s->BeforeChangeDitta(cancel);
    });
}

bool Navigator::RaiseButtonPressed(int32_t code) {
    return Raise([code](host::INavigatorEvents* s, com::VARIANT_BOOL& cancel) {
        int32_t button = code;
        return s->ButtonPressed(cancel, button);
    });
}

bool Navigator::RaiseBeforeExportToOffice(com::IUnknown* exporter) {
    return Raise([exporter](host::INavigatorEvents* s, com::VARIANT_BOOL& cancel) {
        com::IUnknown* e = exporter;
        return s->BeforeExportToOffice(cancel, e);
    });
}

bool Navigator::RaiseInitializeLayoutObjectModel(host::ILayoutModel* layout) {
    return Raise([layout](host::INavigatorEvents* s, com::VARIANT_BOOL& cancel) {
        host::ILayoutModel* l = layout;
        return s->InitializeLayoutObjectModel(cancel, l);
    });
}

bool Navigator::RaiseInitializeScriptObjectModel(host::IScriptModel* script) {
    return Raise([script](host::INavigatorEvents* s, com::VARIANT_BOOL& cancel) {
        host::IScriptModel* m = script;
        return s->InitializeScriptObjectModel(cancel, m);
    });
}

}  // namespace framework
