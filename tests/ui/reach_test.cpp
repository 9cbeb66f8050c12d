// What a user can reach: pages of switches, inactive containers, hidden
// windows, list lengths, and actions given through their elements. Refusals
// on the program's own windows are tested with the journal replay.
#include "ui/headless.h"
#include "ui/reach.h"
#include "ui/ui.h"

#include <gtest/gtest.h>

using namespace ui;

namespace {

// A shown window with a switch of two pages, an inactive box, a list of two
// items and a read-only text; a second window that is not shown.
struct Reach : ::testing::Test {
    Toolkit tk{std::make_unique<HeadlessBackend>(400, 300)};
    Reach() {
        Element& pages = tk.make(
            Kind::Switch, "pages", {{"VALUE", "page1"}},
            {&tk.make(Kind::VBox, "page1", {}, {&tk.make(Kind::Button, "b1", {{"ACTION", "B1"}})}),
             &tk.make(Kind::VBox, "page2", {},
                      {&tk.make(Kind::Button, "b2", {{"ACTION", "B2"}})})});
        Element& off = tk.make(Kind::HBox, "off", {{"ACTIVE", "NO"}},
                               {&tk.make(Kind::Toggle, "t3", {{"ACTION", "T3"}})});
        tk.make(Kind::Dialog, "win", {},
                {&tk.make(Kind::VBox, "", {},
                          {&pages, &off, &tk.make(Kind::List, "list", {{"1", "one"}, {"2", "two"}}),
                           &tk.make(Kind::MultiLine, "info", {{"READONLY", "YES"}}),
                           &tk.make(Kind::Text, "field", {{"NC", "4"}}),
                           &tk.make(Kind::Canvas, "canvas", {{"BUTTON_CB", "Pick"}})})});
        tk.make(Kind::Dialog, "hidden", {}, {&tk.make(Kind::Button, "b4", {{"ACTION", "B4"}})});
        tk.show(tk.at("win"));
        for (const char* a : {"B1", "B2", "T3", "B4", "Pick", "Free"})
            tk.bind(a, [](Event&) { return kDefault; });
    }
    std::string refusal(Input::Type type, const std::string& target, int number = 0) {
        Input in;
        in.type = type;
        in.target = target;
        in.number = number;
        return admitInput(tk, in);
    }
};

TEST_F(Reach, ShownAndUsableFollowSwitchPagesInactiveContainersAndWindows) {
    struct Case {
        const char* element;
        bool shown, usable;
    };
    const Case cases[] = {
        {"b1", true, true},   {"b2", false, false}, {"t3", true, false},
        {"off", true, false}, {"b4", false, false}, {"win", true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isShown(tk.at(c.element)), c.shown) << c.element;
        EXPECT_EQ(isUsable(tk.at(c.element)), c.usable) << c.element;
    }
    tk.at("pages").set("VALUE", "page2");
    EXPECT_FALSE(isShown(tk.at("b1")));
    EXPECT_TRUE(isUsable(tk.at("b2")));
    EXPECT_EQ(listCount(tk.at("list")), 2);
    EXPECT_EQ(listCount(tk.at("b1")), 0);
}

TEST_F(Reach, InputsAreRefusedUnlessAUserCouldGiveThem) {
    using T = Input::Type;
    struct Case {
        T type;
        const char* target;
        int number;
        const char* refusal;
    };
    const Case cases[] = {
        {T::Press, "b1", 0, ""},
        {T::Press, "b2", 0, "\"b2\" is not shown"},
        {T::Toggle, "t3", 0, "\"t3\" is inactive"},
        {T::Select, "list", 2, ""},
        {T::Select, "list", 0, "\"list\" has no item 0 (it has 2)"},
        {T::Type, "info", 0, ""},
        {T::Commit, "info", 0, "\"info\" (multiline) is not a text field that can be edited"},
        {T::Type, "canvas", 0, "\"canvas\" (canvas) is not a text field"},
        {T::Key, "field", 'a', ""},
        {T::Key, "win", K_ESC, ""},
        {T::Key, "field", 0x1000 + 100, "no key has the code 4196"},
        {T::Close, "hidden", 0, "\"hidden\" is not shown"},
        // Actions: through their button when it is usable, else refused.
        {T::Action, "B1", 0, ""},
        {T::Action, "B2", 0, "\"b2\" is not shown"},
        {T::Action, "Pick", 0,
         "the action \"Pick\" comes from \"canvas\": give the input of that element"},
        {T::Action, "Free", 0, ""},
        {T::Action, "Unbound", 0, "no action named \"Unbound\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(refusal(c.type, c.target, c.number), c.refusal) << c.target;
}

TEST_F(Reach, AnActionOfAnElementBecomesThatElementsInput) {
    Input in;
    in.type = Input::Type::Action;
    in.target = "B1";
    ASSERT_EQ(admitInput(tk, in), "");
    EXPECT_EQ(in.type, Input::Type::Press);
    EXPECT_EQ(in.target, "b1");
    // Of two elements with the action, the one a user can reach.
    tk.at("pages").set("VALUE", "page2");
    tk.at("b4").set("ACTION", "B2");
    tk.at("off").set("ACTIVE", "YES");
    tk.at("t3").set("ACTION", "B2");
    in.type = Input::Type::Action;
    in.target = "B2";
    ASSERT_EQ(admitInput(tk, in), "");
    EXPECT_EQ(in.target, "b2");
    tk.at("pages").set("VALUE", "page1");
    in.type = Input::Type::Action;
    in.target = "B2";
    ASSERT_EQ(admitInput(tk, in), "");
    EXPECT_EQ(in.type, Input::Type::Toggle);
    EXPECT_EQ(in.target, "t3");
}

} // namespace
