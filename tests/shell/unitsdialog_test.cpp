// The units dialog driven through the headless toolkit as a user would: the
// list switch decided on opening, unit choices with their format defaults,
// presets, OK and Cancel.
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

TEST_F(UnitsDialogTest, ChoosingALengthSetsItsCodeAndTheFormatDefaultAtOnce) {
    select("untunit0", 2); // centimetre
    press("untaccept");
    ASSERT_EQ(dlg.run(settings), 1);
    EXPECT_EQ(settings.unit[units::kLengthUnit], 1);
    EXPECT_EQ(settings.format[units::kLengthFormat], 1);
    EXPECT_EQ(tk.at("nbfformat0").get("VALUE"), "2") << "format item of code 1 shown";
    EXPECT_EQ(tk.at("untunit16").get("VALUE"), "2") << "the moment influence-line box follows";
    EXPECT_EQ(tk.at("untunit16").get("ACTIVE"), "NO");
    EXPECT_EQ(items("untunit15"), (std::vector<std::string>{"[  ]"}));
}

TEST_F(UnitsDialogTest, SIPresetFromUSListsSwitchesEveryList) {
    settings = units::presetSettings(units::kUSPreset);
    press("untsetsi");
    press("untaccept");
    ASSERT_EQ(dlg.run(settings), 1);
    EXPECT_EQ(settings, units::presetSettings(units::kSIPreset));
    EXPECT_EQ(items("untunit0").front(), "meter [ m ]");
    EXPECT_EQ(items("untunit6").front(), "kilo-Newton [ kN ]");
    EXPECT_EQ(items("untunit9"), (std::vector<std::string>{"centigrade [ \u00B0C ]"}))
        << "labels reach the widgets as UTF-8";
}

TEST_F(UnitsDialogTest, CancelAfterSeveralChangesLeavesEverythingUntouched) {
    const units::UnitSettings before = settings;
    select("untunit0", 3);
    select("nbfformat7", 5);
    press("untsetus");
    press("untcancel");
    EXPECT_EQ(dlg.run(settings), 0);
    EXPECT_EQ(settings, before);
    // The next opening starts again from the settings, not from the changes.
    press("untaccept");
    ASSERT_EQ(dlg.run(settings), 1);
    EXPECT_EQ(settings, before);
    EXPECT_EQ(tk.at("untunit0").get("VALUE"), "1");
}

TEST_F(UnitsDialogTest, ClosingTheWindowCancels) {
    const units::UnitSettings before = settings;
    select("untunit6", 3);
    Input close;
    close.type = Input::Type::Close;
    close.target = "untdialog";
    hb->queue(close);
    EXPECT_EQ(dlg.run(settings), 0);
    EXPECT_EQ(settings, before);
    EXPECT_EQ(dlg.dialog()->get("TITLE"), "Units & Number Formatting");
}
