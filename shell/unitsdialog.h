// The "Units & Number Formatting" dialog on the toolkit: seventeen rows, each
// with a unit drop-down (action UntSelUnit) and a format drop-down (action
// NbfSelFormat), the preset buttons "   SI   ", "  kN-m  " and "   US   ", and
// "   OK   " / " Cancel ". The rules (lists, defaults, couplings, presets)
// live in units::UnitsDialogModel; this file builds the widgets once, forwards
// the user's choices to the model and shows what the model returns. The Units
// command of the shell opens it.
#pragma once

#include "shell/settings.h"
#include "units/units.h"
#include "units/unitsdialog_model.h"

namespace ui {
class Toolkit;
class Element;
} // namespace ui

namespace shell {

class UnitsDialog {
public:
    explicit UnitsDialog(ui::Toolkit& tk) : tk_(tk) {}

    // Opens the dialog modally on a working copy of `settings`. Returns 1 when
    // the user pressed "   OK   " (the copy is then written to `settings`), 0
    // for " Cancel " or a closed window (`settings` untouched).
    int run(units::UnitSettings& settings);

    // The same on the unit and format codes of AppSettings.
    int run(AppSettings& settings);

    // The dialog element, built on first use (null before).
    ui::Element* dialog() const { return dialog_; }

private:
    ui::Toolkit& tk_;
    ui::Element* dialog_ = nullptr;
    units::UnitsDialogModel model_;
    units::UnitSettings* target_ = nullptr;
    int accepted_ = 0;

    void build();
    void show(const units::DialogView& view);
};

} // namespace shell
