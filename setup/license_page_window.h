#pragma once
// The licence page: the agreement, and the box that lets the user go on.

#include "setup/setup_page.h"

namespace setup {

class LicensePage : public SetupPage {
public:
    explicit LicensePage(SetupWindow& window);

private:
    void Build() override;
    void cbAgreeClick();

    HWND cbAgree_ = nullptr;
};

}  // namespace setup
