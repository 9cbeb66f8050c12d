// Internal to the Qt backend: the native record of each element and the few
// widget classes the backend defines itself (dialog window, canvas, dial).
#pragma once

#include "gfx/qt/qtcanvas.h"
#include "ui/qt/qtbackend.h"

#include <QAction>
#include <QBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScrollBar>
#include <QStringList>
#include <QWidget>

namespace ui {

// What the backend made for one element.
struct QtNode {
    QtBackend* backend = nullptr;
    Element* el = nullptr;
    Kind kind = Kind::Fill;
    bool built = false;
    bool shown = false;             // a dialog shown once keeps its size and place
    bool inMenu = false;            // the element lives in a menu (an action)
    QPointer<QWidget> widget;       // widgets (dialog, controls, containers)
    QPointer<QAction> action;       // items, menu toggles, submenus
    QPointer<QMenu> menu;           // menus and submenus
    QPointer<QMenuBar> menuBar;     // menu bars
    QPointer<QLayout> layout;       // where children go (dialogs, boxes, frames)
    QPointer<QWidget> outer;        // what the parent holds when not `widget` (a scroll area)
    QPointer<QWidget> dialogWindow; // the top-level window of the element
    int syncing = 0;                // > 0 while the program's state is pushed to the widget

    Toolkit& tk() const { return backend->toolkit(); }
    // The toolkit for the user's input; null while the backend closes its
    // windows (no handler runs then, and the elements may be gone).
    Toolkit* input() const { return backend->quiet() ? nullptr : &backend->toolkit(); }
};

// A canvas handed to the program; it tells the backend when it goes away.
class QtBackend::BoundCanvas : public gfx::QtCanvas {
public:
    BoundCanvas(QtBackend* owner, const Element* e, int w, int h, double dpr, double wmm,
                double hmm)
        : QtCanvas(w, h, dpr, wmm, hmm), owner_(owner), element_(e) {}
    ~BoundCanvas() override {
        if (owner_) owner_->canvases_.erase(element_);
    }
    QtBackend* owner_;
    const Element* element_;
};

QtNode* nodeOf(const Element& e);
// The element a widget (or one of its ancestors) belongs to.
QtNode* nodeOfWidget(const QWidget* w);
void tagWidget(QWidget* w, QtNode* n);

// Top-level window of a dialog: close requests and the window's keys go
// through the toolkit.
class QtDialogWindow : public QWidget {
public:
    explicit QtDialogWindow(QtNode* node);

protected:
    void closeEvent(QCloseEvent* ev) override;

private:
    QtNode* node_;
};

// The drawing area: paints the front image of its canvas and reports mouse
// and size events. With "SCROLLBAR" it shows scroll bars at its right and
// bottom edges whose range, thumb and position are the canvas attributes
// XMIN, XMAX, DX, POSX (YMIN, YMAX, DY, POSY, counted from the top); moving a
// bar stores the new POSX (POSY) and asks for a repaint (ACTION). The drawing
// area is what the bars leave.
class QtCanvasWidget : public QWidget {
public:
    explicit QtCanvasWidget(QtNode* node);
    // The preferred size is the element's RASTERSIZE or SIZE; the canvas
    // shrinks below it to a small minimum when the window is smaller.
    QSize sizeHint() const override { return preferred_; }
    QSize minimumSizeHint() const override { return QSize(160, 120); }
    void setPreferredSize(QSize s);
    QSize area() const;
    // The bars follow the element's attributes.
    void updateBars();

protected:
    void paintEvent(QPaintEvent* ev) override;
    void resizeEvent(QResizeEvent* ev) override;
    void mousePressEvent(QMouseEvent* ev) override;
    void mouseReleaseEvent(QMouseEvent* ev) override;
    void mouseMoveEvent(QMouseEvent* ev) override;
    void leaveEvent(QEvent* ev) override;

private:
    QtNode* node_;
    bool dprPending_ = false;
    bool resizePending_ = false;
    QSize preferred_{640, 480};
    QScrollBar* hbar_;
    QScrollBar* vbar_;
    int syncing_ = 0;
    void button(QMouseEvent* ev, bool pressed);
    void placeBars();
    void scrolled(QScrollBar* bar, const char* minAttr, const char* maxAttr, const char* posAttr);
};

// A thumbwheel: dragging it (or the mouse wheel) turns it, and each change
// of angle is reported in radians.
class QtDialWidget : public QWidget {
public:
    explicit QtDialWidget(QtNode* node);
    bool vertical() const { return vertical_; }
    void setVertical(bool v);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* ev) override;
    void mousePressEvent(QMouseEvent* ev) override;
    void mouseMoveEvent(QMouseEvent* ev) override;
    void mouseReleaseEvent(QMouseEvent* ev) override;
    void wheelEvent(QWheelEvent* ev) override;

private:
    QtNode* node_;
    bool vertical_ = true;
    bool dragging_ = false;
    double last_ = 0;  // last drag position along the dial
    double angle_ = 0; // total angle, for the ridges drawn
    void turn(double radians);
};

// Keys: Qt key events to the codes of ui/keys.h (0 for keys not delivered).
int translateKey(int qtKey, Qt::KeyboardModifiers mods, const QString& text);

// The table element and the tab bar of a list with "TABS" "YES" (qttable.cpp).
void createTable(QtNode& n, QtNode* parent);
void createTabBar(QtNode& n);
// Shows the items and the current one (0-based) when the list is a tab bar.
bool applyTabBar(QtNode& n, const QStringList& items, int current);

// Images by registered name or file path; null icon when not found.
QIcon loadIcon(const std::string& nameOrPath);

// Sizes in the toolkit's units: "WxH" with W in quarters of the average
// character width and H in eighths of the character height, for the font of
// `w`. A missing part is -1.
QSize charSize(const std::string& size, const QWidget* w);
QFont parseFont(const std::string& font, const QFont& base);

} // namespace ui
