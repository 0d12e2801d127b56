// Creation of the window: its controls with their design settings, their places, and the
// subscriptions to their events. All of it happens before Form_Load, which finds them ready.

#include "window/frm_mgquintab.h"

#include <utility>

#include "contracts/module_identity.h"
#include "contracts/progids.h"

namespace dravel {

namespace {

namespace progid = host::progid;

// Design settings shared by the three edit fields.
struct EditDesign {
    const char* column;
    int32_t maxChar;
    const char* displayFormat;
    int32_t maxWidth;
    const char* caption;  // also the tag
};

void ApplyDesign(host::IEditControl& edit, const EditDesign& d) {
    edit.SetDBField(d.column);
    edit.SetRequired(true);
    edit.SetMaxChar(d.maxChar);
    edit.SetDisplayFormat(d.displayFormat);
    edit.SetMaxWidth(d.maxWidth);
    edit.SetCaption(d.caption);
    edit.SetTag(d.caption);
    edit.SetCharacter(false);
}

}  // namespace

com::ComPtr<FRM_MGQUINTAB> FRM_MGQUINTAB::Create() {
    com::ComPtr<FRM_MGQUINTAB> window(new FRM_MGQUINTAB());
    // The window subscribes to its controls as a counted object: not inside the constructor.
    window->CreateControls();
    window->LayoutControls();
    window->SubscribeControls();
    return window;
}

FRM_MGQUINTAB::FRM_MGQUINTAB() {
    SetName(kWindowName);
    SetCaption(host::kModuleCaption);
}

FRM_MGQUINTAB::~FRM_MGQUINTAB() = default;

void FRM_MGQUINTAB::CreateControls() {
    MDIActiveX1 = CreateControl<host::IMdiHost>(progid::MdiHost, "MDIActiveX1");

    INTERNAV = CreateControl<host::INavBar>(progid::NavBar, "INTERNAV");
    INTERNAV->SetAutoMoves(false, false, false);

    QGRID = CreateControl<host::IGridControl>(progid::Grid, "QGRID");
    QGRID->SetGridLoadMode(0);
    QGRID->SetColorTheme(0);
    QGRID->SetDataFormatEnabled(true);
    QGRID->SetPreviewFont("Tahoma", 0);

    auto label = [&](const char* name, const char* caption) {
        auto l = CreateControl<host::ICaptionControl>(progid::Label, name);
        l->SetCaption(caption);
        return l;
    };
    LBL_TIPO = label("LBL_TIPO", "Tipo documento");
    LBL_PRIORITA = label("LBL_PRIORITA", "Priorità");
    LBL_DESC = label("LBL_DESC", "Descrizione");
    LBL_STRUT = label("LBL_STRUT", "Struttura");

    CBO_TIPO = CreateControl<host::IComboControl>(progid::Combo, "CBO_TIPO");
    CBO_TIPO->SetDBField("MGA0_FLGRESO");
    CBO_TIPO->SetMaxChar(50);
    CBO_TIPO->SetRequired(true);
    CBO_TIPO->SetDbCol(0);

    TXT_PRIORITA = CreateControl<host::IEditControl>(progid::Edit, "TXT_PRIORITA");
    ApplyDesign(*TXT_PRIORITA,
                {"MGA0_INDPRIOR", 5, host::display_format::Any, 5, "Priorità filtro"});

    TXT_DESCR = CreateControl<host::IEditControl>(progid::Edit, "TXT_DESCR");
    ApplyDesign(*TXT_DESCR, {"MGA0_DESCR", 255, host::display_format::Any, 41,
                             "Descrizione contropartite contabili"});
    TXT_DESCR->SetNumeric(false);

    TXT_STRUT = CreateControl<host::IEditControl>(progid::Edit, "TXT_STRUT");
    ApplyDesign(*TXT_STRUT,
                {"MGA0_STRUTTURACAMPI", 40, host::display_format::Upper, 41, "Struttura Campi"});
    TXT_STRUT->SetNumeric(false);
    TXT_STRUT->SetEnabled(false);
    TXT_STRUT->SetIsOrder(true);

    auto toolbar = [&](const char* name, int16_t index, const char* picture) {
        auto t = CreateControl<host::IToolbar>(progid::Toolbar, name);
        t->SetIndex(index);
        t->SetPicture(picture);
        t->SetMenuPopup(false);
        return t;
    };
    TBR_REFRESH = toolbar("TBR_REFRESH", 0, "refresh");
    TBAR_PRIORITY = {toolbar("TBAR_PRIORITY", 0, "up"), toolbar("TBAR_PRIORITY", 1, "down")};

    GRB_COMPSTR = CreateControl<host::ICaptionControl>(progid::GroupBox, "GRB_COMPSTR");
    LBL_DASELEZIONARE = label("LBL_DASELEZIONARE", "Elementi da selezionare");
    LBL_SELEZIONATI = label("LBL_SELEZIONATI", "Elementi selezionati");

    TVW_FIELDS = ui::TreeView::Create();
    AddControl(com::ComPtr<ui::IControl>(TVW_FIELDS.Get()), "TVW_FIELDS");
    LST_FIELDS = ui::ListBox::Create();
    AddControl(com::ComPtr<ui::IControl>(LST_FIELDS.Get()), "LST_FIELDS");

    TBAR_SELECT = {toolbar("TBAR_SELECT", 0, "right"), toolbar("TBAR_SELECT", 1, "left")};
    TBAR_FIELDS = {toolbar("TBAR_FIELDS", 0, "up"), toolbar("TBAR_FIELDS", 1, "down")};

    KVR_RESIZEFORM1 = CreateControl<host::IResizeControl>(progid::Resize, "KVR_RESIZEFORM1");
}

// The window is 8595 x 7470 twips: the bar on top, the grid, the fields of the current
// criterion, and the structure editor in its group box at the bottom.
void FRM_MGQUINTAB::LayoutControls() {
    const std::pair<com::IUnknown*, ui::Rect> places[] = {
        {MDIActiveX1.Get(), {0, 0, 0, 0}},
        {KVR_RESIZEFORM1.Get(), {0, 0, 0, 0}},
        {INTERNAV.Get(), {0, 0, 8595, 420}},
        {QGRID.Get(), {60, 480, 8475, 2700}},
        {LBL_TIPO.Get(), {60, 3270, 1300, 255}},
        {CBO_TIPO.Get(), {1400, 3240, 3000, 315}},
        {LBL_PRIORITA.Get(), {4560, 3270, 840, 255}},
        {TXT_PRIORITA.Get(), {5440, 3240, 800, 315}},
        {TBAR_PRIORITY[0].Get(), {6300, 3240, 330, 315}},
        {TBAR_PRIORITY[1].Get(), {6660, 3240, 330, 315}},
        {LBL_DESC.Get(), {60, 3630, 1300, 255}},
        {TXT_DESCR.Get(), {1400, 3600, 6600, 315}},
        {TBR_REFRESH.Get(), {8070, 3600, 330, 315}},
        {LBL_STRUT.Get(), {60, 3990, 1300, 255}},
        {TXT_STRUT.Get(), {1400, 3960, 6600, 315}},
        {GRB_COMPSTR.Get(), {60, 4380, 8475, 2940}},
        {LBL_DASELEZIONARE.Get(), {180, 4560, 3600, 255}},
        {static_cast<ui::IControl*>(TVW_FIELDS.Get()), {180, 4830, 3600, 2370}},
        {TBAR_SELECT[0].Get(), {3900, 5400, 420, 375}},
        {TBAR_SELECT[1].Get(), {3900, 5880, 420, 375}},
        {LBL_SELEZIONATI.Get(), {4440, 4560, 3480, 255}},
        {static_cast<ui::IControl*>(LST_FIELDS.Get()), {4440, 4830, 3480, 2370}},
        {TBAR_FIELDS[0].Get(), {8010, 5400, 420, 375}},
        {TBAR_FIELDS[1].Get(), {8010, 5880, 420, 375}},
    };
    for (const auto& [control, rect] : places) {
        auto c = com::QueryAs<ui::IControl>(control);
        if (!c)
            throw com::ComError(com::err::NoSuchMember, "A control of the window has no geometry");
        c->SetGeometry(rect);
    }
}

void FRM_MGQUINTAB::SubscribeControls() {
    auto subscribe = [&]<class Sink>(com::IUnknown* source, Sink* sink, const char* name) {
        com::EventConnection c;
        if (!c.Connect<Sink>(source, sink))
            throw com::ComError(com::err::InvalidCall,
                                std::string(name) + " raises no events the window handles");
        controlEvents_.push_back(std::move(c));
    };
    auto* self = this;
    subscribe(MDIActiveX1.Get(), static_cast<host::IMdiHostEvents*>(self), "MDIActiveX1");
    subscribe(QGRID.Get(), static_cast<host::IGridEvents*>(self), "QGRID");
    subscribe(INTERNAV.Get(), static_cast<host::INavBarEvents*>(self), "INTERNAV");
    subscribe(TXT_DESCR.Get(), static_cast<host::IEditEvents*>(self), "TXT_DESCR");
    subscribe(TXT_STRUT.Get(), static_cast<host::IEditEvents*>(self), "TXT_STRUT");
    auto* toolbarSink = static_cast<host::IToolbarEvents*>(self);
    subscribe(TBR_REFRESH.Get(), toolbarSink, "TBR_REFRESH");
    for (const auto* pair : {&TBAR_PRIORITY, &TBAR_SELECT, &TBAR_FIELDS})
        for (const auto& t : *pair) subscribe(t.Get(), toolbarSink, "a toolbar array");
    subscribe(static_cast<ui::ITreeView*>(TVW_FIELDS.Get()),
              static_cast<ui::ITreeViewEvents*>(self), "TVW_FIELDS");
    subscribe(static_cast<ui::IListBox*>(LST_FIELDS.Get()), static_cast<ui::IListBoxEvents*>(self),
              "LST_FIELDS");
}

com::ComPtr<com::IUnknown> FRM_MGQUINTAB::GridObject() {
    return com::ComPtr<com::IUnknown>(QGRID);
}

}  // namespace dravel
