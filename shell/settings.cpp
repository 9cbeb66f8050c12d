// Initial values of AppSettings.
#include "shell/settings.h"

#include "units/units.h"

namespace shell {

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

} // namespace shell
