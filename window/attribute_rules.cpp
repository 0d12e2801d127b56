// Which attribute may join the field structure, which ones come and go along with it, and the
// refusals the user sees. A refusal changes nothing.

#include <optional>
#include <string_view>

#include "contracts/host_global.h"
#include "platform/com/variant.h"
#include "platform/ui/toolkit.h"
#include "window/frm_mgquintab.h"

namespace dravel {

namespace {

constexpr const char* kClassConflict =
    "Non possono essere selezionati contemporaneamente attributi cliente e fornitore";
constexpr const char* kRefusedIncomeStatement =
    "Attributo non accettabile per il tipo rimanenze finali economiche.";
constexpr const char* kRefusedBalanceSheet =
    "Attributo non accettabile per il tipo rimanenze finali patrimoniali.";
constexpr const char* kNoRoom = "Superato il numero massimo di campi ammessi";

constexpr int32_t kMaxFields = 10;
constexpr const char* kItemClass = "ART";
constexpr const char* kCustomerClass = "CLI";
constexpr const char* kSupplierClass = "FOR";
constexpr const char* kWarehouse = "DEPO";

// One level of a hierarchy: its upper level, and how many entries the list may hold at most
// before it is added (one place kept for every level above it). The item classification is
// linked only while the company nests its item classes; its limits hold regardless.
struct Level {
    std::string_view key;
    std::string_view upper;
    int32_t addedBelow;
    bool itemClass;
};

constexpr Level kLevels[] = {
    {"SFAM", "FAMI", 9, true},  {"GRUP", "SFAM", 8, true},  {"SGRU", "GRUP", 7, true},
    {"CATC", "MACC", 9, false}, {"STCC", "CATC", 8, false}, {"CATF", "MACF", 9, false},
    {"STCF", "CATF", 8, false}, {"AREC", "MCRC", 9, false}, {"ZONC", "AREC", 8, false},
    {"AREF", "MCRF", 9, false}, {"ZONF", "AREF", 8, false}, {"STIP", "TIPO", 9, false},
};

const Level* LevelOf(std::string_view key) {
    for (const auto& l : kLevels)
        if (l.key == key) return &l;
    return nullptr;
}

const Level* LevelBelow(std::string_view key) {
    for (const auto& l : kLevels)
        if (l.upper == key) return &l;
    return nullptr;
}

// Closing-inventory types accept only item attributes and the warehouse.
struct TypeRestriction {
    int32_t postingType;
    const char* refusal;
};

constexpr TypeRestriction kRestrictedTypes[] = {
    {4, kRefusedIncomeStatement},
    {5, kRefusedBalanceSheet},
};

// The posting type shown by the combo; none when it shows no number.
std::optional<int32_t> TypeShown(const std::string& comboText) {
    auto number = com::ParseNumber(comboText);
    if (!number) return std::nullopt;
    return com::Variant(*number).ToLong();
}

}  // namespace

void FRM_MGQUINTAB::AddAttribute(const std::string& key) {
    if (IsAttributeListed(key)) return;
    bool found = false;
    ui::TreeNode* node = FindAttributeNode(key, found);
    if (!found || !node->parent) return;  // no such key, or a group
    const std::string attributeClass = node->parent->key;

    std::string caption = Caption();
    if ((attributeClass == kSupplierClass && HasCustomerAttribute()) ||
        (attributeClass == kCustomerClass && HasSupplierAttribute())) {
        ShowMessage(kClassConflict, ui::mb::Information, caption, "");
        return;
    }
    if (auto type = TypeShown(CBO_TIPO->Text())) {
        for (const auto& r : kRestrictedTypes) {
            if (*type == r.postingType && attributeClass != kItemClass && key != kWarehouse) {
                ShowMessage(r.refusal, ui::mb::Exclamation, caption, "");
                return;
            }
        }
    }

    std::string noTitle;
    const Level* level = LevelOf(key);
    int32_t limit = level ? level->addedBelow : kMaxFields;
    if (LST_FIELDS->ListCount() >= limit) {
        ShowMessage(kNoRoom, ui::mb::Exclamation, noTitle, "");
        return;
    }
    if (level && (!level->itemClass || ItemClassesNested()))
        AddAttribute(std::string(level->upper));
    // Deliberately checked twice: against the level's own limit before its upper levels are
    // added, then against ten, since adding them may have filled the list.
    if (LST_FIELDS->ListCount() >= kMaxFields) {
        ShowMessage(kNoRoom, ui::mb::Exclamation, noTitle, "");
        return;
    }

    LST_FIELDS->AddItem(node->text);
    LST_FIELDS->SetItemData(LST_FIELDS->NewIndex(), node->index);
    LST_FIELDS->SetListIndex(LST_FIELDS->ListCount() - 1);
    TVW_FIELDS->SetBold(*node, true);
    RebuildStructure();
    MarkAttributesChanged();
}

// Lower levels go first; answers whether an entry was removed.
bool FRM_MGQUINTAB::RemoveAttribute(const std::string& key) {
    const Level* below = LevelBelow(key);
    if (below && (!below->itemClass || ItemClassesNested()))
        RemoveAttribute(std::string(below->key));
    for (int32_t i = 0; i < LST_FIELDS->ListCount(); ++i) {
        auto& node = EntryNode(i);
        if (node.key != key) continue;
        TVW_FIELDS->SetBold(node, false);
        LST_FIELDS->RemoveItem(i);
        MarkAttributesChanged();
        RebuildStructure();
        return true;
    }
    return false;
}

void FRM_MGQUINTAB::MarkAttributesChanged() {
    FME_PARENT->SetModified(true);
    INTERNAV->SetChangesPending(FME_PARENT->Modified());
}

bool FRM_MGQUINTAB::IsAttributeListed(const std::string& key) {
    for (int32_t i = 0; i < LST_FIELDS->ListCount(); ++i)
        if (EntryNode(i).key == key) return true;
    return false;
}

ui::TreeNode* FRM_MGQUINTAB::FindAttributeNode(const std::string& key, bool& found) {
    for (int32_t i = 1; i <= TVW_FIELDS->Count(); ++i) {
        auto& node = TVW_FIELDS->Node(i);
        if (node.key == key) {
            found = true;
            return &node;
        }
    }
    found = false;
    return nullptr;
}

bool FRM_MGQUINTAB::ListHasNodeWithParent(const std::string& parentKey) {
    for (int32_t i = 0; i < LST_FIELDS->ListCount(); ++i) {
        auto* parent = EntryNode(i).parent;
        if (parent && parent->key == parentKey) return true;
    }
    return false;
}

bool FRM_MGQUINTAB::HasCustomerAttribute() {
    return ListHasNodeWithParent(kCustomerClass);
}

bool FRM_MGQUINTAB::HasSupplierAttribute() {
    return ListHasNodeWithParent(kSupplierClass);
}

// Read from the active company at every call: a change applies to the next addition.
bool FRM_MGQUINTAB::ItemClassesNested() {
    auto options = HostGlobal()->ActiveCompany()->CompanyOptions();
    if (!options) throw com::ComError(com::err::ObjectNotSet, "The company has no options");
    return com::Variant::Equal(options->ItemClassNesting(), com::Variant(int32_t{1}));
}

}  // namespace dravel
