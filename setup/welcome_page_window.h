#pragma once
// The two welcome pages: a first installation's and an update's. Each shows the welcome text and
// the product's description beside the picture.

#include <memory>

#include "setup/setup_page.h"

namespace setup {

class WelcomePage : public SetupPage {
public:
    // id: wInstallPage or wUpdatePage; picture: the bitmap at the page's left, or none.
    WelcomePage(SetupWindow& window, TSetupPage id, const std::shared_ptr<wizard::Graphic>& picture);

private:
    void Build() override;
};

// The picture at the left of the welcome pages: the program's own bitmap resource.
std::shared_ptr<wizard::Graphic> WelcomePicture(HINSTANCE instance);

}  // namespace setup
