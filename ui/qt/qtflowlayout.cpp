// Rows of items that wrap at the right edge.
#include "ui/qt/qtflowlayout.h"

#include <QWidget>
#include <algorithm>

namespace ui {

QtFlowLayout::QtFlowLayout(QWidget* parent) : QLayout(parent) {}

QtFlowLayout::~QtFlowLayout() {
    while (QLayoutItem* item = takeAt(0)) delete item;
}

void QtFlowLayout::addItem(QLayoutItem* item) {
    items_.append(item);
}

QLayoutItem* QtFlowLayout::itemAt(int index) const {
    return index >= 0 && index < items_.size() ? items_.at(index) : nullptr;
}

QLayoutItem* QtFlowLayout::takeAt(int index) {
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

int QtFlowLayout::heightForWidth(int width) const {
    return arrange(QRect(0, 0, width, 0), false);
}

QSize QtFlowLayout::minimumSize() const {
    // As narrow as the widest item: everything else wraps.
    QSize size;
    for (const QLayoutItem* item : items_)
        if (!item->isEmpty()) size = size.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize QtFlowLayout::sizeHint() const {
    // Everything on one row.
    int width = 0, height = 0, shown = 0;
    for (const QLayoutItem* item : items_) {
        if (item->isEmpty()) continue;
        width += item->sizeHint().width();
        height = std::max(height, item->sizeHint().height());
        ++shown;
    }
    const QMargins m = contentsMargins();
    return {width + std::max(0, shown - 1) * spacing() + m.left() + m.right(),
            height + m.top() + m.bottom()};
}

void QtFlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int QtFlowLayout::arrange(const QRect& rect, bool apply) const {
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int gap = std::max(0, spacing());
    int y = area.y(), used = 0;
    // Items of the current row, placed once the row's height is known.
    QList<QLayoutItem*> row;
    auto closeRow = [&] {
        int height = 0, x = area.x();
        for (const QLayoutItem* item : row) height = std::max(height, item->sizeHint().height());
        if (apply) {
            for (QLayoutItem* item : row) {
                const QSize s = item->sizeHint();
                item->setGeometry(QRect(x, y + (height - s.height()) / 2, s.width(), s.height()));
                x += s.width() + gap;
            }
        }
        if (!row.isEmpty()) {
            used = y + height - area.y();
            y += height + gap;
        }
        row.clear();
    };
    int x = area.x();
    for (QLayoutItem* item : items_) {
        if (item->isEmpty()) continue;
        const int w = item->sizeHint().width();
        if (!row.isEmpty() && x + w > area.x() + area.width()) {
            closeRow();
            x = area.x();
        }
        row.append(item);
        x += w + gap;
    }
    closeRow();
    const QMargins m = contentsMargins();
    return used + m.top() + m.bottom();
}

} // namespace ui
