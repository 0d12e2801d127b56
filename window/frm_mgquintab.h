#pragma once
// The criteria maintenance window: its public variables and the procedures the module class
// calls. The window's private state and its handlers live in the window/ sources.

#include <string>

#include "contracts/cinterface.h"
#include "contracts/models.h"
#include "platform/ado/connection.h"
#include "platform/ui/form.h"

namespace dravel {

inline constexpr const char* kWindowName = "FRM_MGQUINTAB";

class FRM_MGQUINTAB : public com::ComObject<FRM_MGQUINTAB, ui::Form> {
  public:
    static com::ComPtr<FRM_MGQUINTAB> Create();

    // Public variables.
    com::ComPtr<com::IUnknown> ActiveClass;
    com::ComPtr<host::ILogService> GclsLog;
    com::ComPtr<host::Cinterface> ActiveInterface;
    com::ComPtr<ado::Connection> GconConnect;
    com::ComPtr<host::IConnectionSupplier> GclsConnect;
    std::string GstrConnect;

    // Puts a question or a notice in front of the user through the first channel available:
    // the log service, the platform message box (no module), the host's text service.
    int32_t ShowMessage(const std::string& text, int32_t flags, std::string& title,
                        const std::string& procedure);

    // The grid, published to the host's layout model.
    com::ComPtr<com::IUnknown> GridObject();

  private:
    friend class com::ComObject<FRM_MGQUINTAB, ui::Form>;
    FRM_MGQUINTAB();
    ~FRM_MGQUINTAB() override;

    void Form_Load() override;
    void Form_Unload() override;
};

}  // namespace dravel
