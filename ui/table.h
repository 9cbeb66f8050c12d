// The rows of a table element: column headings, cell texts and the values
// the numeric columns sort by, and what the user did with them (the sort
// column and direction, the rows selected). The toolkit keeps this state,
// so that both backends show the same order and selection and a journal can
// replay a sort or a selection (ui.h: Toolkit::sortTable, selectRows).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ui {

struct TableContent {
    std::vector<std::string> headings;
    std::vector<bool> numeric; // per column: sorted by value (else by text)
    std::size_t rows = 0;
    std::vector<std::string> texts; // rows x columns, row by row
    std::vector<double> values;     // likewise; NaN for a text or an empty cell
    std::size_t columns() const { return headings.size(); }
    const std::string& text(std::size_t row, std::size_t column) const {
        return texts[row * columns() + column];
    }
    double value(std::size_t row, std::size_t column) const {
        return values[row * columns() + column];
    }
};

struct TableState {
    TableContent content;
    std::vector<std::size_t> order; // shown position -> row of the content
    std::vector<char> selected;     // per row of the content
    int sortColumn = 0;             // 1-based; 0: the content's own order
    bool descending = false;
    // The selected rows of the content, in the order shown.
    std::vector<std::size_t> selectedRows() const;
    // The 1-based shown positions of the selected rows, ascending.
    std::vector<int> selectedPositions() const;
};

// Orders the rows by the sort column: numbers by value (empty cells after
// every number, in either direction), texts by their bytes; rows that tie
// keep the content's order. Without a sort column the content's order.
void sortRows(TableState& t);

} // namespace ui
