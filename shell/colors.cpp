// The colour-role slot tables of the four schemes.
#include "shell/colors.h"

#include "gfx/canvas.h"
#include "ui/ui.h"

namespace shell {

namespace {
// Rows: white background, gray background, black background, black
// foreground; columns: slots 1 to 17.
const std::array<std::array<int, kColorSlotCount>, kSchemeCount> kSchemeSlots = {{
    {0, 1, 3, 12, 3, 0, 5, 6, 7, 2, 12, 6, 13, 13, 15, 0, 0},
    {0, 14, 3, 12, 3, 0, 5, 6, 7, 2, 12, 6, 13, 13, 15, 0, 0},
    {0, 0, 2, 12, 2, 1, 4, 8, 6, 2, 12, 8, 12, 12, 14, 1, 1},
    {1, 1, 0, 0, 0, 0, 0, 0, 0, 14, 15, 0, 0, 0, 0, 0, 0},
}};
} // namespace

const std::array<int, kColorSlotCount>& schemeSlots(int scheme) {
    return kSchemeSlots[scheme >= 0 && scheme < kSchemeCount ? scheme : 0];
}

int slotColor(int slot) {
    return slot >= 1 && slot <= kColorSlotCount ? app().colors.slots[slot - 1] : 0;
}

void setScheme(int scheme) {
    AppState& a = app();
    a.colors.scheme = scheme >= 0 && scheme < kSchemeCount ? scheme : 0;
    a.colors.slots = schemeSlots(a.colors.scheme);
    if (a.canvas) a.canvas->setBackground(slotColor(2));
}

int schemeFromToggles() {
    ui::Toolkit& tk = *app().tk;
    if (tk.at("colorgraybg").isOn()) return kGrayBackground;
    if (tk.at("colorblackbg").isOn()) return kBlackBackground;
    if (tk.at("colorblackfg").isOn()) return kBlackForeground;
    return kWhiteBackground;
}

} // namespace shell
