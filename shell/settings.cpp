// Initial values of AppSettings.
#include "shell/settings.h"

#include "shell/lengthtext.h"

namespace shell {

const std::array<int, kDisplayFlagCount> kInitialDisplayFlags = {1, 0, 1, 0, 1, 1, 1,
                                                                 0, 0, 0, 0, 0, 0, 0};

AppSettings initialSettings() {
    AppSettings s;
    s.display = kInitialDisplayFlags;
    s.units = siUnitCodes();
    s.formats = siFormatCodes();
    return s;
}

} // namespace shell
