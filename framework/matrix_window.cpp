// The matrix window's life and its two combos: the posting type, and that type's criteria in the
// order they are tried. Choosing either settles the current row first.

#include "framework/matrix_window.h"

#include "determination/matrix.h"

#include "contracts/progids.h"
#include "framework/controls/control_model.h"
#include "framework/controls/frame_links.h"
#include "framework/text_service.h"
#include "platform/com/failure.h"
#include "window/posting_types.h"

namespace framework {

namespace {

// The type combo's and the criterion combo's places, below the bar; the grid and the fields go
// below them.
constexpr ui::Rect kTypeLabel{60, 540, 1300, 255}, kTypes{1400, 510, 3000, 315};
constexpr ui::Rect kCriterionLabel{60, 900, 1300, 255}, kCriteria{1400, 870, 6600, 315};

void Place(com::IUnknown* control, const ui::Rect& rect) {
    com::QueryAs<ui::IControl>(control)->SetGeometry(rect);
}

// "2. Cliente, Codice articolo"; a criterion left without a priority shows its description only.
std::string CriterionLabel(const determination::Criterion& c) {
    return c.priority ? std::to_string(*c.priority) + ". " + c.description : c.description;
}

}  // namespace

com::ComPtr<MatrixWindow> MatrixWindow::Create(std::string connectionString, int32_t company,
                                               std::shared_ptr<ado::Watcher> watcher) {
    com::ComPtr<MatrixWindow> window(new MatrixWindow(std::move(connectionString), company));
    window->watcher_ = std::move(watcher);
    window->CreateFixedControls();
    return window;
}

MatrixWindow::MatrixWindow(std::string connectionString, int32_t company)
    : connectionString_(std::move(connectionString)), company_(company) {
    SetName(kMatrixWindowName);
    SetCaption(kMatrixCaption);
}

MatrixWindow::~MatrixWindow() = default;

void MatrixWindow::CreateFixedControls() {
    auto label = [&](const char* name, const char* caption, const ui::Rect& rect) {
        auto l = CreateControl<host::ICaptionControl>(host::progid::Label, name);
        l->SetCaption(caption);
        Place(l.Get(), rect);
    };
    label("LBL_TIPO", "Tipo documento", kTypeLabel);
    types_ = CreateControl<host::IComboControl>(host::progid::Combo, "CBO_TIPO");
    Place(types_.Get(), kTypes);
    for (const auto& t : dravel::kPostingTypes) types_->AddEntry(t.label, com::Variant(t.code));
    label("LBL_CRITERIO", "Criterio", kCriterionLabel);
    criteria_ = CreateControl<host::IComboControl>(host::progid::Combo, "CBO_CRITERIO");
    Place(criteria_.Get(), kCriteria);
    // Neither combo is bound to a column: the window hears the user's choice itself.
    com::QueryAs<IFrameField>(types_.Get())->SetEditedHandler([this] {
        Follow(&MatrixWindow::TypeChosen);
    });
    com::QueryAs<IFrameField>(criteria_.Get())->SetEditedHandler([this] {
        Follow(&MatrixWindow::CriterionChosen);
    });
}

// The user's choice has happened: a failure to follow it (the database went) is shown, there
// being no caller to hand it to.
void MatrixWindow::Follow(void (MatrixWindow::*choice)()) {
    com::ComPtr<MatrixWindow> keep(this);
    try {
        (this->*choice)();
    } catch (const com::ComError& e) {
        ShowError(e, Translated(kMatrixCaption));
    }
}

// A connection of the window's own, as the criteria window has: its actions' transactions are
// nobody else's.
void MatrixWindow::Form_Load() {
    Move(0, 0, 8595, 8400);
    connection_ = ado::Connection::Create();
    connection_->SetWatcher(watcher_);
    connection_->Open(connectionString_);
}

// Asks nothing and saves nothing, as the criteria window; an action the frame never ended is
// rolled back.
void MatrixWindow::Form_Unload() {
    DropCriterionControls();
    for (auto& combo : {types_, criteria_})
        com::QueryAs<IFrameField>(combo.Get())->SetEditedHandler(nullptr);
    action_.reset();
    com::Step([&] { connection_->Close(); });
    connection_ = nullptr;
    com::Err().Clear();
}

std::optional<int32_t> MatrixWindow::Criterion() const {
    if (!criterion_) return std::nullopt;
    return criterion_->id;
}

bool MatrixWindow::SettleRow() {
    return !frame_ || frame_->SaveRecord(true, true, true);
}

bool MatrixWindow::ShowCriterion(int32_t company, std::optional<int32_t> id) {
    if (!SettleRow()) return false;
    std::optional<determination::Criterion> shown;
    if (id) {
        shown = determination::CriterionOf(*connection_, company, *id, TranslatedText);
    } else if (auto all = determination::LoadCriteria(*connection_, company); !all.empty()) {
        shown = all.front();
    }
    company_ = company;
    types_->SetText(shown ? std::to_string(shown->type) : std::string());
    FillCriteria(shown ? shown->type : -1);
    criteria_->SetText(shown ? std::to_string(shown->id) : std::string());
    MakeFor(std::move(shown));
    return true;
}

std::optional<int32_t> MatrixWindow::FillCriteria(int32_t type) {
    criteria_->ClearList();
    std::optional<int32_t> first;
    for (const auto& c : determination::LoadCriteria(*connection_, company_, type)) {
        criteria_->AddEntry(CriterionLabel(c), com::Variant(c.id));
        if (!first) first = c.id;
    }
    return first;
}

// Another type: its first criterion, or none. A row that cannot be settled keeps the type.
void MatrixWindow::TypeChosen() {
    if (!SettleRow()) {
        types_->SetText(criterion_ ? std::to_string(criterion_->type) : std::string());
        return;
    }
    const auto first = FillCriteria(types_->ItemValue(types_->SelectedIndex()).ToLong());
    criteria_->SetText(first ? std::to_string(*first) : std::string());
    MakeFor(first ? determination::LoadCriterion(*connection_, company_, *first) : std::nullopt);
}

void MatrixWindow::CriterionChosen() {
    const std::string chosen = criteria_->Text();
    if (!SettleRow()) {
        criteria_->SetText(criterion_ ? std::to_string(criterion_->id) : std::string());
        return;
    }
    MakeFor(determination::LoadCriterion(*connection_, company_, std::stoi(chosen)));
}

}  // namespace framework
