// The canvas widget: shows the front image of its drawing canvas, reports
// mouse, leave and size events to the toolkit, and carries the optional
// scroll bars of the view.
#include "ui/qt/qtnode.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <cmath>

namespace ui {

namespace {

int buttonNumber(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return 1;
    case Qt::MiddleButton:
        return 2;
    case Qt::RightButton:
        return 3;
    default:
        return 0;
    }
}

Modifiers modifiersOf(Qt::KeyboardModifiers m) {
    Modifiers mods;
    mods.shift = m.testFlag(Qt::ShiftModifier);
    mods.control = m.testFlag(Qt::ControlModifier);
    return mods;
}

// Scroll bar resolution: the range XMIN..XMAX is this many steps.
constexpr int kBarSteps = 10000;

} // namespace

void QtCanvasWidget::setPreferredSize(QSize s) {
    preferred_ = QSize(s.width() > 0 ? s.width() : preferred_.width(),
                       s.height() > 0 ? s.height() : preferred_.height());
    updateGeometry();
}

QtCanvasWidget::QtCanvasWidget(QtNode* node)
    : node_(node), hbar_(new QScrollBar(Qt::Horizontal, this)),
      vbar_(new QScrollBar(Qt::Vertical, this)) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    hbar_->hide();
    vbar_->hide();
    QObject::connect(hbar_, &QScrollBar::valueChanged, this,
                     [this] { scrolled(hbar_, "XMIN", "XMAX", "POSX"); });
    QObject::connect(vbar_, &QScrollBar::valueChanged, this,
                     [this] { scrolled(vbar_, "YMIN", "YMAX", "POSY"); });
}

QSize QtCanvasWidget::area() const {
    return QSize(
        std::max(1, width() - (vbar_->isVisibleTo(this) ? vbar_->sizeHint().width() : 0)),
        std::max(1, height() - (hbar_->isVisibleTo(this) ? hbar_->sizeHint().height() : 0)));
}

void QtCanvasWidget::placeBars() {
    const QSize a = area();
    hbar_->setGeometry(0, a.height(), a.width(), height() - a.height());
    vbar_->setGeometry(a.width(), 0, width() - a.width(), a.height());
}

void QtCanvasWidget::updateBars() {
    const Element& e = *node_->el;
    const std::string mode = e.get("SCROLLBAR");
    const bool h = mode == "YES" || mode == "HORIZONTAL";
    const bool v = mode == "YES" || mode == "VERTICAL";
    const QSize before = area();
    ++syncing_;
    auto set = [&](QScrollBar* bar, bool shown, const char* minA, const char* maxA,
                   const char* sizeA, const char* posA) {
        bar->setVisible(shown);
        const double lo = e.getDouble(minA), hi = e.getDouble(maxA);
        const double span = hi - lo;
        if (!shown || span <= 0) {
            bar->setRange(0, 0);
            return;
        }
        const double page = std::clamp(e.getDouble(sizeA, span) / span, 0.0, 1.0);
        const int pageSteps = std::max(1, static_cast<int>(std::lround(page * kBarSteps)));
        bar->setPageStep(pageSteps);
        bar->setSingleStep(std::max(1, pageSteps / 10));
        bar->setRange(0, kBarSteps - pageSteps);
        bar->setValue(static_cast<int>(std::lround((e.getDouble(posA) - lo) / span * kBarSteps)));
    };
    set(hbar_, h, "XMIN", "XMAX", "DX", "POSX");
    set(vbar_, v, "YMIN", "YMAX", "DY", "POSY");
    --syncing_;
    placeBars();
    // Showing or hiding a bar changes the drawing area: reported once the
    // handler that changed the attribute has returned.
    if (area() != before && !resizePending_) {
        resizePending_ = true;
        QTimer::singleShot(0, this, [this] {
            resizePending_ = false;
            QResizeEvent ev(size(), size());
            resizeEvent(&ev);
        });
    }
}

void QtCanvasWidget::scrolled(QScrollBar* bar, const char* minAttr, const char* maxAttr,
                              const char* posAttr) {
    Toolkit* tk = node_->input();
    if (syncing_ || !tk) return;
    Element& e = *node_->el;
    const double lo = e.getDouble(minAttr), hi = e.getDouble(maxAttr);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%f", lo + (hi - lo) * bar->value() / kBarSteps);
    e.store(posAttr, buf);
    tk->canvasRepaint(e);
}

void QtCanvasWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QSize a = area();
    // The corner between the two scroll bars.
    if (a.width() < width() && a.height() < height())
        p.fillRect(QRect(a.width(), a.height(), width() - a.width(), height() - a.height()),
                   palette().window());
    auto* c = node_->backend->canvasOf(*node_->el);
    if (!c) {
        p.fillRect(QRect(QPoint(0, 0), a), Qt::white);
        return;
    }
    if (c->devicePixelRatio() != devicePixelRatioF() && !dprPending_) {
        // Moved to a screen of another pixel ratio: draw again, sharp.
        dprPending_ = true;
        QTimer::singleShot(0, this, [this] {
            dprPending_ = false;
            if (Toolkit* tk = node_->input()) {
                tk->canvasResize(*node_->el, area().width(), area().height());
                tk->canvasRepaint(*node_->el);
            }
        });
    }
    // The front image only: an expose never runs the drawing again.
    p.setClipRect(QRect(QPoint(0, 0), a));
    p.drawImage(QPointF(0, 0), c->front());
    const QSizeF shown = c->front().deviceIndependentSize();
    if (shown.width() < a.width())
        p.fillRect(QRectF(shown.width(), 0, a.width() - shown.width(), a.height()), Qt::white);
    if (shown.height() < a.height())
        p.fillRect(QRectF(0, shown.height(), a.width(), a.height() - shown.height()), Qt::white);
}

void QtCanvasWidget::resizeEvent(QResizeEvent*) {
    placeBars();
    Toolkit* tk = node_->input();
    if (!tk) return;
    Element& e = *node_->el;
    const QSize a = area();
    if (!node_->backend->canvasOf(e)) {
        e.store("DRAWSIZE", std::to_string(a.width()) + "x" + std::to_string(a.height()));
        return;
    }
    tk->canvasResize(e, a.width(), a.height());
    tk->canvasRepaint(e);
}

void QtCanvasWidget::button(QMouseEvent* ev, bool pressed) {
    int b = buttonNumber(ev->button());
    Toolkit* tk = node_->input();
    if (!b || !tk) return;
    const QPointF pos = ev->position();
    tk->canvasButton(*node_->el, b, pressed, static_cast<int>(std::floor(pos.x())),
                     static_cast<int>(std::floor(pos.y())), modifiersOf(ev->modifiers()));
}

void QtCanvasWidget::mousePressEvent(QMouseEvent* ev) {
    setFocus(Qt::MouseFocusReason);
    button(ev, true);
}

void QtCanvasWidget::mouseReleaseEvent(QMouseEvent* ev) {
    button(ev, false);
}

void QtCanvasWidget::mouseMoveEvent(QMouseEvent* ev) {
    Toolkit* tk = node_->input();
    if (!tk) return;
    const QPointF pos = ev->position();
    tk->canvasMotion(*node_->el, static_cast<int>(std::floor(pos.x())),
                     static_cast<int>(std::floor(pos.y())), modifiersOf(ev->modifiers()));
}

void QtCanvasWidget::leaveEvent(QEvent*) {
    if (Toolkit* tk = node_->input()) tk->canvasLeave(*node_->el);
}

} // namespace ui
