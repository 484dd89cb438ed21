// "识别新版放映器": with the item ticked, the search, "添加" and drops accept the projectors of
// later players too (found by the trailer behind their movie), and the conversion writes their
// movies as stored. The choice is kept between runs.
#include "ui/Form1.h"
#include "ui/MainMenu.h"

namespace quenlor {

void Form1::LoadSettings() {
    ApplyAnyVersion(settings_.AnyVersion());
}

void Form1::MAnyVer_Click() {
    ApplyAnyVersion(!any_version_);
    // Not kept when the registry refuses: the choice still holds for this run.
    settings_.SetAnyVersion(any_version_);
}

void Form1::ApplyAnyVersion(bool any_version) {
    any_version_ = any_version;
    // A walk or a batch in progress keeps the choice it started with.
    search_.AnyVersion = any_version;
    converter_.AnyVersion = any_version;
    if (menu_) {
        CheckMenuItem(menu_.get(), kMenuMAnyVer,
                      MF_BYCOMMAND | (any_version ? MF_CHECKED : MF_UNCHECKED));
    }
}

}  // namespace quenlor
