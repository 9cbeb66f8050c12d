// Life cycle of the Qt backend: the application object, dialogs shown and
// hidden, nested event loops, keys to K_ANY, and the drawing canvases.
#include "ui/qt/qtnode.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QScreen>
#include <algorithm>

namespace ui {

namespace {

// The backend that receives the keys of its dialogs (one at a time).
struct QtBackendState {
    QtBackend* current = nullptr;
};
QtBackendState& state() {
    static QtBackendState s;
    return s;
}

bool isKeyForDialogs(QObject* receiver, QEvent* ev) {
    return ev->type() == QEvent::KeyPress && state().current && receiver->isWidgetType() &&
           !qobject_cast<QMenu*>(receiver);
}

bool deliver(QObject* receiver, QEvent* ev) {
    auto* ke = static_cast<QKeyEvent*>(ev);
    const int key = translateKey(ke->key(), ke->modifiers(), ke->text());
    return key && state().current->deliverKey(static_cast<QWidget*>(receiver), key);
}

// The application object: a key pressed in a dialog goes to the dialog's
// K_ANY once, before the widget with the focus (and its parents) see it.
class KestrelApplication : public QApplication {
public:
    KestrelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    bool notify(QObject* receiver, QEvent* ev) override {
        if (isKeyForDialogs(receiver, ev) && deliver(receiver, ev)) return true;
        return QApplication::notify(receiver, ev);
    }
};

// With an application object made elsewhere, an application-wide filter
// does the same; it takes a key only at its first receiver, the widget with
// the focus (or a window when nothing has it), not again as the key travels
// to the parents.
class KeyFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* receiver, QEvent* ev) override {
        if (!isKeyForDialogs(receiver, ev)) return false;
        auto* w = static_cast<QWidget*>(receiver);
        QWidget* focus = QApplication::focusWidget();
        if (focus ? w != focus : !w->isWindow()) return false;
        return deliver(receiver, ev);
    }
};

} // namespace

struct QtBackend::Loop {
    QEventLoop loop;
    bool leave = false;
};

QApplication* QtBackend::createApplication(int& argc, char** argv) {
    auto* app = new KestrelApplication(argc, argv);
    // Windows are hidden and shown by the toolkit; only a handler ends the
    // program.
    app->setQuitOnLastWindowClosed(false);
    return app;
}

QtBackend::QtBackend(int& argc, char** argv) {
    if (!QApplication::instance()) ownApp_.reset(createApplication(argc, argv));
    if (!dynamic_cast<KestrelApplication*>(QApplication::instance())) {
        keyFilter_ = new KeyFilter;
        QApplication::instance()->installEventFilter(keyFilter_);
    }
    state().current = this;
}

QtBackend::~QtBackend() {
    // The elements are gone already: no widget signal may reach them.
    ++quiet_;
    closeWindows();
    for (auto& [e, c] : canvases_) c->owner_ = nullptr;
    canvases_.clear();
    if (state().current == this) state().current = nullptr;
    delete keyFilter_;
    nodes_.clear();
}

std::unique_ptr<Backend> makeQtBackend(int& argc, char** argv) {
    return std::make_unique<QtBackend>(argc, argv);
}

void QtBackend::created(Element& e) {
    nodes_.push_back(std::make_unique<QtNode>());
    QtNode* n = nodes_.back().get();
    n->backend = this;
    n->el = &e;
    n->kind = e.kind();
    e.native = n;
}

void QtBackend::appended(Element& parent, Element& child) {
    QtNode* p = nodeOf(parent);
    if (p && p->built && !nodeOf(child)->built) build(child, p);
}

QWidget* QtBackend::widget(const Element& e) const {
    QtNode* n = nodeOf(e);
    return n ? n->widget.data() : nullptr;
}

QAction* QtBackend::action(const Element& e) const {
    QtNode* n = nodeOf(e);
    return n ? n->action.data() : nullptr;
}

// ---- Dialogs ---------------------------------------------------------------

void QtBackend::map(Element& dialog) {
    QtNode* n = nodeOf(dialog);
    if (!n->built) build(dialog, nullptr);
}

QWidget* QtBackend::activeWindow() const {
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    if (QWidget* w = QApplication::activeWindow()) return w;
    for (const auto& n : nodes_)
        if (n->kind == Kind::Dialog && n->widget && n->widget->isVisible()) return n->widget;
    return nullptr;
}

void QtBackend::show(Element& dialog, int x, int y) {
    map(dialog);
    QtNode* n = nodeOf(dialog);
    QWidget* w = n->widget;
    if (!w) return;
    const bool first = !n->shown;
    n->shown = true;
    const QRect screen = w->screen() ? w->screen()->availableGeometry() : QRect();
    if (first) {
        w->adjustSize();
        if (dialog.has("SIZE") || dialog.has("RASTERSIZE"))
            attributeSet(dialog, dialog.has("RASTERSIZE") ? "RASTERSIZE" : "SIZE");
        // A window asked larger than the screen opens maximized: the window
        // manager fits it with its frame. Without one it takes the screen.
        if (screen.isValid() && (w->width() > screen.width() || w->height() > screen.height())) {
            w->resize(w->size().boundedTo(screen.size()).expandedTo(w->minimumSizeHint()));
            w->setWindowState(w->windowState() | Qt::WindowMaximized);
        }
    }
    if (x >= 0 && y >= 0) {
        w->move(x, y);
    } else if (first) {
        // Centred over the window the user works in, or on the screen.
        // Its top left corner stays on the screen, so that the title bar and
        // the menus can be reached.
        QWidget* over = activeWindow();
        QRect area = over && over != w ? over->frameGeometry() : screen;
        if (area.isValid()) {
            QRect frame = w->frameGeometry();
            frame.moveCenter(area.center());
            if (screen.isValid()) {
                frame.moveRight(std::min(frame.right(), screen.right()));
                frame.moveBottom(std::min(frame.bottom(), screen.bottom()));
                frame.moveLeft(std::max(frame.left(), screen.left()));
                frame.moveTop(std::max(frame.top(), screen.top()));
            }
            w->move(frame.topLeft());
        }
    }
    w->show();
    w->raise();
    w->activateWindow();
}

void QtBackend::hide(Element& dialog) {
    QWidget* w = widget(dialog);
    if (!w) return;
    w->hide();
    w->setWindowModality(Qt::NonModal);
}

void QtBackend::runLoop(Element* dialog) {
    if (dialog) {
        if (QWidget* w = widget(*dialog); w && w->windowModality() != Qt::ApplicationModal) {
            // Modality takes effect when the window is shown.
            const bool visible = w->isVisible();
            if (visible) w->hide();
            w->setWindowModality(Qt::ApplicationModal);
            if (visible) w->show();
        }
    }
    Loop loop;
    loops_.push_back(&loop);
    if (!loop.leave) loop.loop.exec();
    loops_.pop_back();
}

void QtBackend::leaveLoop() {
    if (loops_.empty()) return;
    loops_.back()->leave = true;
    loops_.back()->loop.exit();
}

void QtBackend::closeWindows() {
    ++quiet_;
    for (Loop* l : loops_) {
        l->leave = true;
        l->loop.exit();
    }
    // Deleting the top-level windows deletes everything inside them.
    for (const auto& n : nodes_) {
        if (n->widget && !n->widget->parentWidget()) delete n->widget.data();
        n->built = false;
    }
    --quiet_;
}

void QtBackend::close() {
    closeWindows();
}

// ---- Keys ------------------------------------------------------------------

bool QtBackend::deliverKey(QWidget* receiver, int key) {
    QtNode* n = nodeOfWidget(receiver);
    if (!n || !tk_ || quiet()) return false;
    Element* dialog = Toolkit::dialogOf(*n->el);
    if (!dialog) return false;
    // The element with the keyboard focus is the one the key was sent to.
    dialog->store("FOCUS", n->el == dialog ? std::string() : n->el->name());
    if (!dialog->has("K_ANY")) return false;
    return tk_->key(*dialog, key) == kIgnore;
}

// ---- Canvases --------------------------------------------------------------

QtBackend::BoundCanvas* QtBackend::canvasOf(const Element& e) const {
    auto it = canvases_.find(&e);
    return it == canvases_.end() ? nullptr : it->second;
}

std::unique_ptr<gfx::Canvas> QtBackend::createCanvas(Element& e) {
    QtNode* n = nodeOf(e);
    QWidget* w = n ? n->widget.data() : nullptr;
    int width = 640, height = 480;
    if (w && (w->isVisible() || w->testAttribute(Qt::WA_Resized))) {
        // The drawing area: what the scroll bars leave of the widget.
        const QSize area = static_cast<QtCanvasWidget*>(w)->area();
        width = area.width();
        height = area.height();
    } else if (std::string size = e.get("DRAWSIZE"); !size.empty()) {
        std::sscanf(size.c_str(), "%dx%d", &width, &height);
    }
    const double dpr = w ? w->devicePixelRatioF() : qApp->devicePixelRatio();
    const double wmm = w && w->width() > 0 ? w->widthMM() * double(width) / w->width() : 0;
    const double hmm = w && w->height() > 0 ? w->heightMM() * double(height) / w->height() : 0;
    auto c = std::make_unique<BoundCanvas>(this, &e, width, height, dpr, wmm, hmm);
    c->onFrontChanged = [n] {
        if (n && n->widget) n->widget->update();
    };
    e.store("DRAWSIZE", std::to_string(width) + "x" + std::to_string(height));
    canvases_[&e] = c.get();
    return c;
}

void QtBackend::resized(Element& e, int width, int height) {
    BoundCanvas* c = canvasOf(e);
    if (!c) return;
    QWidget* w = widget(e);
    const double dpr = w ? w->devicePixelRatioF() : c->devicePixelRatio();
    const double wmm = w && w->width() > 0 ? w->widthMM() * double(width) / w->width() : 0;
    const double hmm = w && w->height() > 0 ? w->heightMM() * double(height) / w->height() : 0;
    c->resizeSurface(width, height, dpr, wmm, hmm);
}

} // namespace ui
