// The table element and the tab bar on the Qt backend (offscreen): the view
// shows the toolkit's rows in the toolkit's order, a click on a heading is
// the toolkit's sort, rows selected in the view are its selection (recorded
// as positions), the program's selection is shown without coming back as
// an input; the tab bar is a list; the clipboard holds the text put there.
#include "qt_env.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QTabBar>
#include <QTableView>
#include <cmath>
#include <gtest/gtest.h>

using namespace ui;

namespace {

struct QtTable : kestrel_test::QtToolkitTest {
    std::vector<Input> recorded;
    int selections = 0;
    QtTable() {
        Element& tabs =
            tk.make(Kind::List, "tabs",
                    {{"TABS", "YES"}, {"1", "Nodes"}, {"2", "Members"}, {"ACTION", "Tab"}});
        Element& dlg =
            tk.make(Kind::Dialog, "win", {{"RASTERSIZE", "400x300"}},
                    {&tk.make(Kind::VBox, "", {},
                              {&tabs, &tk.make(Kind::Table, "t", {{"ACTION", "Rows"}})})});
        TableContent c;
        c.headings = {"Node", "Dx (mm)"};
        c.numeric = {true, true};
        c.rows = 3;
        c.texts = {"1", "0.5", "2", "", "3", "-2.0"};
        c.values = {1, 0.5, 2, std::nan(""), 3, -2};
        tk.setTable(tk.at("t"), c); // before the window is built
        tk.bind("Rows", [this](Event&) { return ++selections, kDefault; });
        tk.bind("Tab", [](Event&) { return kDefault; });
        tk.show(dlg);
        tk.recorder = [this](const Input& in) { recorded.push_back(in); };
    }
    QTableView* view() { return qobject_cast<QTableView*>(backend().widget(tk.at("t"))); }
    QString cell(int row, int column) {
        return view()->model()->index(row, column).data().toString();
    }
    std::vector<int> viewRows() {
        std::vector<int> rows;
        for (const QModelIndex& i : view()->selectionModel()->selectedRows())
            rows.push_back(i.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }
};

} // namespace

TEST_F(QtTable, HeadingClicksSortTheViewAndSelectionsGoBothWays) {
    ASSERT_NE(view(), nullptr);
    ASSERT_EQ(view()->model()->rowCount(), 3);
    EXPECT_EQ(view()->model()->headerData(1, Qt::Horizontal).toString(), "Dx (mm)");
    EXPECT_EQ(cell(2, 1), "-2.0");
    // A click on the Dx heading: ascending by value, the empty cell last.
    QHeaderView* head = view()->horizontalHeader();
    const QPoint at(head->sectionViewportPosition(1) + 5, head->height() / 2);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent ev(type, at, head->viewport()->mapToGlobal(at), Qt::LeftButton,
                       type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                       Qt::NoModifier);
        QApplication::sendEvent(head->viewport(), &ev);
    }
    EXPECT_EQ(tk.at("t").get("SORTCOLUMN"), "2");
    EXPECT_EQ((std::vector<QString>{cell(0, 0), cell(1, 0), cell(2, 0)}),
              (std::vector<QString>{"3", "1", "2"}));
    ASSERT_FALSE(recorded.empty());
    EXPECT_EQ(recorded.back().type, Input::Type::Sort);
    EXPECT_EQ(recorded.back().number, 2);
    // Rows 1 and 3 selected in the view: node 3 and node 2.
    view()->selectionModel()->select(
        QItemSelection(view()->model()->index(0, 0), view()->model()->index(0, 1)),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view()->selectionModel()->select(view()->model()->index(2, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(tk.at("t").get("SELECTION"), "1 3");
    EXPECT_EQ(tk.at("t").table()->selectedRows(), (std::vector<std::size_t>{2, 1}));
    EXPECT_EQ(recorded.back().type, Input::Type::Rows);
    EXPECT_EQ(recorded.back().values, (std::vector<std::string>{"1", "3"}));
    const int before = selections;
    const std::size_t inputs = recorded.size();
    // The program's selection (node 1, shown second) is shown and is no input.
    tk.setTableSelection(tk.at("t"), {0});
    EXPECT_EQ(viewRows(), (std::vector<int>{1}));
    EXPECT_EQ(selections, before);
    EXPECT_EQ(recorded.size(), inputs);
}

TEST_F(QtTable, TheTabBarIsAListAndTheClipboardHoldsTheText) {
    auto* bar = qobject_cast<QTabBar*>(backend().widget(tk.at("tabs")));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->count(), 2);
    EXPECT_EQ(bar->tabText(1), "Members");
    bar->setCurrentIndex(1);
    EXPECT_EQ(tk.at("tabs").get("VALUE"), "2");
    tk.at("tabs").set("VALUE", "1");
    EXPECT_EQ(bar->currentIndex(), 0);
    tk.setClipboardText("Node\tDx (mm)\n1\t0.5\n");
    EXPECT_EQ(QApplication::clipboard()->text(), "Node\tDx (mm)\n1\t0.5\n");
}
