// AppSettings and the colour scheme records as the shell names them. The
// records themselves live in attrib/settings.h, where the model display and
// the file code can read them too; the shell owns the one instance of each
// (shell::app().settings and .colors).
#pragma once

#include "attrib/settings.h"

namespace shell {

using attrib::AppSettings;
using attrib::ColorScheme;
using attrib::initialSettings;
using attrib::kColorSlotCount;
using attrib::kInitialDisplayFlags;
using attrib::kSchemeCount;
using attrib::ResultDisplay;
using enum attrib::DisplayFlag;
using enum attrib::Scheme;

} // namespace shell
