// The table element on Qt: a QTableView over a model that reads the
// toolkit's table state (ui/table.h), so a fill of thousands of rows makes
// no widget items. The toolkit sorts; a click on a heading and a change of
// the selected rows go back to it as inputs. Also the tab bar of a list with
// "TABS" "YES" and the clipboard.
#include "ui/qt/qtnode.h"

#include <QAbstractTableModel>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTabBar>
#include <QTableView>

#include <algorithm>

namespace ui {

namespace {

QString qs(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

class TableModel : public QAbstractTableModel {
public:
    explicit TableModel(QtNode* node, QObject* parent) : QAbstractTableModel(parent), node_(node) {}
    // None while the backend closes its windows: the elements are gone then.
    const TableState* state() const {
        return node_->backend->quiet() ? nullptr : node_->el->table();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !state() ? 0 : static_cast<int>(state()->order.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !state() ? 0 : static_cast<int>(state()->content.columns());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const TableState* t = state();
        if (!t || !index.isValid()) return {};
        const std::size_t col = static_cast<std::size_t>(index.column());
        if (role == Qt::DisplayRole)
            return qs(t->content.text(t->order[static_cast<std::size_t>(index.row())], col));
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignVCenter |
                                       (t->content.numeric[col] ? Qt::AlignRight : Qt::AlignLeft));
        return {};
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        const TableState* t = state();
        if (!t || role != Qt::DisplayRole || section < 0) return {};
        if (o == Qt::Vertical) return section + 1;
        if (section >= static_cast<int>(t->content.columns())) return {};
        return qs(t->content.headings[static_cast<std::size_t>(section)]);
    }
    void refill() {
        beginResetModel();
        endResetModel();
    }

private:
    QtNode* node_;
};

TableModel* modelOf(QtNode& n) {
    auto* view = qobject_cast<QTableView*>(n.widget.data());
    return view ? static_cast<TableModel*>(view->model()) : nullptr;
}

// The toolkit's selection shown in the view, as ranges of neighbouring rows.
void showSelection(QtNode& n) {
    auto* view = qobject_cast<QTableView*>(n.widget.data());
    const TableState* t = n.el->table();
    if (!view || !t) return;
    ++n.syncing;
    QItemSelection sel;
    const std::vector<int> rows = t->selectedPositions();
    const int last = static_cast<int>(t->content.columns()) - 1;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) ++j;
        sel.select(view->model()->index(rows[i] - 1, 0), view->model()->index(rows[j] - 1, last));
        i = j + 1;
    }
    view->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
    --n.syncing;
}

} // namespace

void createTable(QtNode& n, QtNode*) {
    auto* view = new QTableView;
    n.widget = view;
    QtNode* np = &n;
    view->setModel(new TableModel(np, view));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setWordWrap(false);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setSortIndicatorShown(false);
    view->horizontalHeader()->setSectionsClickable(true);
    view->horizontalHeader()->setResizeContentsPrecision(200);
    QObject::connect(view->horizontalHeader(), &QHeaderView::sectionClicked, view,
                     [np](int section) {
                         if (Toolkit* tk = np->input(); tk && !np->syncing)
                             tk->sortTable(*np->el, section + 1);
                     });
    QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, view,
                     [np, view] {
                         Toolkit* tk = np->input();
                         if (!tk || np->syncing) return;
                         std::vector<int> rows;
                         for (const QModelIndex& i : view->selectionModel()->selectedRows())
                             rows.push_back(i.row() + 1);
                         std::sort(rows.begin(), rows.end());
                         tk->selectRows(*np->el, rows);
                     });
}

void QtBackend::tableChanged(Element& e) {
    QtNode* n = nodeOf(e);
    TableModel* m = n && n->built ? modelOf(*n) : nullptr;
    if (!m || !e.table()) return; // built before the program filled it
    ++n->syncing;
    auto* view = static_cast<QTableView*>(n->widget.data());
    const int columnsBefore = m->columnCount();
    const std::string headingsBefore = e.get("HEADINGS");
    m->refill();
    // Column widths fit a new set of columns; a sort or new values keep them.
    std::string headings;
    for (const std::string& h : e.table()->content.headings) headings += h + '\t';
    if (headings != headingsBefore || columnsBefore != m->columnCount()) {
        e.store("HEADINGS", headings);
        view->resizeColumnsToContents();
        // Room for the sort arrow beside the heading.
        for (int c = 0; c < m->columnCount(); ++c)
            view->setColumnWidth(c, view->columnWidth(c) + view->fontMetrics().height());
    }
    QHeaderView* head = view->horizontalHeader();
    const int column = e.table()->sortColumn;
    head->setSortIndicatorShown(column > 0);
    if (column > 0)
        head->setSortIndicator(column - 1,
                               e.table()->descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    --n->syncing;
    showSelection(*n);
}

void QtBackend::tableSelectionChanged(Element& e) {
    QtNode* n = nodeOf(e);
    if (n && n->built) showSelection(*n);
}

void QtBackend::setClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(qs(text));
}

void createTabBar(QtNode& n) {
    auto* bar = new QTabBar;
    bar->setExpanding(false);
    bar->setDrawBase(true);
    n.widget = bar;
    QtNode* np = &n;
    QObject::connect(bar, &QTabBar::currentChanged, bar, [np](int index) {
        Toolkit* tk = np->input();
        if (tk && !np->syncing && index >= 0) tk->select(*np->el, index + 1);
    });
}

bool applyTabBar(QtNode& n, const QStringList& items, int current) {
    auto* bar = qobject_cast<QTabBar*>(n.widget.data());
    if (!bar) return false;
    QStringList shown;
    for (int i = 0; i < bar->count(); ++i) shown << bar->tabText(i);
    if (shown != items) {
        while (bar->count()) bar->removeTab(0);
        for (const QString& s : items) bar->addTab(s);
    }
    bar->setCurrentIndex(current < items.size() ? current : -1);
    return true;
}

} // namespace ui
