// The Result Tables window: a tab per table, the case, combination or
// envelope to show, the table sorted by a click on a heading, its rows
// selected together with their nodes or members on the canvas, Copy and
// Export CSV. A modeless window: the frame can be edited and analysed while
// it is open, and it follows.
#include "attrib/attrib.h"
#include "shell/display.h"
#include "shell/edit/edit.h"
#include "shell/files/filecommands.h"
#include "shell/messages.h"
#include "shell/results/tables.h"
#include "shell/state.h"
#include "ui/keys.h"

#include <algorithm>
#include <array>
#include <utility>

namespace shell {

namespace {

using ui::Element;
using ui::Kind;

struct TablesWindow {
    Element* dialog = nullptr;
    std::vector<results::Table> tables; // as last built, in the order of the tabs
    analysis::Numbering numbering;      // the numbers the rows refer to
    int tab = 0;                        // the table shown (results::TableKind)
    // Each tab's sort column (0: none) and direction, kept while other tabs are shown.
    std::array<std::pair<int, bool>, results::kTableCount> sorts{};
};
TablesWindow g_win;

ui::Toolkit& tk() {
    return *app().tk;
}

bool built() {
    return g_win.dialog && app().tk && tk().find("tblwindow") == g_win.dialog;
}

const results::Table* shownTable() {
    return g_win.tab < static_cast<int>(g_win.tables.size()) ? &g_win.tables[g_win.tab] : nullptr;
}

// The drop-down shows the items of the one under the canvas.
void fillCaseList() {
    Element& from = tk().at("caselist");
    Element& to = tk().at("tblcase");
    int i = 1;
    for (; from.has(std::to_string(i)); ++i) to.set(std::to_string(i), from.get(std::to_string(i)));
    for (; to.has(std::to_string(i)); ++i) to.set(std::to_string(i), "");
    to.set("VALUE", from.get("VALUE"));
    to.set("ACTIVE", from.isActive() ? "YES" : "NO");
}

bool isResultTab(int tab) {
    return tab <= static_cast<int>(results::TableKind::MemberExtremes);
}

// Rows whose node or member is selected on the canvas.
std::vector<std::size_t> rowsSelectedOnCanvas(const results::Table& t) {
    std::vector<std::size_t> rows;
    const analysis::Numbering& n = g_win.numbering;
    for (std::size_t r = 0; r < t.refs.size(); ++r) {
        const results::RowRef& ref = t.refs[r];
        const std::size_t i = static_cast<std::size_t>(ref.number - 1);
        bool on = false;
        if (ref.entity == results::RowEntity::Node && ref.number >= 1 && i < n.nodes.size()) {
            const attrib::NodeAttrib* a = attrib::nodeOf(n.nodes[i]);
            on = a && a->selected;
        } else if (ref.entity == results::RowEntity::Member && ref.number >= 1 &&
                   i < n.members.size()) {
            const attrib::MemberAttrib* a = attrib::memberOf(n.members[i]);
            on = a && a->selected;
        }
        if (on) rows.push_back(r);
    }
    return rows;
}

void selectRowsOfCanvas() {
    const results::Table* t = shownTable();
    Element& table = tk().at("tbltable");
    if (!t || !table.table()) return;
    const std::vector<std::size_t> rows = rowsSelectedOnCanvas(*t);
    std::vector<std::size_t> now;
    for (std::size_t r = 0; r < table.table()->selected.size(); ++r)
        if (table.table()->selected[r]) now.push_back(r);
    if (rows != now) tk().setTableSelection(table, rows);
}

// Puts the shown table into the table element; `keepSort` when the same tab
// is refilled, else in the sort the tab had when it was last shown (its
// selection follows the canvas either way).
void showTab(bool keepSort) {
    Element& table = tk().at("tbltable");
    const results::Table* t = shownTable();
    ui::TableContent c = t ? tableContent(*t, currentUnitSettings()) : ui::TableContent{};
    const ui::TableState* now = table.table();
    const bool same =
        keepSort && now && now->content.headings == c.headings && now->content.texts == c.texts;
    if (keepSort && !same) {
        tk().setTable(table, std::move(c), true);
    } else if (!keepSort) {
        const auto [column, descending] = g_win.sorts[static_cast<std::size_t>(g_win.tab)];
        tk().setTable(table, std::move(c), column, descending);
    }
    const bool noResults = analysis::storedResults().cases.empty();
    tk().at("tblnote").set("TITLE", isResultTab(g_win.tab) && noResults
                                        ? "No results: analyse the frame to fill this table."
                                        : " ");
    tk().at("tbltabs").set("VALUE", std::to_string(g_win.tab + 1));
    selectRowsOfCanvas();
}

void refill(bool keepSort) {
    fillCaseList();
    g_win.tables = currentTables(g_win.numbering);
    showTab(keepSort);
}

// ---- Handlers ----------------------------------------------------------------------

int onTab(ui::Event& ev) {
    if (ev.state == 0 || ev.item < 1 || ev.item > results::kTableCount) return ui::kDefault;
    if (const ui::TableState* now = tk().at("tbltable").table())
        g_win.sorts[static_cast<std::size_t>(g_win.tab)] = {now->sortColumn, now->descending};
    g_win.tab = ev.item - 1;
    showTab(false);
    return ui::kDefault;
}

// The same choice as the drop-down under the canvas, which the window follows.
int onCase(ui::Event& ev) {
    if (ev.state == 0) return ui::kDefault;
    ui::Event choice;
    choice.element = &tk().at("caselist");
    choice.state = 1;
    choice.item = ev.item;
    tk().fireAction("CaseSelCur", choice);
    refill(true);
    return ui::kDefault;
}

// The rows selected in the table become the canvas selection: their nodes,
// or their members (a table of both kinds, the loads, selects the kind of
// the first row chosen, since the canvas selects one kind at a time).
int onRows(ui::Event&) {
    const results::Table* t = shownTable();
    const ui::TableState* state = tk().at("tbltable").table();
    if (!t || !state || !app().model) return ui::kDefault;
    deselectAll();
    results::RowEntity kind = results::RowEntity::None;
    const analysis::Numbering& n = g_win.numbering;
    for (std::size_t r : state->selectedRows()) {
        if (r >= t->refs.size()) continue;
        const results::RowRef& ref = t->refs[r];
        if (kind == results::RowEntity::None) kind = ref.entity;
        if (ref.entity != kind || ref.number < 1) continue;
        const std::size_t i = static_cast<std::size_t>(ref.number - 1);
        if (kind == results::RowEntity::Node && i < n.nodes.size()) {
            if (attrib::NodeAttrib* a = attrib::nodeOf(n.nodes[i])) a->selected = 1;
        } else if (kind == results::RowEntity::Member && i < n.members.size()) {
            if (attrib::MemberAttrib* a = attrib::memberOf(n.members[i])) a->selected = 1;
        }
    }
    if (kind == results::RowEntity::Node) attrib::state().target = attrib::kTargetNodes;
    if (kind == results::RowEntity::Member) attrib::state().target = attrib::kTargetMembers;
    recountSelection();
    redraw();
    return ui::kDefault;
}

int onCopy(ui::Event&) {
    const std::string text = tablesCopyText();
    tk().setClipboardText(text);
    const results::Table* t = shownTable();
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    if (t)
        showPrompt(std::to_string(lines ? lines - 1 : 0) + " rows of " +
                   results::tableTitle(t->kind) + " copied to the clipboard.");
    return ui::kDefault;
}

// The tab shown, in the order shown, into one CSV file (all ten tables at
// once are `kestrel --csv`).
int onExport(ui::Event&) {
    const results::Table* t = shownTable();
    const ui::TableState* state = tk().at("tbltable").table();
    if (!t || !state) return ui::kDefault;
    std::string path = std::string(results::tableFileStem(t->kind)) + ".csv";
    if (fileDialog("SAVE", "Export table as CSV", "*.csv", path) < 0) return ui::kDefault;
    results::Table shown = *t;
    shown.rows.clear();
    shown.refs.clear();
    for (std::size_t r : state->order) {
        shown.rows.push_back(t->rows[r]);
        shown.refs.push_back(t->refs[r]);
    }
    std::string error;
    if (!results::writeTableCsv(shown, path, error))
        message(error);
    else
        showPrompt(std::string(results::tableTitle(t->kind)) + " written to " + path + ".");
    return ui::kDefault;
}

int onClose(ui::Event&) {
    closeTablesWindow();
    return ui::kDefault;
}

int onKey(ui::Event& ev) {
    if (ev.key != ui::K_ESC) return ui::kDefault;
    closeTablesWindow();
    return ui::kIgnore;
}

void build() {
    ui::Toolkit& t = tk();
    auto button = [&](const char* name, const char* title, const char* action, const char* tip) {
        return &t.make(Kind::Button, name, {{"TITLE", title}, {"ACTION", action}, {"TIP", tip}});
    };
    Element& tabs = t.make(Kind::List, "tbltabs", {{"TABS", "YES"}, {"ACTION", "TblTab"}});
    for (int i = 0; i < results::kTableCount; ++i)
        tabs.set(std::to_string(i + 1), results::tableTitle(static_cast<results::TableKind>(i)));
    Element& box = t.make(
        Kind::VBox, "", {{"GAP", "4"}, {"MARGIN", "6"}},
        {&t.make(Kind::HBox, "", {{"ALIGNMENT", "ACENTER"}, {"GAP", "6"}},
                 {&t.make(Kind::Label, "", {{"TITLE", "Load Case/Combination:"}}),
                  &t.make(Kind::List, "tblcase", {{"DROPDOWN", "YES"}, {"ACTION", "TblCase"}}),
                  &t.make(Kind::Fill),
                  button("tblcopy", " Copy ", "TblCopy",
                         "Copy the selected rows (all when none) as tab-separated text"),
                  button("tblexport", " Export CSV... ", "TblExport",
                         "Write the table shown into a CSV file"),
                  button("tblclose", " Close ", "TblClose", "Close the window (Esc)")}),
         &tabs, &t.make(Kind::Label, "tblnote", {{"TITLE", " "}}),
         &t.make(Kind::Table, "tbltable", {{"ACTION", "TblRows"}, {"EXPAND", "YES"}})});
    g_win.dialog = &t.make(Kind::Dialog, "tblwindow",
                           {{"TITLE", "Result Tables"},
                            {"CLOSE_CB", "TblClose"},
                            {"K_ANY", "TblKey"},
                            {"RASTERSIZE", "900x520"}},
                           {&box});
    g_win.tab = 0;
    g_win.sorts = {};
}

} // namespace

void openTablesWindow() {
    if (!app().tk) return;
    if (!built()) build();
    tk().show(*g_win.dialog);
    refill(true);
}

void closeTablesWindow() {
    if (built()) tk().hide(*g_win.dialog);
}

bool tablesWindowOpen() {
    return built() && g_win.dialog->get("VISIBLE") == "YES";
}

void refreshTablesWindow() {
    if (tablesWindowOpen()) refill(true);
}

std::string tablesCopyText() {
    const results::Table* t = shownTable();
    const ui::TableState* state = built() ? tk().at("tbltable").table() : nullptr;
    if (!t || !state) return "";
    std::vector<std::size_t> rows = state->selectedRows();
    if (rows.empty()) rows = state->order; // an empty table gives the headings alone
    return results::tableTabText(*t, currentUnitSettings(), rows);
}

void bindTablesActions(ui::Toolkit& t) {
    t.bind("TblOpen", [](ui::Event&) {
        openTablesWindow();
        return ui::kDefault;
    });
    t.bind("TblTab", onTab);
    t.bind("TblCase", onCase);
    t.bind("TblRows", onRows);
    t.bind("TblCopy", onCopy);
    t.bind("TblExport", onExport);
    t.bind("TblClose", onClose);
    t.bind("TblKey", onKey);
}

} // namespace shell
