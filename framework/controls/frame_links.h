#pragma once
// What the record frame needs of its controls beyond the module's contracts: the controls tell
// the frame about the user's actions through handlers the frame sets when it takes them, and
// the frame pushes what they show. Internal to the host framework.

#include <functional>
#include <string>
#include <vector>

#include "platform/com/unknown.h"

namespace framework {

// A bound field (edit, combo).
struct IFrameField : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("5E2B7C10-4A3D-4F60-9B1E-2C7D8A9F0E01");
    // Called after the user changed the value (typing, choosing); unset to stop.
    virtual void SetEditedHandler(std::function<void()> edited) = 0;
    virtual bool Required() = 0;
    virtual int32_t MaxChar() = 0;  // 0: no limit
    virtual bool Numeric() = 0;
    // How messages name the field: its caption, else its control name.
    virtual std::string FieldCaption() = 0;
    // Empties the field for a new row (no edit is reported).
    virtual void Clear() = 0;

  protected:
    ~IFrameField() = default;
};

// The grid: its lines come from the frame.
struct IFrameGrid : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("5E2B7C10-4A3D-4F60-9B1E-2C7D8A9F0E02");
    virtual std::vector<std::string> ColumnNames() = 0;
    // `count` lines whose raw cell texts, in column order, `cells` gives for a 1-based line
    // when it is shown; formatting happens then too. The grid keeps no copy of them: a list of
    // 100,000 rows costs nothing more to show, and lines replaced before anyone looked at them
    // cost nothing at all. No `cells` for an empty grid.
    virtual void SetLines(int32_t count,
                          std::function<std::vector<std::string>(int32_t line)> cells) = 0;
    virtual void SetCurrentLine(int32_t line) = 0;  // 1-based, 0 for none
    // Called when the user selects a line; the handler decides whether the grid moves there.
    virtual void SetSelectHandler(std::function<void(int32_t line)> select) = 0;

  protected:
    ~IFrameGrid() = default;
};

// The navigation bar: the frame performs its own buttons and keeps them enabled or not.
struct IFrameNavBar : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("5E2B7C10-4A3D-4F60-9B1E-2C7D8A9F0E03");
    // Called for every pressed key before the bar raises ButtonAction; answers whether the
    // frame's part succeeded (true also for keys the frame has no part in).
    virtual void SetKeyHandler(std::function<bool(const std::string& key)> perform) = 0;
    virtual void SetKeyEnabled(const std::string& key, bool on) = 0;

  protected:
    ~IFrameNavBar() = default;
};

}  // namespace framework
