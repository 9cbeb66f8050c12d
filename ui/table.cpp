// Sorting and selecting the rows of a table element.
#include "ui/table.h"

#include "ui/ui.h"

#include <algorithm>
#include <cmath>

namespace ui {

std::vector<std::size_t> TableState::selectedRows() const {
    std::vector<std::size_t> rows;
    for (std::size_t r : order)
        if (selected[r]) rows.push_back(r);
    return rows;
}

std::vector<int> TableState::selectedPositions() const {
    std::vector<int> positions;
    for (std::size_t i = 0; i < order.size(); ++i)
        if (selected[order[i]]) positions.push_back(static_cast<int>(i + 1));
    return positions;
}

void sortRows(TableState& t) {
    const TableContent& c = t.content;
    t.order.resize(c.rows);
    for (std::size_t r = 0; r < c.rows; ++r) t.order[r] = r;
    if (t.sortColumn < 1 || t.sortColumn > static_cast<int>(c.columns())) return;
    const std::size_t col = static_cast<std::size_t>(t.sortColumn - 1);
    const bool down = t.descending;
    if (c.numeric[col]) {
        std::stable_sort(t.order.begin(), t.order.end(), [&](std::size_t a, std::size_t b) {
            const double x = c.value(a, col), y = c.value(b, col);
            if (std::isnan(x) || std::isnan(y)) return !std::isnan(x) && std::isnan(y);
            return down ? y < x : x < y;
        });
    } else {
        std::stable_sort(t.order.begin(), t.order.end(), [&](std::size_t a, std::size_t b) {
            const int k = c.text(a, col).compare(c.text(b, col));
            return down ? k > 0 : k < 0;
        });
    }
}

// ---- The toolkit's table methods --------------------------------------------

namespace {
// The attributes a journal's "show" and the tests read.
void storeState(Element& e, const TableState& t) {
    e.store("ROWS", std::to_string(t.content.rows));
    e.store("SORTCOLUMN", std::to_string(t.sortColumn));
    e.store("SORTORDER", t.sortColumn == 0 ? "" : t.descending ? "DESCENDING" : "ASCENDING");
    std::string s;
    for (int p : t.selectedPositions()) {
        if (!s.empty()) s += ' ';
        s += std::to_string(p);
    }
    e.store("SELECTION", s);
}
} // namespace

void Toolkit::setTable(Element& e, TableContent content, bool keepSort) {
    const TableState* now = e.table_.get();
    setTable(e, std::move(content), keepSort && now ? now->sortColumn : 0,
             keepSort && now && now->descending);
}

void Toolkit::setTable(Element& e, TableContent content, int sortColumn, bool descending) {
    if (!e.table_) e.table_ = std::make_unique<TableState>();
    TableState& t = *e.table_;
    t.content = std::move(content);
    t.content.numeric.resize(t.content.columns(), false);
    t.sortColumn = sortColumn;
    t.descending = descending;
    if (sortColumn < 1 || sortColumn > static_cast<int>(t.content.columns())) {
        t.sortColumn = 0;
        t.descending = false;
    }
    t.selected.assign(t.content.rows, 0);
    sortRows(t);
    storeState(e, t);
    backend_->tableChanged(e);
}

void Toolkit::setTableSelection(Element& e, const std::vector<std::size_t>& rows) {
    if (!e.table_) return;
    TableState& t = *e.table_;
    t.selected.assign(t.content.rows, 0);
    for (std::size_t r : rows)
        if (r < t.content.rows) t.selected[r] = 1;
    storeState(e, t);
    backend_->tableSelectionChanged(e);
}

int Toolkit::sortTable(Element& e, int column) {
    if (!e.isActive() || !e.table_) return kIgnore;
    TableState& t = *e.table_;
    if (column < 1 || column > static_cast<int>(t.content.columns())) return kIgnore;
    Input in;
    in.type = Input::Type::Sort;
    in.target = e.name();
    in.number = column;
    record(in);
    // The first click sorts ascending, the next on the same heading descending.
    t.descending = t.sortColumn == column && !t.descending;
    t.sortColumn = column;
    sortRows(t);
    storeState(e, t);
    backend_->tableChanged(e);
    Event ev;
    ev.item = column;
    return dispatch(e, "SORT_CB", ev);
}

int Toolkit::selectRows(Element& e, const std::vector<int>& positions) {
    if (!e.isActive() || !e.table_) return kIgnore;
    TableState& t = *e.table_;
    Input in;
    in.type = Input::Type::Rows;
    in.target = e.name();
    for (int p : positions) in.values.push_back(std::to_string(p));
    record(in);
    t.selected.assign(t.content.rows, 0);
    for (int p : positions)
        if (p >= 1 && p <= static_cast<int>(t.order.size())) t.selected[t.order[p - 1]] = 1;
    storeState(e, t);
    backend_->tableSelectionChanged(e);
    Event ev;
    ev.state = positions.empty() ? 0 : 1;
    return dispatch(e, "ACTION", ev);
}

void Toolkit::setClipboardText(const std::string& text) {
    backend_->setClipboardText(text);
}

} // namespace ui
