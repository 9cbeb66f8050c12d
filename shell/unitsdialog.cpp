// Widgets and handlers of the units dialog.
#include "shell/unitsdialog.h"

#include "ui/ui.h"

#include <string>

namespace shell {

namespace {

std::string unitName(int row) {
    return "untunit" + std::to_string(row);
}
std::string formatName(int row) {
    return "nbfformat" + std::to_string(row);
}

// Fills a drop-down with `items` ("1", "2", ...) and ends the list after them.
void setItems(ui::Element& list, const std::vector<std::string>& items) {
    for (std::size_t i = 0; i < items.size(); ++i) list.set(std::to_string(i + 1), items[i]);
    list.set(std::to_string(items.size() + 1), "");
}

} // namespace

void UnitsDialog::build() {
    ui::Element& rows = tk_.make(ui::Kind::VBox, "untrows");
    units::DialogView initial = model_.view();
    for (int r = 0; r < units::kDialogRowCount; ++r) {
        const std::string row = std::to_string(r);
        ui::Element& label =
            tk_.make(ui::Kind::Label, "", {{"TITLE", initial.rows[r].label}, {"SIZE", "90x"}});
        ui::Element& unit = tk_.make(
            ui::Kind::List, unitName(r),
            {{"DROPDOWN", "YES"}, {"ACTION", "UntSelUnit"}, {"ROW", row}, {"SIZE", "160x"}});
        ui::Element& format = tk_.make(
            ui::Kind::List, formatName(r),
            {{"DROPDOWN", "YES"}, {"ACTION", "NbfSelFormat"}, {"ROW", row}, {"SIZE", "110x"}});
        rows.append(tk_.make(ui::Kind::HBox, "", {}, {&label, &unit, &format}));
    }
    ui::Element& presets = tk_.make(
        ui::Kind::HBox, "", {},
        {&tk_.make(ui::Kind::Button, "untsetsi",
                   {{"TITLE", "   SI   "}, {"ACTION", "UntSetSIUnits"}}),
         &tk_.make(ui::Kind::Button, "untsetknm",
                   {{"TITLE", "  kN-m  "}, {"ACTION", "UntSetKNMUnits"}}),
         &tk_.make(ui::Kind::Button, "untsetus",
                   {{"TITLE", "   US   "}, {"ACTION", "UntSetUSUnits"}}),
         &tk_.make(ui::Kind::Fill),
         &tk_.make(ui::Kind::Button, "untaccept", {{"TITLE", "   OK   "}, {"ACTION", "UntAccept"}}),
         &tk_.make(ui::Kind::Button, "untcancel",
                   {{"TITLE", " Cancel "}, {"ACTION", "UntCancel"}})});
    dialog_ = &tk_.make(ui::Kind::Dialog, "untdialog",
                        {{"TITLE", "Units & Number Formatting"},
                         {"FONT", "HELVETICA_NORMAL_12"},
                         {"RESIZE", "NO"},
                         {"MINBOX", "NO"},
                         {"MAXBOX", "NO"},
                         {"CLOSE_CB", "UntCancel"}},
                        {&tk_.make(ui::Kind::VBox, "", {}, {&rows, &presets})});

    auto rowOf = [](const ui::Event& ev) { return ev.element->getInt("ROW"); };
    tk_.bind("UntSelUnit", [this, rowOf](ui::Event& ev) {
        if (ev.state == 1) show(model_.selectUnit(rowOf(ev), ev.item));
        return ui::kDefault;
    });
    tk_.bind("NbfSelFormat", [this, rowOf](ui::Event& ev) {
        if (ev.state == 1) show(model_.selectFormat(rowOf(ev), ev.item));
        return ui::kDefault;
    });
    tk_.bind("UntSetSIUnits", [this](ui::Event&) {
        show(model_.preset(units::kSIPreset));
        return ui::kDefault;
    });
    tk_.bind("UntSetKNMUnits", [this](ui::Event&) {
        show(model_.preset(units::kKNMPreset));
        return ui::kDefault;
    });
    tk_.bind("UntSetUSUnits", [this](ui::Event&) {
        show(model_.preset(units::kUSPreset));
        return ui::kDefault;
    });
    tk_.bind("UntAccept", [this](ui::Event&) {
        accepted_ = target_ ? model_.accept(*target_) : 0;
        return ui::kClose;
    });
    tk_.bind("UntCancel", [this](ui::Event&) {
        accepted_ = model_.cancel();
        return ui::kClose;
    });
    tk_.map(*dialog_);
}

// Shows a view: the lists of every unit drop-down (they change when the
// dialog switches between SI and US), the chosen items and the formats.
void UnitsDialog::show(const units::DialogView& view) {
    for (int r = 0; r < units::kDialogRowCount; ++r) {
        const units::RowView& row = view.rows[r];
        ui::Element& unit = tk_.at(unitName(r));
        ui::Element& format = tk_.at(formatName(r));
        setItems(unit, row.unitItems);
        unit.set("VALUE", std::to_string(row.unitItem));
        unit.set("ACTIVE", row.unitActive ? "YES" : "NO");
        if (format.get("1").empty()) setItems(format, view.formatItems);
        format.set("VALUE", std::to_string(row.formatItem));
    }
}

int UnitsDialog::run(units::UnitSettings& settings) {
    if (!dialog_) build();
    target_ = &settings;
    accepted_ = 0;
    show(model_.open(settings));
    tk_.popup(*dialog_);
    if (model_.isOpen()) model_.cancel(); // the window was closed some other way
    target_ = nullptr;
    return accepted_;
}

int UnitsDialog::run(AppSettings& settings) {
    units::UnitSettings codes;
    codes.unit = settings.units;
    codes.format = settings.formats;
    if (run(codes) != 1) return 0;
    settings.units = codes.unit;
    settings.formats = codes.format;
    return 1;
}

} // namespace shell
