// Building the widgets of each element kind and pushing attributes to them.
// One table, indexed by the element kind, says how to create the native
// object and which attributes of its own the kind understands; the
// attributes every kind shares ("ACTIVE", "TIP", "FONT", "SIZE", ...) are
// handled once.
#include "ui/qt/qtflowlayout.h"
#include "ui/qt/qtnode.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QStackedWidget>
#include <QToolButton>
#include <cmath>

namespace ui {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Titles are shown as written: an "&" is a character, not a mnemonic mark.
QString title(const std::string& s) {
    return qs(s).replace(QLatin1Char('&'), QLatin1String("&&"));
}

// While the program's state is pushed to a widget, the widget's signals are
// not user input.
struct Syncing {
    explicit Syncing(QtNode& n) : n_(n) { ++n_.syncing; }
    ~Syncing() { --n_.syncing; }
    QtNode& n_;
};

bool hasOnOff(const Element& e) {
    const std::string v = e.get("VALUE");
    return v == "ON" || v == "OFF";
}

// Qt flips a checkable widget before it reports the click; the toolkit
// decides the state, so the widget first goes back to the element's value.
void restoreChecked(QtNode& n) {
    Syncing s(n);
    const bool on = n.el->isOn();
    if (n.action)
        n.action->setChecked(on);
    else if (auto* b = qobject_cast<QAbstractButton*>(n.widget.data()))
        b->setChecked(on);
}

void onPress(QtNode& n) {
    Toolkit* tk = n.input();
    if (n.syncing || !tk) return;
    restoreChecked(n);
    tk->press(*n.el);
}

void onToggle(QtNode& n) {
    Toolkit* tk = n.input();
    if (n.syncing || !tk) return;
    restoreChecked(n);
    tk->toggle(*n.el);
}

// Key filter of text fields: each key goes to the field's ACTION first; a -1
// rejects it before the widget edits its text.
class FieldKeyFilter : public QObject {
public:
    FieldKeyFilter(QtNode* n, QObject* parent) : QObject(parent), n_(n) {}
    bool eventFilter(QObject*, QEvent* ev) override {
        Toolkit* tk = n_->input();
        if (ev->type() != QEvent::KeyPress || !tk || !n_->el->has("ACTION")) return false;
        auto* ke = static_cast<QKeyEvent*>(ev);
        // Ctrl with a letter stays with the widget (copy, paste, undo).
        if (ke->modifiers().testFlag(Qt::ControlModifier)) return false;
        const int key = translateKey(ke->key(), ke->modifiers(), ke->text());
        if (!key || key == K_TAB || key == K_ESC) return false;
        return tk->typeKey(*n_->el, key, false) == kIgnore;
    }

private:
    QtNode* n_;
};

QMenu* parentMenu(QtNode* parent) {
    return parent ? parent->menu.data() : nullptr;
}

QWidget* parentWidget(QtNode* parent) {
    if (!parent) return nullptr;
    if (parent->menuBar) return parent->menuBar;
    if (parent->menu) return parent->menu;
    return parent->widget;
}

QBoxLayout* boxLayout(QWidget* w, bool horizontal, int margin, int spacing) {
    QBoxLayout* l = horizontal ? static_cast<QBoxLayout*>(new QHBoxLayout(w))
                               : static_cast<QBoxLayout*>(new QVBoxLayout(w));
    l->setContentsMargins(margin, margin, margin, margin);
    l->setSpacing(spacing);
    return l;
}

QFrame* lineFrame(bool vertical) {
    auto* f = new QFrame;
    f->setFrameShape(vertical ? QFrame::VLine : QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

// ---- Creation, kind by kind --------------------------------------------------

void createDialog(QtNode& n, QtNode*) {
    auto* w = new QtDialogWindow(&n);
    n.widget = w;
    n.layout = boxLayout(w, false, 4, 2);
}

void createMenuBar(QtNode& n, QtNode* parent) {
    n.menuBar = new QMenuBar(parent ? parent->widget.data() : nullptr);
    n.widget = n.menuBar;
}

void createMenu(QtNode& n, QtNode* parent) {
    n.inMenu = true;
    if (parent && parent->el->kind() == Kind::Submenu && parent->menu) {
        // The menu of a submenu: its entries go into the submenu.
        n.menu = parent->menu;
        n.action = parent->action;
        return;
    }
    auto* m = new QMenu(parentWidget(parent));
    m->setToolTipsVisible(true);
    n.menu = m;
    n.action = m->menuAction();
    if (parent && parent->menuBar)
        parent->menuBar->addMenu(m);
    else if (parent && parent->menu)
        parent->menu->addMenu(m);
}

void createItem(QtNode& n, QtNode* parent) {
    n.inMenu = true;
    QMenu* m = parentMenu(parent);
    auto* a = new QAction(m);
    if (m) m->addAction(a);
    n.action = a;
    QtNode* np = &n;
    QObject::connect(a, &QAction::triggered, a, [np] { onPress(*np); });
}

void createSeparator(QtNode& n, QtNode* parent) {
    if (QMenu* m = parentMenu(parent)) {
        n.inMenu = true;
        n.action = m->addSeparator();
        return;
    }
    n.widget = lineFrame(parent && parent->el->kind() == Kind::HBox);
}

void createToggle(QtNode& n, QtNode* parent) {
    QtNode* np = &n;
    if (QMenu* m = parentMenu(parent)) {
        n.inMenu = true;
        auto* a = new QAction(m);
        a->setCheckable(true);
        m->addAction(a);
        n.action = a;
        QObject::connect(a, &QAction::triggered, a, [np] { onToggle(*np); });
        return;
    }
    QAbstractButton* b;
    if (n.el->has("IMAGE")) {
        auto* tb = new QToolButton;
        tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
        tb->setIconSize(QSize(24, 24));
        b = tb;
    } else if (parent && parent->el->kind() == Kind::Radio) {
        auto* rb = new QRadioButton;
        rb->setAutoExclusive(false); // the toolkit keeps the group exclusive
        b = rb;
    } else {
        b = new QCheckBox;
    }
    b->setCheckable(true);
    n.widget = b;
    QObject::connect(b, &QAbstractButton::clicked, b, [np] { onToggle(*np); });
}

void createRadio(QtNode& n, QtNode* parent) {
    if (QMenu* m = parentMenu(parent)) {
        n.inMenu = true;
        n.menu = m;
        return;
    }
    n.widget = new QWidget;
    n.layout = boxLayout(n.widget, n.el->get("ORIENTATION") == "HORIZONTAL", 0, 2);
}

void createButton(QtNode& n, QtNode*) {
    QAbstractButton* b;
    if (n.el->has("IMAGE")) {
        auto* tb = new QToolButton;
        tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
        tb->setIconSize(QSize(24, 24));
        b = tb;
    } else {
        b = new QPushButton;
        b->setFocusPolicy(Qt::TabFocus);
    }
    n.widget = b;
    QtNode* np = &n;
    QObject::connect(b, &QAbstractButton::clicked, b, [np] { onPress(*np); });
}

void createLabel(QtNode& n, QtNode* parent) {
    const std::string sep = n.el->get("SEPARATOR");
    if (sep == "HORIZONTAL" || sep == "VERTICAL") {
        n.widget = lineFrame(sep == "VERTICAL");
        return;
    }
    (void)parent;
    auto* l = new QLabel;
    l->setTextFormat(Qt::PlainText);
    n.widget = l;
}

void createText(QtNode& n, QtNode*) {
    auto* t = new QLineEdit;
    n.widget = t;
    QtNode* np = &n;
    t->installEventFilter(new FieldKeyFilter(np, t));
    QObject::connect(t, &QLineEdit::textEdited, t, [np](const QString& s) {
        if (np->input()) np->el->store("VALUE", s.toStdString());
    });
    QObject::connect(t, &QLineEdit::editingFinished, t, [np] {
        if (Toolkit* tk = np->input(); tk && !np->syncing) tk->commit(*np->el);
    });
}

void createMultiLine(QtNode& n, QtNode*) {
    auto* t = new QPlainTextEdit;
    n.widget = t;
    QtNode* np = &n;
    t->installEventFilter(new FieldKeyFilter(np, t));
    QObject::connect(t, &QPlainTextEdit::textChanged, t, [np, t] {
        if (np->input() && !np->syncing) np->el->store("VALUE", t->toPlainText().toStdString());
    });
}

void createList(QtNode& n, QtNode*) {
    QtNode* np = &n;
    if (n.el->get("TABS") == "YES") return createTabBar(n);
    if (n.el->get("DROPDOWN") == "YES") {
        auto* c = new QComboBox;
        n.widget = c;
        QObject::connect(c, &QComboBox::activated, c, [np](int index) {
            Toolkit* tk = np->input();
            if (tk && !np->syncing && index >= 0) tk->select(*np->el, index + 1);
        });
        return;
    }
    auto* l = new QListWidget;
    n.widget = l;
    QObject::connect(l, &QListWidget::currentRowChanged, l, [np](int row) {
        Toolkit* tk = np->input();
        if (tk && !np->syncing && row >= 0) tk->select(*np->el, row + 1);
    });
}

constexpr int kValuatorSteps = 1000;

void createValuator(QtNode& n, QtNode*) {
    auto* s = new QSlider(Qt::Horizontal);
    s->setRange(0, kValuatorSteps);
    n.widget = s;
    QtNode* np = &n;
    QObject::connect(s, &QSlider::valueChanged, s, [np](int v) {
        Toolkit* tk = np->input();
        if (tk && !np->syncing) tk->setValuator(*np->el, double(v) / kValuatorSteps);
    });
}

void createDial(QtNode& n, QtNode*) {
    auto* d = new QtDialWidget(&n);
    const std::string o = n.el->has("ORIENTATION") ? n.el->get("ORIENTATION") : n.el->get("TYPE");
    d->setVertical(o != "HORIZONTAL");
    n.widget = d;
}

void createCanvas(QtNode& n, QtNode*) {
    n.widget = new QtCanvasWidget(&n);
}

// The pages sit in a scroll area: a page taller or wider than the room the
// window leaves scrolls instead of raising the window's minimum size.
void createSwitch(QtNode& n, QtNode*) {
    auto* stack = new QStackedWidget;
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(stack);
    n.widget = stack;
    n.outer = scroll;
}

// With "WRAP" "YES" the row wraps when the window is too narrow for it.
void createHBox(QtNode& n, QtNode*) {
    n.widget = new QWidget;
    if (n.el->get("WRAP") == "YES") {
        auto* flow = new QtFlowLayout(n.widget);
        flow->setContentsMargins(0, 0, 0, 0);
        flow->setSpacing(2);
        n.layout = flow;
    } else {
        n.layout = boxLayout(n.widget, true, 0, 2);
    }
}

void createVBox(QtNode& n, QtNode*) {
    n.widget = new QWidget;
    n.layout = boxLayout(n.widget, false, 0, 2);
}

void createFrame(QtNode& n, QtNode*) {
    auto* g = new QGroupBox;
    n.widget = g;
    n.layout = boxLayout(g, false, 4, 2);
}

void createFill(QtNode& n, QtNode* parent) {
    n.widget = new QWidget;
    const bool across = parent && parent->el->kind() == Kind::HBox;
    n.widget->setSizePolicy(across ? QSizePolicy::Expanding : QSizePolicy::Minimum,
                            across ? QSizePolicy::Minimum : QSizePolicy::Expanding);
}

// ---- Attributes, kind by kind ------------------------------------------------

void updateDialogFlags(QtNode& n) {
    QWidget* w = n.widget;
    Qt::WindowFlags f = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (n.el->get("MINBOX") != "NO") f |= Qt::WindowMinimizeButtonHint;
    if (n.el->get("MAXBOX") != "NO") f |= Qt::WindowMaximizeButtonHint;
    if (n.el->get("TOPMOST") == "YES") f |= Qt::WindowStaysOnTopHint;
    if (w->windowFlags() == f) return;
    const bool visible = w->isVisible();
    w->setWindowFlags(f);
    if (visible) w->show();
}

bool applyDialog(QtNode& n, const std::string& a, const std::string& v) {
    QWidget* w = n.widget;
    if (a == "TITLE") {
        w->setWindowTitle(qs(v));
    } else if (a == "ICON") {
        QIcon icon = loadIcon(v);
        if (!icon.isNull()) w->setWindowIcon(icon);
    } else if (a == "RESIZE") {
        n.layout->setSizeConstraint(v == "NO" ? QLayout::SetFixedSize
                                              : QLayout::SetDefaultConstraint);
    } else if (a == "MINBOX" || a == "MAXBOX" || a == "TOPMOST") {
        updateDialogFlags(n);
    } else if (a == "MENU") {
        Element* bar = n.tk().find(v);
        if (bar && bar->kind() == Kind::MenuBar) {
            n.backend->build(*bar, &n);
            if (QtNode* b = nodeOf(*bar); b->menuBar) n.layout->setMenuBar(b->menuBar);
        }
    } else {
        return false;
    }
    return true;
}

bool applyMenu(QtNode& n, const std::string& a, const std::string& v) {
    if (a != "TITLE" || !n.menu) return false;
    n.menu->setTitle(title(v));
    return true;
}

bool applyAction(QtNode& n, const std::string& a, const std::string& v) {
    QAction* act = n.action;
    if (!act) return false;
    if (a == "TITLE") {
        act->setText(title(v));
    } else if (a == "VALUE") {
        Syncing s(n);
        if (n.el->kind() == Kind::Item) act->setCheckable(hasOnOff(*n.el));
        act->setChecked(v == "ON");
    } else if (a == "IMAGE") {
        act->setIcon(loadIcon(v));
    } else {
        return false;
    }
    return true;
}

// Buttons and toggle buttons: text, image, pressed state.
bool applyButton(QtNode& n, const std::string& a, const std::string& v) {
    if (n.inMenu) return applyAction(n, a, v);
    auto* b = qobject_cast<QAbstractButton*>(n.widget.data());
    if (!b) return false;
    if (a == "TITLE") {
        b->setText(title(v));
    } else if (a == "IMAGE" || a == "IMPRESS") {
        const bool pressed = n.el->isOn() && n.el->has("IMPRESS");
        b->setIcon(loadIcon(n.el->get(pressed ? "IMPRESS" : "IMAGE")));
    } else if (a == "VALUE") {
        Syncing s(n);
        if (n.el->kind() == Kind::Button) b->setCheckable(hasOnOff(*n.el));
        b->setChecked(v == "ON");
        if (n.el->has("IMPRESS")) b->setIcon(loadIcon(n.el->get(v == "ON" ? "IMPRESS" : "IMAGE")));
    } else {
        return false;
    }
    return true;
}

bool applyRadio(QtNode& n, const std::string& a, const std::string& v) {
    if (a != "VALUE") return false;
    // The named toggle is on, the others off.
    for (Element* c : n.el->children()) {
        if (c->kind() != Kind::Toggle) continue;
        const std::string state = c->name() == v ? "ON" : "OFF";
        if (c->get("VALUE") == state) continue;
        c->store("VALUE", state);
        n.backend->attributeSet(*c, "VALUE");
    }
    return true;
}

Qt::Alignment alignmentOf(const std::string& v) {
    Qt::Alignment al;
    if (v.rfind("ACENTER", 0) == 0 || v.rfind("CENTER", 0) == 0)
        al = Qt::AlignHCenter;
    else if (v.rfind("ARIGHT", 0) == 0 || v.rfind("RIGHT", 0) == 0)
        al = Qt::AlignRight;
    else
        al = Qt::AlignLeft;
    if (v.find("ATOP") != std::string::npos)
        al |= Qt::AlignTop;
    else if (v.find("ABOTTOM") != std::string::npos)
        al |= Qt::AlignBottom;
    else
        al |= Qt::AlignVCenter;
    return al;
}

bool applyLabel(QtNode& n, const std::string& a, const std::string& v) {
    auto* l = qobject_cast<QLabel*>(n.widget.data());
    if (!l) return false;
    if (a == "TITLE") {
        l->setText(qs(v));
    } else if (a == "IMAGE") {
        QIcon icon = loadIcon(v);
        l->setPixmap(icon.isNull() ? QPixmap() : icon.pixmap(24, 24));
    } else if (a == "ALIGNMENT") {
        l->setAlignment(alignmentOf(v));
    } else {
        return false;
    }
    return true;
}

bool applyText(QtNode& n, const std::string& a, const std::string& v) {
    auto* t = qobject_cast<QLineEdit*>(n.widget.data());
    if (!t) return false;
    if (a == "VALUE") {
        Syncing s(n);
        if (t->text() != qs(v)) t->setText(qs(v));
    } else if (a == "NC") {
        const int nc = n.el->getInt("NC");
        t->setMaxLength(nc > 0 ? nc : 32767);
    } else if (a == "READONLY") {
        t->setReadOnly(v == "YES");
    } else if (a == "ALIGNMENT") {
        t->setAlignment(alignmentOf(v));
    } else {
        return false;
    }
    return true;
}

bool applyMultiLine(QtNode& n, const std::string& a, const std::string& v) {
    auto* t = qobject_cast<QPlainTextEdit*>(n.widget.data());
    if (!t) return false;
    if (a == "VALUE") {
        Syncing s(n);
        if (t->toPlainText() != qs(v)) t->setPlainText(qs(v));
    } else if (a == "READONLY") {
        t->setReadOnly(v == "YES");
    } else {
        return false;
    }
    return true;
}

bool isItemNumber(const std::string& a) {
    return !a.empty() && a.find_first_not_of("0123456789") == std::string::npos;
}

bool applyList(QtNode& n, const std::string& a, const std::string&) {
    if (!isItemNumber(a) && a != "VALUE") return false;
    Syncing s(n);
    QStringList items;
    for (int i = 1;; ++i) {
        const std::string item = n.el->get(std::to_string(i));
        if (item.empty()) break;
        items << qs(item);
    }
    const int current = n.el->getInt("VALUE") - 1;
    if (applyTabBar(n, items, current)) return true;
    if (auto* c = qobject_cast<QComboBox*>(n.widget.data())) {
        QStringList shown;
        for (int i = 0; i < c->count(); ++i) shown << c->itemText(i);
        if (shown != items) {
            c->clear();
            c->addItems(items);
        }
        c->setCurrentIndex(current < items.size() ? current : -1);
    } else if (auto* l = qobject_cast<QListWidget*>(n.widget.data())) {
        QStringList shown;
        for (int i = 0; i < l->count(); ++i) shown << l->item(i)->text();
        if (shown != items) {
            l->clear();
            l->addItems(items);
        }
        l->setCurrentRow(current < items.size() ? current : -1);
    }
    return true;
}

bool applyValuator(QtNode& n, const std::string& a, const std::string&) {
    auto* sl = qobject_cast<QSlider*>(n.widget.data());
    if (!sl || a != "VALUE") return false;
    Syncing s(n);
    const double v = std::clamp(n.el->getDouble("VALUE"), 0.0, 1.0);
    sl->setValue(static_cast<int>(std::lround(v * kValuatorSteps)));
    return true;
}

Qt::CursorShape cursorOf(const std::string& v) {
    static const struct {
        const char* name;
        Qt::CursorShape shape;
    } cursors[] = {
        {"ARROW", Qt::ArrowCursor},         {"NONE", Qt::BlankCursor},
        {"NULL", Qt::BlankCursor},          {"CROSS", Qt::CrossCursor},
        {"BUSY", Qt::WaitCursor},           {"WAIT", Qt::WaitCursor},
        {"TEXT", Qt::IBeamCursor},          {"HAND", Qt::PointingHandCursor},
        {"MOVE", Qt::SizeAllCursor},        {"RESIZE_N", Qt::SizeVerCursor},
        {"RESIZE_S", Qt::SizeVerCursor},    {"RESIZE_E", Qt::SizeHorCursor},
        {"RESIZE_W", Qt::SizeHorCursor},    {"RESIZE_NE", Qt::SizeBDiagCursor},
        {"RESIZE_SW", Qt::SizeBDiagCursor}, {"RESIZE_NW", Qt::SizeFDiagCursor},
        {"RESIZE_SE", Qt::SizeFDiagCursor}, {"HELP", Qt::WhatsThisCursor},
        {"UPARROW", Qt::UpArrowCursor},
    };
    for (const auto& c : cursors)
        if (v == c.name) return c.shape;
    return Qt::ArrowCursor;
}

bool applyCanvas(QtNode& n, const std::string& a, const std::string& v) {
    static const char* const scroll[] = {"SCROLLBAR", "XMIN", "XMAX", "DX",  "POSX",
                                         "YMIN",      "YMAX", "DY",   "POSY"};
    if (a == "CURSOR") {
        n.widget->setCursor(cursorOf(v));
        return true;
    }
    for (const char* s : scroll) {
        if (a == s) {
            static_cast<QtCanvasWidget*>(n.widget.data())->updateBars();
            return true;
        }
    }
    return false;
}

bool applySwitch(QtNode& n, const std::string& a, const std::string& v) {
    auto* st = qobject_cast<QStackedWidget*>(n.widget.data());
    if (!st || a != "VALUE") return false;
    if (Element* child = n.tk().find(v); child && child->parent() == n.el)
        if (QtNode* c = nodeOf(*child); c->widget) st->setCurrentWidget(c->widget);
    return true;
}

bool applyBox(QtNode& n, const std::string& a, const std::string& v) {
    if (!n.layout) return false;
    if (a == "GAP") {
        n.layout->setSpacing(n.el->getInt("GAP"));
    } else if (a == "MARGIN") {
        int mx = 0, my = 0;
        std::sscanf(v.c_str(), "%dx%d", &mx, &my);
        n.layout->setContentsMargins(mx, my, mx, my);
    } else if (a == "TITLE" && n.el->kind() == Kind::Frame) {
        static_cast<QGroupBox*>(n.widget.data())->setTitle(title(v));
    } else {
        return false;
    }
    return true;
}

bool applyNothing(QtNode&, const std::string&, const std::string&) {
    return false;
}

// What "SIZE" and "RASTERSIZE" mean for a kind.
enum SizeRule {
    kFixedSize,     // controls: the size
    kMinimumSize,   // areas: the smallest size
    kPreferredSize, // the canvas: the size it asks for, shrinking when the window is small
};

struct KindOps {
    void (*create)(QtNode& n, QtNode* parent);
    bool (*apply)(QtNode& n, const std::string& attr, const std::string& value);
    SizeRule size;
};

// Indexed by ui::Kind.
const KindOps kKinds[] = {
    {createDialog, applyDialog, kMinimumSize},       // Dialog
    {createMenuBar, applyNothing, kMinimumSize},     // MenuBar
    {createMenu, applyMenu, kFixedSize},             // Menu
    {createMenu, applyMenu, kFixedSize},             // Submenu
    {createItem, applyAction, kFixedSize},           // Item
    {createSeparator, applyNothing, kFixedSize},     // Separator
    {createToggle, applyButton, kFixedSize},         // Toggle
    {createRadio, applyRadio, kMinimumSize},         // Radio
    {createButton, applyButton, kFixedSize},         // Button
    {createLabel, applyLabel, kFixedSize},           // Label
    {createText, applyText, kFixedSize},             // Text
    {createMultiLine, applyMultiLine, kMinimumSize}, // MultiLine
    {createList, applyList, kFixedSize},             // List
    {createValuator, applyValuator, kFixedSize},     // Valuator
    {createDial, applyNothing, kFixedSize},          // Dial
    {createCanvas, applyCanvas, kPreferredSize},     // Canvas
    {createSwitch, applySwitch, kMinimumSize},       // Switch
    {createHBox, applyBox, kMinimumSize},            // HBox
    {createVBox, applyBox, kMinimumSize},            // VBox
    {createFrame, applyBox, kMinimumSize},           // Frame
    {createFill, applyNothing, kMinimumSize},        // Fill
    {createTable, applyNothing, kMinimumSize},       // Table
};
static_assert(sizeof kKinds / sizeof kKinds[0] == static_cast<int>(Kind::Table) + 1);

const KindOps& opsOf(const Element& e) {
    return kKinds[static_cast<int>(e.kind())];
}

void applySize(QtNode& n, const std::string& a, const std::string& v) {
    QWidget* w = n.widget;
    QSize s(-1, -1);
    if (a == "SIZE") {
        s = charSize(v, w);
    } else {
        int x = -1, y = -1;
        std::sscanf(v.c_str(), "%dx%d", &x, &y);
        s = QSize(x, y);
    }
    if (n.el->kind() == Kind::Dialog) {
        w->resize(s.width() > 0 ? s.width() : w->width(),
                  s.height() > 0 ? s.height() : w->height());
    } else if (opsOf(*n.el).size == kPreferredSize) {
        static_cast<QtCanvasWidget*>(w)->setPreferredSize(s);
    } else if (opsOf(*n.el).size == kMinimumSize) {
        // A box's size across its direction is a strut, so that content
        // needing more room still gets it (a minimum would squeeze that
        // content); along the direction, and for other areas, a minimum.
        auto* box = qobject_cast<QBoxLayout*>(n.layout.data());
        const bool row = box && (box->direction() == QBoxLayout::LeftToRight ||
                                 box->direction() == QBoxLayout::RightToLeft);
        const bool column = box && !row;
        if (row && s.height() > 0) box->addStrut(s.height());
        if (column && s.width() > 0) box->addStrut(s.width());
        if (s.width() > 0 && !column) w->setMinimumWidth(s.width());
        if (s.height() > 0 && !row) w->setMinimumHeight(s.height());
    } else {
        if (s.width() > 0) w->setFixedWidth(s.width());
        if (s.height() > 0) w->setFixedHeight(s.height());
    }
}

void applyExpand(QtNode& n, const std::string& v) {
    const bool h = v == "YES" || v == "HORIZONTAL";
    const bool vert = v == "YES" || v == "VERTICAL";
    const QSizePolicy policy(h ? QSizePolicy::Expanding : QSizePolicy::Preferred,
                             vert ? QSizePolicy::Expanding : QSizePolicy::Preferred);
    n.widget->setSizePolicy(policy);
    if (n.outer) n.outer->setSizePolicy(policy);
}

// Attributes every kind understands.
bool applyCommon(QtNode& n, const std::string& a, const std::string& v) {
    QWidget* w = n.widget;
    QAction* act = n.inMenu ? n.action.data() : nullptr;
    if (a == "ACTIVE") {
        if (act)
            act->setEnabled(v != "NO");
        else if (w)
            w->setEnabled(v != "NO");
    } else if (a == "TIP") {
        if (act)
            act->setToolTip(qs(v));
        else if (w)
            w->setToolTip(qs(v));
    } else if (a == "FONT") {
        if (act)
            act->setFont(parseFont(v, act->font()));
        else if (w)
            w->setFont(parseFont(v, w->font()));
    } else if (a == "VISIBLE") {
        // A dialog's visibility belongs to show and hide.
        if (n.el->kind() == Kind::Dialog) return true;
        if (act)
            act->setVisible(v != "NO");
        else if (w)
            (n.outer ? n.outer.data() : w)->setVisible(v != "NO");
    } else if (a == "SIZE" || a == "RASTERSIZE") {
        if (w && !n.inMenu) applySize(n, a, v);
    } else if (a == "EXPAND") {
        if (w && !n.inMenu) applyExpand(n, v);
    } else {
        return false;
    }
    return true;
}

void place(QtNode& n, QtNode* parent) {
    if (!parent || !n.widget || n.inMenu) return;
    if (n.el->kind() == Kind::MenuBar) {
        if (parent->layout) parent->layout->setMenuBar(n.widget);
        return;
    }
    QWidget* placed = n.outer ? n.outer.data() : n.widget.data();
    if (auto* st = qobject_cast<QStackedWidget*>(parent->widget.data())) {
        st->addWidget(placed);
        return;
    }
    if (parent->layout) parent->layout->addWidget(placed);
}

void apply(QtNode& n, const std::string& a) {
    const std::string v = n.el->get(a);
    if (opsOf(*n.el).apply(n, a, v)) return;
    applyCommon(n, a, v);
}

} // namespace

void QtBackend::build(Element& e, QtNode* parent) {
    QtNode& n = *nodeOf(e);
    if (n.built) return;
    n.built = true;
    n.inMenu = false;
    opsOf(e).create(n, parent);
    if (n.widget) tagWidget(n.widget, &n);
    n.dialogWindow = parent ? parent->dialogWindow : n.widget;
    place(n, parent);
    applyAll(n);
    for (Element* c : e.children()) build(*c, &n);
    // Attributes that depend on the children.
    if (e.kind() == Kind::Switch) {
        if (!e.has("VALUE") && !e.children().empty()) e.store("VALUE", e.children()[0]->name());
        apply(n, "VALUE");
    } else if (e.kind() == Kind::Radio && e.has("VALUE")) {
        apply(n, "VALUE");
    } else if (e.kind() == Kind::List) {
        apply(n, "VALUE");
    } else if (e.kind() == Kind::Table) {
        tableChanged(e);
    }
}

void QtBackend::applyAll(QtNode& n) {
    std::vector<std::string> names;
    for (const auto& [a, v] : n.el->attributes()) names.push_back(a);
    // Images before the pressed state that chooses between them.
    for (const std::string& a : names)
        if (a != "VALUE") apply(n, a);
    if (n.el->has("VALUE")) apply(n, "VALUE");
}

void QtBackend::attributeSet(Element& e, const std::string& attr) {
    QtNode* n = nodeOf(e);
    if (n && n->built) apply(*n, attr);
}

} // namespace ui
