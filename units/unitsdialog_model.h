// The "Units & Number Formatting" dialog without a toolkit: its 17 rows with
// their unit and format drop-down items, the SI/US list switch, the format
// defaults a unit choice brings, the couplings between rows, the three preset
// buttons, and OK and Cancel working on a copy of the settings.
//
// The shell's dialog code builds the widgets from dialogRow()/formatItemText()
// (or from a DialogView), forwards the user's choices to a UnitsDialogModel and
// shows the DialogView each call returns. Choices change only the model's
// working copy; accept() copies it into the record the caller gives, or into
// the module's current set. Item numbers are 1-based, as in the toolkit's
// drop-down lists.
#pragma once

#include "units/units.h"

#include <array>
#include <span>
#include <string>
#include <vector>

namespace units {

constexpr int kDialogRowCount = 17;

// The dialog rows, top to bottom.
enum DialogRow {
    kRowLength = 0,
    kRowDisplacement = 1,
    kRowRotation = 2,
    kRowSectionSizes = 3,
    kRowSectionArea = 4,
    kRowSectionInertia = 5,
    kRowForce = 6,
    kRowMoment = 7,
    kRowDistribLoad = 8,
    kRowTemperature = 9,
    kRowElasticParam = 10,
    kRowSpecificWeight = 11,
    kRowThermalExpan = 12,
    kRowTranslatSpring = 13,
    kRowRotationSpring = 14,
    kRowForceInflLine = 15,
    kRowMomentInflLine = 16,
};

// Which unit lists the dialog shows: all SI or all US, never a mix.
enum UnitList { kSIList = 0, kUSList = 1 };

// One item of a unit drop-down.
struct UnitItem {
    const char* text; // ISO 8859-1, as the drop-down shows it
    int code;         // unit code the item chooses; -1 for the empty "[  ]" item
    int format;       // format code the choice sets for the row; -1 leaves it alone
};

// The items of one unit drop-down in one unit system.
struct UnitItemList {
    std::span<const UnitItem> items;
    int fallback; // item (1-based) shown for a code not in the list and chosen for a bad item
};

struct DialogRowDef {
    const char* label;                 // "Length:" ...
    int unitSlot;                      // quantity kind shown; -1 for "Force Infl. Line:"
    bool unitActive;                   // false: the unit box only shows (influence lines)
    std::array<UnitItemList, 2> lists; // indexed by UnitList
    std::span<const int> formatSlots;  // slots the row's format drop-down sets, first shown
};

// Row `row` (0..16) of the dialog; rows outside that range give row 0.
const DialogRowDef& dialogRow(int row);

constexpr int kFormatItemCount = 14;
// Text of format item 1..14 ("x", "x.x", ..., "x.xxxxxx e\xB1xx"), ISO 8859-1; "" outside.
const char* formatItemText(int item);
// Format item showing a code: code + 1, and item 3 ("x.xx", how the code prints) for
// codes outside 0..13.
int formatItemOfCode(int formatCode);
// Format code chosen by an item: item - 1, and code 2 for items outside 1..14.
int formatCodeOfItem(int item);
// Unit item (1-based) showing `code` in `list` of `row`: the list's fallback
// item when the code is not in the list.
int unitItemOfCode(int row, UnitList list, int code);

// What one row shows. Texts are UTF-8, ready for widgets.
struct RowView {
    std::string label;
    std::vector<std::string> unitItems;
    int unitItem = 1; // selected unit item, 1-based
    bool unitActive = true;
    int formatItem = 3; // selected format item, 1-based, of the 14 format items
};

// What the whole dialog shows after an open or a user action.
struct DialogView {
    bool isOpen = false;
    UnitList list = kSIList;
    std::array<RowView, kDialogRowCount> rows;
    std::vector<std::string> formatItems; // the 14 format item texts, UTF-8, same in every row
};

class UnitsDialogModel {
public:
    // Starts a working copy of `current`, chooses the US lists when the length
    // unit is ft or in (codes 3, 4) and the SI lists otherwise.
    DialogView open(const UnitSettings& current);
    // The same from the module's current set (currentSettings()).
    DialogView open();
    // A unit drop-down selected item `item` (call it for selections only, not
    // deselections): sets the row's unit code, resets the row's format to the
    // item's default (every format slot of the row, so the second length, force
    // and moment slots follow) and, for the length row, moves the "Moment Infl.
    // Line:" box. An item outside the list chooses the fallback item. Ignored
    // for the two influence-line rows and while the dialog is closed.
    DialogView selectUnit(int row, int item);
    // A format drop-down selected `item`: sets every format slot of the row.
    DialogView selectFormat(int row, int item);
    // A preset button (kSIPreset, kKNMPreset, kUSPreset): loads the preset's
    // units and formats into the working copy and switches the lists to SI for
    // the first two and to US for the third. Other values are ignored.
    DialogView preset(int k);
    // "   OK   ": copies the working copy into `target`, closes, returns 1.
    // Returns 0 and leaves `target` alone when the dialog is not open.
    int accept(UnitSettings& target);
    // "   OK   " applied to the module's current set (setCurrentSettings()).
    int accept();
    // " Cancel ": closes without changing anything; returns 0.
    int cancel();

    DialogView view() const;
    bool isOpen() const { return open_; }
    UnitList list() const { return list_; }
    const UnitSettings& working() const { return working_; }

private:
    bool open_ = false;
    UnitList list_ = kSIList;
    UnitSettings working_{};
};

} // namespace units
