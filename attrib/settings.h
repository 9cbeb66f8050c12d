// Plain settings records that several layers read: AppSettings (grid and
// snap, the 14 display flags, result step and step mode, unit and format
// codes, sign convention) and the colour scheme with its 17 colour-role
// slots. They live here, below the model display, the file code and the
// shell, so that each of them can include them; the shell owns the one
// instance of each (shell::app().settings and .colors).
#pragma once

#include "units/units.h"

#include <array>

namespace attrib {

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

// ---- Colour schemes ----------------------------------------------------------

// The colour scheme: its number (0 white background, 1 gray background,
// 2 black background, 3 black foreground) and the palette index of each of
// the 17 colour-role slots (slot 2, index 1 here, is the canvas background).
constexpr int kColorSlotCount = 17;
constexpr int kSchemeCount = 4;
enum Scheme {
    kWhiteBackground = 0,
    kGrayBackground = 1,
    kBlackBackground = 2,
    kBlackForeground = 3
};

struct ColorScheme {
    int scheme = 0;
    // Not named "slots": Qt defines that word as a macro.
    std::array<int, kColorSlotCount> slotColors{};
    // Palette index of slot `slot` (1 to 17); 0 outside.
    int slot(int s) const { return s >= 1 && s <= kColorSlotCount ? slotColors[s - 1] : 0; }
};

// The slot table of a scheme (0 to 3; others give scheme 0).
const std::array<int, kColorSlotCount>& schemeSlots(int scheme);
// The scheme with its slot table.
ColorScheme makeScheme(int scheme);

} // namespace attrib
