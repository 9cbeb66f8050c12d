// The units dialog on a bare toolkit: the list switch decided on opening from
// settings no user could give it (inches with an SI force). Unit choices with
// their format defaults, presets, OK, Cancel and closing: the scenario
// units-dialog.
#include "shell/unitsdialog.h"
#include "ui/headless.h"
#include "units/units.h"

#include <gtest/gtest.h>

using namespace ui;

namespace {

struct UnitsDialogTest : ::testing::Test {
    HeadlessBackend* hb = new HeadlessBackend;
    Toolkit tk{std::unique_ptr<Backend>(hb)};
    shell::UnitsDialog dlg{tk};
    units::UnitSettings settings = units::presetSettings(units::kSIPreset);

    void select(const std::string& list, int item) {
        Input in;
        in.type = Input::Type::Select;
        in.target = list;
        in.number = item;
        hb->queue(in);
    }
    void press(const std::string& button) {
        Input in;
        in.type = Input::Type::Press;
        in.target = button;
        hb->queue(in);
    }
    std::vector<std::string> items(const std::string& list) {
        std::vector<std::string> out;
        for (int i = 1; !tk.at(list).get(std::to_string(i)).empty(); ++i)
            out.push_back(tk.at(list).get(std::to_string(i)));
        return out;
    }
};

} // namespace

TEST_F(UnitsDialogTest, OpeningWithInchesShowsUSListsEvenWithAnSIForce) {
    settings.unit[units::kLengthUnit] = 4; // in
    settings.unit[units::kForceUnit] = 17; // kN
    select("untunit6", 2);                 // the force row, second item
    press("untaccept");
    ASSERT_EQ(dlg.run(settings), 1);
    EXPECT_EQ(items("untunit0"), (std::vector<std::string>{"foot [ ft ]", "inch [ in ]"}));
    EXPECT_EQ(items("untunit6"), (std::vector<std::string>{"kilo-pound [ kip ]", "pound [ lb ]"}));
    EXPECT_EQ(settings.unit[units::kForceUnit], 21) << "a US force code: lb";
    EXPECT_EQ(settings.format[units::kForceFormat], 0);
    EXPECT_EQ(settings.format[units::kForce2Format], 0);
    EXPECT_TRUE(hb->errors().empty());
}
