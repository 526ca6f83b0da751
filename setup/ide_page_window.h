#pragma once
// The IDE page: one check box per IDE with its action label below it.

#include <vector>

#include "setup/setup_page.h"

namespace setup {

class IDEPage : public SetupPage {
public:
    explicit IDEPage(SetupWindow& window);
    void UpdateActionLabels();

private:
    void Build() override;
    void IDECheckBoxClick(int box);
    void wIDEPageNextButtonClick(bool& stop);

    std::vector<HWND> ideBoxes_, ideLabels_;
};

}  // namespace setup
