// The units dialog's behaviour on its working copy: opening, unit and format
// choices with their defaults and couplings, presets, OK and Cancel.
#include "units/unitsdialog_model.h"

#include "units/latin1.h"

namespace units {

namespace {

bool validRow(int row) {
    return row >= 0 && row < kDialogRowCount;
}

const UnitItemList& rowList(int row, UnitList list) {
    return dialogRow(row).lists[list];
}

} // namespace

int formatItemOfCode(int formatCode) {
    if (formatCode < 0 || formatCode >= kFormatItemCount) return 3; // "x.xx", printed as "%.2f"
    return formatCode + 1;
}

int formatCodeOfItem(int item) {
    if (item < 1 || item > kFormatItemCount) return 2;
    return item - 1;
}

int unitItemOfCode(int row, UnitList list, int code) {
    const UnitItemList& l = rowList(row, list);
    for (size_t i = 0; i < l.items.size(); ++i) {
        if (l.items[i].code == code) return static_cast<int>(i) + 1;
    }
    return l.fallback;
}

DialogView UnitsDialogModel::open(const UnitSettings& current) {
    working_ = current;
    const int length = working_.unit[kLengthUnit];
    list_ = (length == 3 || length == 4) ? kUSList : kSIList;
    open_ = true;
    return view();
}

DialogView UnitsDialogModel::open() {
    return open(currentSettings());
}

DialogView UnitsDialogModel::selectUnit(int row, int item) {
    if (!open_ || !validRow(row) || !dialogRow(row).unitActive) return view();
    const DialogRowDef& def = dialogRow(row);
    const UnitItemList& l = def.lists[list_];
    if (item < 1 || item > static_cast<int>(l.items.size())) item = l.fallback;
    const UnitItem& chosen = l.items[item - 1];
    working_.unit[def.unitSlot] = chosen.code;
    // The row's format follows the unit; setting every slot of the row keeps
    // the second length, force and moment slots (and the work-space, cursor
    // and grid length slots) equal to the first.
    if (chosen.format >= 0) {
        for (int slot : def.formatSlots) working_.format[slot] = chosen.format;
    }
    return view();
}

DialogView UnitsDialogModel::selectFormat(int row, int item) {
    if (!open_ || !validRow(row)) return view();
    const int code = formatCodeOfItem(item);
    for (int slot : dialogRow(row).formatSlots) working_.format[slot] = code;
    return view();
}

DialogView UnitsDialogModel::preset(int k) {
    if (!open_ || k < 0 || k >= kPresetCount) return view();
    working_ = presetSettings(k);
    list_ = (k == kUSPreset) ? kUSList : kSIList;
    return view();
}

int UnitsDialogModel::accept(UnitSettings& target) {
    if (!open_) return 0;
    target = working_;
    open_ = false;
    return 1;
}

int UnitsDialogModel::accept() {
    if (!open_) return 0;
    setCurrentSettings(working_);
    open_ = false;
    return 1;
}

int UnitsDialogModel::cancel() {
    open_ = false;
    return 0;
}

DialogView UnitsDialogModel::view() const {
    DialogView v;
    v.isOpen = open_;
    v.list = list_;
    for (int item = 1; item <= kFormatItemCount; ++item) {
        v.formatItems.push_back(latin1ToUtf8(formatItemText(item)));
    }
    for (int row = 0; row < kDialogRowCount; ++row) {
        const DialogRowDef& def = dialogRow(row);
        RowView& r = v.rows[row];
        r.label = latin1ToUtf8(def.label);
        for (const UnitItem& it : def.lists[list_].items)
            r.unitItems.push_back(latin1ToUtf8(it.text));
        const int code = def.unitSlot >= 0 ? working_.unit[def.unitSlot] : -1;
        r.unitItem = unitItemOfCode(row, list_, code);
        r.unitActive = def.unitActive;
        r.formatItem = formatItemOfCode(working_.format[def.formatSlots.front()]);
    }
    return v;
}

} // namespace units
