// The table element: the order a sort gives (numbers by value, empty cells
// last, texts by text, ties in the content's order), the selection kept by
// row through a sort, what a user's sort and selection record, and the
// refusals of sorts and selections no user could give.
#include "ui/headless.h"
#include "ui/reach.h"
#include "ui/ui.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ui;

namespace {

const double kNone = std::nan("");

// Node, Dx and Label of five rows; row 4 has no Dx.
TableContent sample() {
    TableContent c;
    c.headings = {"Node", "Dx (mm)", "Label"};
    c.numeric = {true, true, false};
    const struct {
        double node, dx;
        const char* label;
    } rows[] = {{1, 2.5, "b"}, {2, -10, "B"}, {3, 2.5, "a"}, {4, kNone, "ab"}, {10, 0, "a"}};
    for (const auto& r : rows) {
        c.texts.insert(c.texts.end(), {std::to_string(int(r.node)), "", r.label});
        c.values.insert(c.values.end(), {r.node, r.dx, kNone});
        ++c.rows;
    }
    return c;
}

struct Table : ::testing::Test {
    HeadlessBackend* hb = new HeadlessBackend(400, 300);
    Toolkit tk{std::unique_ptr<Backend>(hb)};
    std::vector<Input> recorded;
    int selections = 0, sorts = 0;
    Table() {
        tk.make(Kind::Dialog, "win", {{"VISIBLE", "YES"}},
                {&tk.make(Kind::Table, "t", {{"ACTION", "Rows"}, {"SORT_CB", "Sort"}})});
        tk.bind("Rows", [this](Event&) { return ++selections, kDefault; });
        tk.bind("Sort", [this](Event&) { return ++sorts, kDefault; });
        tk.setTable(tk.at("t"), sample());
        tk.recorder = [this](const Input& in) { recorded.push_back(in); };
    }
    std::vector<std::size_t> order() const { return tk.at("t").table()->order; }
};

} // namespace

TEST_F(Table, ClicksOnHeadingsSortAscendingThenDescending) {
    const struct {
        int column;
        std::vector<std::size_t> order;
        const char* direction;
    } clicks[] = {
        {2, {1, 4, 0, 2, 3}, "ASCENDING"},  // -10, 0, 2.5, 2.5 (ties as given), empty last
        {2, {0, 2, 4, 1, 3}, "DESCENDING"}, // empty last again
        {2, {1, 4, 0, 2, 3}, "ASCENDING"},
        {1, {0, 1, 2, 3, 4}, "ASCENDING"}, // 10 after 4: by value, not by text
        {1, {4, 3, 2, 1, 0}, "DESCENDING"},
        {3, {1, 2, 4, 3, 0}, "ASCENDING"}, // "B" < "a" = "a" < "ab" < "b"
    };
    for (const auto& c : clicks) {
        EXPECT_EQ(tk.sortTable(tk.at("t"), c.column), kDefault);
        EXPECT_EQ(order(), c.order) << c.column << " " << c.direction;
        EXPECT_EQ(tk.at("t").get("SORTORDER"), c.direction);
        EXPECT_EQ(tk.at("t").getInt("SORTCOLUMN"), c.column);
    }
    EXPECT_EQ(sorts, 6);
    ASSERT_EQ(recorded.size(), 6u);
    EXPECT_EQ(recorded[0].type, Input::Type::Sort);
    EXPECT_EQ(recorded[0].number, 2);
}

TEST_F(Table, TheSelectionStaysWithItsRowsThroughASortAndIsRecordedAsPositions) {
    Element& t = tk.at("t");
    EXPECT_EQ(tk.selectRows(t, {2, 5}), kDefault);
    EXPECT_EQ(t.get("SELECTION"), "2 5");
    EXPECT_EQ(t.table()->selectedRows(), (std::vector<std::size_t>{1, 4}));
    tk.sortTable(t, 2); // order 1 4 0 2 3: the rows selected come first
    EXPECT_EQ(t.get("SELECTION"), "1 2");
    EXPECT_EQ(t.table()->selectedRows(), (std::vector<std::size_t>{1, 4}));
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_EQ(recorded[0].type, Input::Type::Rows);
    EXPECT_EQ(recorded[0].values, (std::vector<std::string>{"2", "5"}));
    // Delivered again, the recorded input gives the same selection.
    tk.deliver(recorded[0]);
    EXPECT_EQ(t.table()->selectedRows(), (std::vector<std::size_t>{4, 3}));
    EXPECT_EQ(selections, 2);
    // The program's own selection and refill are no input.
    tk.setTableSelection(t, {3});
    EXPECT_EQ(t.get("SELECTION"), "5");
    tk.setTable(t, sample(), true);
    EXPECT_EQ(t.get("SORTCOLUMN"), "2");
    EXPECT_EQ(t.get("SELECTION"), "");
    tk.setTable(t, sample());
    EXPECT_EQ(t.get("SORTCOLUMN"), "0");
    EXPECT_EQ(recorded.size(), 3u);
}

TEST_F(Table, SortsAndSelectionsBeyondTheTableAreRefused) {
    const struct {
        Input::Type type;
        int column;
        std::vector<std::string> rows;
        const char* refusal;
    } cases[] = {
        {Input::Type::Sort, 3, {}, ""},
        {Input::Type::Sort, 4, {}, "\"t\" has no column 4 (it has 3)"},
        {Input::Type::Sort, 0, {}, "\"t\" has no column 0 (it has 3)"},
        {Input::Type::Rows, 0, {"1", "5"}, ""},
        {Input::Type::Rows, 0, {}, ""},
        {Input::Type::Rows, 0, {"6"}, "\"t\" has no row 6 (it has 5)"},
    };
    for (const auto& c : cases) {
        Input in;
        in.type = c.type;
        in.target = "t";
        in.number = c.column;
        in.values = c.rows;
        EXPECT_EQ(admitInput(tk, in), c.refusal);
    }
    Input press;
    press.type = Input::Type::Sort;
    press.target = "win";
    press.number = 1;
    EXPECT_EQ(admitInput(tk, press), "\"win\" (dialog) is not a table");
}

TEST_F(Table, TheClipboardOfTheHeadlessBackendKeepsTheLastText) {
    tk.setClipboardText("a\tb\n");
    tk.setClipboardText("Node\n1\n");
    EXPECT_EQ(hb->clipboardText(), "Node\n1\n");
}
