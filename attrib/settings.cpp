// Initial values of AppSettings and the colour-role slot tables.
#include "attrib/settings.h"

namespace attrib {

const std::array<int, kDisplayFlagCount> kInitialDisplayFlags = {1, 0, 1, 0, 1, 1, 1,
                                                                 0, 0, 0, 0, 0, 0, 0};

AppSettings initialSettings() {
    AppSettings s;
    s.display = kInitialDisplayFlags;
    const units::UnitSettings& si = units::presetSettings(units::kSIPreset);
    s.units = si.unit;
    s.formats = si.format;
    return s;
}

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

ColorScheme makeScheme(int scheme) {
    ColorScheme c;
    c.scheme = scheme >= 0 && scheme < kSchemeCount ? scheme : 0;
    c.slotColors = schemeSlots(c.scheme);
    return c;
}

} // namespace attrib
