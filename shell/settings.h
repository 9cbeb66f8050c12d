// AppSettings: the per-model display and unit settings of the application
// state. Part of it travels with the model file (grid steps, display flags,
// result step, unit and format codes, sign convention); the rest lives only in
// memory. The shell owns the one instance (shell::app().settings); the file
// reader and writer, the units dialog and the display code read and write it.
#pragma once

#include "units/units.h"

#include <array>

namespace shell {

// The 14 display flags, in the order they are stored and saved.
enum DisplayFlag {
    kDimLines = 0,
    kMemberOrientation,
    kLoadWhileEditing,
    kLoadWithResults,
    kLoadValues,
    kSupports,
    kResultValues,
    kStepValues,
    kTransversalValues,
    kReactions,
    kReactionValues,
    kBendingMomentSign,
    kNodeNumbers,
    kMemberNumbers,
    kDisplayFlagCount
};

// The result display part of the settings: whether results are shown,
// diagrams (0) or influence lines (1), and the result kind (0 none, 1 axial
// force, 2 shear force, 3 bending moment, 4 deformed configuration).
struct ResultDisplay {
    int on = 0;
    int influence = 0;
    int kind = 0;
};

struct AppSettings {
    int reserved = 0;
    int gridOn = 0;
    int snapToGrid = 0;
    int snapToMember = 1;
    double gridStepX = 1.0; // metres
    double gridStepY = 1.0;
    ResultDisplay result;
    double resultStep = 0.0; // metres
    int stepMode = 0;        // 0 equally spaced steps, 1 honour the step size
    std::array<int, kDisplayFlagCount> display{};
    std::array<int, units::kUnitSlotCount> units{};     // one unit code per quantity kind
    std::array<int, units::kFormatSlotCount> formats{}; // one format code per format slot
    std::array<int, 2> signConvention{1, 1};
};

// Initial value of each display flag.
extern const std::array<int, kDisplayFlagCount> kInitialDisplayFlags;

// The settings of a new model: the initial values with the SI unit and
// format sets.
AppSettings initialSettings();

} // namespace shell
