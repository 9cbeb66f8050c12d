// A layout that places its items in rows from left to right and starts a new
// row when the next item no longer fits: tool bar rows that wrap on narrow
// windows. Items keep their preferred sizes; rows take the height of their
// tallest item and items are centred vertically in their row.
#pragma once

#include <QLayout>
#include <QList>

namespace ui {

class QtFlowLayout : public QLayout {
public:
    explicit QtFlowLayout(QWidget* parent);
    ~QtFlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override { return static_cast<int>(items_.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Lays the items out in `rect` (only measures when `apply` is false) and
    // returns the height used.
    int arrange(const QRect& rect, bool apply) const;
    QList<QLayoutItem*> items_;
};

} // namespace ui
