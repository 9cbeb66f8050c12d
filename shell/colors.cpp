// The current colour scheme and the radio group of its toggles.
#include "shell/colors.h"

#include "gfx/canvas.h"
#include "ui/ui.h"

namespace shell {

int slotColor(int slot) {
    return slot >= 1 && slot <= kColorSlotCount ? app().colors.slotColors[slot - 1] : 0;
}

void setScheme(int scheme) {
    AppState& a = app();
    a.colors = attrib::makeScheme(scheme);
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
