#include "host/clsmg_quintab.h"

#include <type_traits>

#include "platform/com/failure.h"

namespace dravel {

namespace {

// Every slot continues past failures and reports success: no failure crosses the interface.
template <class F>
com::HRESULT Slot(F&& body, com::SourceLocation where = com::SourceLocation::current()) noexcept {
    com::Step(std::forward<F>(body), where);
    return com::S_OK;
}

// A slot that only stores what it is given, which cannot fail.
template <class T, class V>
com::HRESULT Store(T& stored, V&& value) noexcept {
    static_assert(std::is_nothrow_assignable_v<T&, V>);
    stored = std::forward<V>(value);
    return com::S_OK;
}

template <class T>
com::HRESULT Hand(const com::ComPtr<T>& stored, T** out) noexcept {
    if (!out) return com::S_OK;
    *out = com::ComPtr<T>(stored).Detach();
    return com::S_OK;
}

template <class T>
com::HRESULT Read(const T& stored, T* out) noexcept {
    if (out) *out = stored;
    return com::S_OK;
}

bool Bool(com::VARIANT_BOOL v) {
    return v != com::VARIANT_FALSE;
}

}  // namespace

std::atomic<int>& LiveObjects() {
    static std::atomic<int> count{0};
    return count;
}

com::ComPtr<CLSMG_QUINTAB> CLSMG_QUINTAB::Create() {
    return com::ComPtr<CLSMG_QUINTAB>(new CLSMG_QUINTAB());
}

CLSMG_QUINTAB::CLSMG_QUINTAB() = default;  // ActiveDll starts as the instance itself

CLSMG_QUINTAB::~CLSMG_QUINTAB() {
    // The host's objects go before the window, in this order; a release cannot fail.
    clsGlobal_ = nullptr;
    clsVoceMenu_ = nullptr;
    navigatorEvents_.Reset();
    activeNavigator_ = nullptr;
    activeDllIsSelf_ = false;
    activeDll_ = nullptr;
    window_ = nullptr;
    com::Err().Clear();
}

com::ComPtr<host::Cinterface> CLSMG_QUINTAB::ActiveDll() {
    return activeDllIsSelf_ ? Self<host::Cinterface>() : activeDll_;
}

com::HRESULT CLSMG_QUINTAB::putref_ClsGlobal(host::IGlobal* v) noexcept {
    return Store(clsGlobal_, v);
}
com::HRESULT CLSMG_QUINTAB::get_ClsGlobal(host::IGlobal** v) noexcept {
    return Hand(clsGlobal_, v);
}

com::HRESULT CLSMG_QUINTAB::putref_ActiveFrame(com::IUnknown* v) noexcept {
    return Store(activeFrame_, v);
}
com::HRESULT CLSMG_QUINTAB::get_ActiveFrame(com::IUnknown** v) noexcept {
    return Hand(activeFrame_, v);
}

com::HRESULT CLSMG_QUINTAB::putref_ActiveNavigator(host::INavigator* v) noexcept {
    // Each call here is noexcept: a navigator that raises no events is left unsubscribed.
    navigatorEvents_.Reset();
    activeNavigator_ = v;
    if (v) navigatorEvents_.Connect<host::INavigatorEvents>(v, this);
    return com::S_OK;
}
com::HRESULT CLSMG_QUINTAB::get_ActiveNavigator(host::INavigator** v) noexcept {
    return Hand(activeNavigator_, v);
}

com::HRESULT CLSMG_QUINTAB::putref_ActiveDll(host::Cinterface* v) noexcept {
    activeDllIsSelf_ = com::SameObject(v, static_cast<host::Cinterface*>(this));
    activeDll_ = activeDllIsSelf_ ? nullptr : com::ComPtr<host::Cinterface>(v);
    return com::S_OK;
}
com::HRESULT CLSMG_QUINTAB::get_ActiveDll(host::Cinterface** v) noexcept {
    return Hand(ActiveDll(), v);
}

com::HRESULT CLSMG_QUINTAB::putref_StatusBar(com::IUnknown* v) noexcept {
    return Store(statusBar_, v);
}
com::HRESULT CLSMG_QUINTAB::get_StatusBar(com::IUnknown** v) noexcept {
    return Hand(statusBar_, v);
}

com::HRESULT CLSMG_QUINTAB::put_CanInsert(com::VARIANT_BOOL v) noexcept {
    return Store(canInsert_, Bool(v));
}
com::HRESULT CLSMG_QUINTAB::get_CanInsert(com::VARIANT_BOOL* v) noexcept {
    return Read(com::ToVariantBool(canInsert_), v);
}
com::HRESULT CLSMG_QUINTAB::put_CanDelete(com::VARIANT_BOOL v) noexcept {
    return Store(canDelete_, Bool(v));
}
com::HRESULT CLSMG_QUINTAB::get_CanDelete(com::VARIANT_BOOL* v) noexcept {
    return Read(com::ToVariantBool(canDelete_), v);
}
com::HRESULT CLSMG_QUINTAB::put_CanUpdate(com::VARIANT_BOOL v) noexcept {
    return Store(canUpdate_, Bool(v));
}
com::HRESULT CLSMG_QUINTAB::get_CanUpdate(com::VARIANT_BOOL* v) noexcept {
    return Read(com::ToVariantBool(canUpdate_), v);
}
com::HRESULT CLSMG_QUINTAB::put_CanQbe(com::VARIANT_BOOL v) noexcept {
    return Store(canQbe_, Bool(v));
}
com::HRESULT CLSMG_QUINTAB::get_CanQbe(com::VARIANT_BOOL* v) noexcept {
    return Read(com::ToVariantBool(canQbe_), v);
}

// Stored in 16 bits: a value outside that range is dropped and the previous one stays.
com::HRESULT CLSMG_QUINTAB::put_WindowState(int32_t v) noexcept {
    return Slot([&] { windowState_ = com::Variant(v).ToInteger(); });
}
com::HRESULT CLSMG_QUINTAB::get_WindowState(int32_t* v) noexcept {
    return Read<int32_t>(windowState_, v);
}

com::HRESULT CLSMG_QUINTAB::put_WindowModal(com::VARIANT_BOOL v) noexcept {
    return Store(windowModal_, Bool(v));
}
com::HRESULT CLSMG_QUINTAB::get_WindowModal(com::VARIANT_BOOL* v) noexcept {
    return Read(com::ToVariantBool(windowModal_), v);
}

com::HRESULT CLSMG_QUINTAB::put_ProgramMode(int32_t v) noexcept {
    return Slot([&] { programMode_ = com::Variant(v).ToInteger(); });
}
com::HRESULT CLSMG_QUINTAB::get_ProgramMode(int32_t* v) noexcept {
    return Read<int32_t>(programMode_, v);
}

com::HRESULT CLSMG_QUINTAB::put_MenuModulo(const com::Variant& v) noexcept {
    return Store(menuModulo_, v);
}
com::HRESULT CLSMG_QUINTAB::get_MenuModulo(com::Variant* v) noexcept {
    return Read(menuModulo_, v);
}
com::HRESULT CLSMG_QUINTAB::put_MenuPadre(const com::Variant& v) noexcept {
    return Store(menuPadre_, v);
}
com::HRESULT CLSMG_QUINTAB::get_MenuPadre(com::Variant* v) noexcept {
    return Read(menuPadre_, v);
}
com::HRESULT CLSMG_QUINTAB::put_MenuProg(const com::Variant& v) noexcept {
    return Store(menuProg_, v);
}
com::HRESULT CLSMG_QUINTAB::get_MenuProg(com::Variant* v) noexcept {
    return Read(menuProg_, v);
}
com::HRESULT CLSMG_QUINTAB::put_Caption(const com::Variant& v) noexcept {
    return Store(caption_, v);
}
com::HRESULT CLSMG_QUINTAB::get_Caption(com::Variant* v) noexcept {
    return Read(caption_, v);
}

com::HRESULT CLSMG_QUINTAB::put_hwndParent(int32_t v) noexcept {
    return Store(hwndParent_, v);
}
com::HRESULT CLSMG_QUINTAB::get_hwndParent(int32_t* v) noexcept {
    return Read(hwndParent_, v);
}

com::HRESULT CLSMG_QUINTAB::putref_Connection(com::IUnknown* v) noexcept {
    return Store(connection_, v);
}
com::HRESULT CLSMG_QUINTAB::get_Connection(com::IUnknown** v) noexcept {
    return Hand(connection_, v);
}

// Nothing in the module keeps a window object for the host.
com::HRESULT CLSMG_QUINTAB::get_Cwindow(com::IUnknown** v) noexcept {
    if (v) *v = nullptr;
    return com::S_OK;
}

com::HRESULT CLSMG_QUINTAB::get_Top(com::Variant* v) noexcept {
    return Read(com::Variant(top_), v);
}
com::HRESULT CLSMG_QUINTAB::put_Top(const com::Variant& v) noexcept {
    return Slot([&] { top_ = v.ToLong(); });
}
com::HRESULT CLSMG_QUINTAB::get_Left(com::Variant* v) noexcept {
    return Read(com::Variant(left_), v);
}
com::HRESULT CLSMG_QUINTAB::put_Left(const com::Variant& v) noexcept {
    return Slot([&] { left_ = v.ToLong(); });
}

com::HRESULT CLSMG_QUINTAB::putref_ClsVoceMenu(host::IMenuEntry* v) noexcept {
    return Store(clsVoceMenu_, v);
}
com::HRESULT CLSMG_QUINTAB::get_ClsVoceMenu(host::IMenuEntry** v) noexcept {
    return Hand(clsVoceMenu_, v);
}

com::HRESULT CLSMG_QUINTAB::put_IsActive(com::VARIANT_BOOL v) noexcept {
    return Store(isActive_, Bool(v));
}
com::HRESULT CLSMG_QUINTAB::get_IsActive(com::VARIANT_BOOL* v) noexcept {
    return Read(com::ToVariantBool(isActive_), v);
}
com::HRESULT CLSMG_QUINTAB::put_IsCalled(com::VARIANT_BOOL v) noexcept {
    return Store(isCalled_, Bool(v));
}
com::HRESULT CLSMG_QUINTAB::get_IsCalled(com::VARIANT_BOOL* v) noexcept {
    return Read(com::ToVariantBool(isCalled_), v);
}

// Filtro is accepted and dropped; it reads Empty.
com::HRESULT CLSMG_QUINTAB::put_Filtro(const com::Variant&) noexcept {
    return com::S_OK;
}
com::HRESULT CLSMG_QUINTAB::get_Filtro(com::Variant* v) noexcept {
    return Read(com::Variant(), v);
}

com::HRESULT CLSMG_QUINTAB::ShowForm(com::Variant* result) noexcept {
    auto loaded = [&] {
        if (!window_->Loaded())
            throw com::ComError(com::err::ObjectUnloaded, "Object was unloaded");
    };
    // Deliberately, each step checks again that the window is loaded. The steps go on
    // past failures, and a Form_Load that fails unloads the window before the later steps run.
    com::Step([&] { window_ = FRM_MGQUINTAB::Create(); });
    com::Step([&] { window_->ActiveInterface = ActiveDll(); });
    com::Step([&] {
        window_->Load();
        loaded();
        window_->SetWindowState(windowState_);
    });
    com::Step([&] {
        loaded();
        window_->SetCaption(caption_.ToText());
    });
    com::Step([&] {
        loaded();
        window_->Show(windowModal_);
    });
    com::Err().Clear();
    if (result) *result = com::Variant();
    return com::S_OK;
}

com::HRESULT CLSMG_QUINTAB::CloseForm(com::Variant* result) noexcept {
    bool closed = false;
    com::Step([&] { window_->Unload(); });
    // A failing test of the condition goes on into the branch, as the classic runtime's
    // resume-next does: without a window the answer is True.
    if (!com::Step([&] { closed = !window_->ActiveInterface; })) closed = true;
    if (result) *result = com::Variant(closed);
    return com::S_OK;
}

com::HRESULT CLSMG_QUINTAB::TransferData(const com::Variant& data, com::Variant* result) noexcept {
    com::Step([&] { sinks_.Raise([&](host::IModuleEvents* s) { return s->DataTransfer(data); }); });
    if (result) *result = com::Variant();
    return com::S_OK;
}

com::HRESULT CLSMG_QUINTAB::Advise(const com::Guid& iid, com::IUnknown* sink,
                                   uint32_t* cookie) noexcept {
    return sinks_.Advise(iid, sink, cookie);
}
com::HRESULT CLSMG_QUINTAB::Unadvise(uint32_t cookie) noexcept {
    return sinks_.Unadvise(cookie);
}

}  // namespace dravel
