#pragma once
// The maintenance page: add or remove IDE installations, or uninstall the product.

#include "setup/setup_page.h"

namespace setup {

class MaintenancePage : public SetupPage {
public:
    explicit MaintenancePage(SetupWindow& window);

private:
    void Build() override;
    void lMainternanceLabelClick(HWND radio);
    void rbMainternanceClick();
    void wMainternanceNextButtonClick(bool& stop);

    HWND rbMainternance_ = nullptr, rbUninstall_ = nullptr;
};

}  // namespace setup
