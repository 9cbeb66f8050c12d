// The backend's own widgets (dialog window, canvas, dial) and the helpers
// that translate keys, images, fonts and sizes.
#include "ui/qt/qtnode.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QWheelEvent>
#include <cmath>
#include <map>
#include <numbers>

namespace ui {

// ---- Element of a widget ---------------------------------------------------

QtNode* nodeOf(const Element& e) {
    return static_cast<QtNode*>(e.native);
}

void tagWidget(QWidget* w, QtNode* n) {
    w->setProperty("kestrelNode", QVariant::fromValue(static_cast<void*>(n)));
}

QtNode* nodeOfWidget(const QWidget* w) {
    for (; w; w = w->parentWidget()) {
        QVariant v = w->property("kestrelNode");
        if (v.isValid()) return static_cast<QtNode*>(v.value<void*>());
    }
    return nullptr;
}

// ---- Dialog window ---------------------------------------------------------

QtDialogWindow::QtDialogWindow(QtNode* node) : QWidget(nullptr, Qt::Window), node_(node) {}

void QtDialogWindow::closeEvent(QCloseEvent* ev) {
    // The toolkit decides: CLOSE_CB may keep the window (-1), and otherwise
    // the toolkit hides it.
    ev->ignore();
    if (Toolkit* tk = node_->input()) tk->closeRequest(*node_->el);
}

// ---- Dial ------------------------------------------------------------------

QtDialWidget::QtDialWidget(QtNode* node) : node_(node) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::SizeVerCursor);
}

void QtDialWidget::setVertical(bool v) {
    vertical_ = v;
    setCursor(v ? Qt::SizeVerCursor : Qt::SizeHorCursor);
    updateGeometry();
}

QSize QtDialWidget::sizeHint() const {
    return vertical_ ? QSize(20, 90) : QSize(90, 20);
}

void QtDialWidget::turn(double radians) {
    if (radians == 0) return;
    angle_ += radians;
    update();
    if (Toolkit* tk = node_->input()) tk->turnDial(*node_->el, radians);
}

// A drag along the whole length of the wheel turns it by half a turn, as if
// the visible half of a cylinder were rolled.
void QtDialWidget::mousePressEvent(QMouseEvent* ev) {
    if (ev->button() != Qt::LeftButton) return;
    dragging_ = true;
    last_ = vertical_ ? -ev->position().y() : ev->position().x();
}

void QtDialWidget::mouseMoveEvent(QMouseEvent* ev) {
    if (!dragging_) return;
    double pos = vertical_ ? -ev->position().y() : ev->position().x();
    double length = std::max(1, vertical_ ? height() : width());
    double delta = (pos - last_) * std::numbers::pi / length;
    last_ = pos;
    turn(delta);
}

void QtDialWidget::mouseReleaseEvent(QMouseEvent* ev) {
    if (ev->button() == Qt::LeftButton) dragging_ = false;
}

void QtDialWidget::wheelEvent(QWheelEvent* ev) {
    // One notch (120 units, 15 degrees of the wheel) turns the dial by 15 degrees.
    double degrees = ev->angleDelta().y() / 8.0;
    turn(degrees * std::numbers::pi / 180.0);
    ev->accept();
}

void QtDialWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    const QColor base =
        isEnabled() ? palette().color(QPalette::Button) : palette().color(QPalette::Window);
    QLinearGradient g(vertical_ ? QPointF(r.left(), 0) : QPointF(0, r.top()),
                      vertical_ ? QPointF(r.right(), 0) : QPointF(0, r.bottom()));
    g.setColorAt(0, base.darker(130));
    g.setColorAt(0.5, base.lighter(115));
    g.setColorAt(1, base.darker(130));
    p.setPen(palette().color(QPalette::Mid));
    p.setBrush(g);
    p.drawRoundedRect(r, 3, 3);
    // Ridges at every 15 degrees of the wheel, projected on the visible half.
    const double length = vertical_ ? r.height() : r.width();
    const double step = std::numbers::pi / 12;
    double phase = std::fmod(angle_, step);
    if (phase < 0) phase += step;
    p.setPen(QPen(palette().color(QPalette::Dark), 1));
    for (double a = phase; a < std::numbers::pi; a += step) {
        double t = (1 - std::cos(a)) / 2 * length;
        if (vertical_) {
            double y = r.bottom() - t;
            p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
        } else {
            double x = r.left() + t;
            p.drawLine(QPointF(x, r.top() + 3), QPointF(x, r.bottom() - 3));
        }
    }
}

// ---- Keys ------------------------------------------------------------------

int translateKey(int qtKey, Qt::KeyboardModifiers mods, const QString& text) {
    switch (qtKey) {
    case Qt::Key_Escape:
        return K_ESC;
    case Qt::Key_Delete:
        return K_DEL;
    case Qt::Key_Backspace:
        return K_BS;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return K_CR;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return K_TAB;
    case Qt::Key_Left:
        return K_LEFT;
    case Qt::Key_Right:
        return K_RIGHT;
    case Qt::Key_Up:
        return K_UP;
    case Qt::Key_Down:
        return K_DOWN;
    case Qt::Key_PageUp:
        return K_PGUP;
    case Qt::Key_PageDown:
        return K_PGDN;
    case Qt::Key_Home:
        return K_HOME;
    case Qt::Key_End:
        return K_END;
    case Qt::Key_Insert:
        return K_INS;
    default:
        break;
    }
    if (mods.testFlag(Qt::ControlModifier)) {
        if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
            return ctrlKey(static_cast<char>('A' + (qtKey - Qt::Key_A)));
        return 0;
    }
    if (text.isEmpty()) return 0;
    const char32_t c = text.toUcs4().value(0);
    if (c < 32 || c == 127 || c >= static_cast<char32_t>(K_LEFT)) return 0;
    return static_cast<int>(c);
}

// ---- Images ----------------------------------------------------------------

namespace {
// Registered image names (module state: one struct, reset with the registry).
struct ImageRegistry {
    std::map<std::string, std::string> paths;
};
ImageRegistry& images() {
    static ImageRegistry r;
    return r;
}
} // namespace

void QtBackend::registerImage(const std::string& name, const std::string& path) {
    images().paths[name] = path;
}

QIcon loadIcon(const std::string& nameOrPath) {
    if (nameOrPath.empty()) return {};
    auto it = images().paths.find(nameOrPath);
    const QString path =
        QString::fromStdString(it != images().paths.end() ? it->second : nameOrPath);
    if (!QFileInfo::exists(path)) return {};
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        // Rendered here so that no icon engine plugin is needed.
        QSvgRenderer svg(path);
        if (!svg.isValid()) return {};
        QIcon icon;
        for (int side : {16, 24, 32, 48, 64}) {
            QPixmap pm(side, side);
            pm.fill(Qt::transparent);
            QPainter p(&pm);
            svg.render(&p);
            p.end();
            icon.addPixmap(pm);
        }
        return icon;
    }
    return QIcon(path);
}

// ---- Fonts and sizes -------------------------------------------------------

QFont parseFont(const std::string& font, const QFont& base) {
    QFont f = base;
    const QString s = QString::fromStdString(font).trimmed();
    if (s.isEmpty()) return f;
    auto family = [&](const QString& name) {
        const QString up = name.toUpper();
        if (up == "HELVETICA" || up == "ARIAL" || up == "SANS") {
            f.setFamily(QStringLiteral("Sans Serif"));
            f.setStyleHint(QFont::SansSerif);
        } else if (up == "COURIER" || up == "MONOSPACE") {
            f.setFamily(QStringLiteral("Monospace"));
            f.setStyleHint(QFont::TypeWriter);
        } else if (up == "TIMES" || up == "SERIF") {
            f.setFamily(QStringLiteral("Serif"));
            f.setStyleHint(QFont::Serif);
        } else if (up != "SYSTEM") {
            f.setFamily(name);
        }
    };
    if (s.contains(QLatin1Char(','))) {
        // "Family, Bold Italic 12"
        family(s.section(QLatin1Char(','), 0, 0).trimmed());
        const QStringList words =
            s.section(QLatin1Char(','), 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        f.setBold(false);
        f.setItalic(false);
        for (const QString& w : words) {
            bool ok = false;
            int size = w.toInt(&ok);
            if (ok && size > 0)
                f.setPointSize(size);
            else if (w.compare(QLatin1String("Bold"), Qt::CaseInsensitive) == 0)
                f.setBold(true);
            else if (w.compare(QLatin1String("Italic"), Qt::CaseInsensitive) == 0)
                f.setItalic(true);
        }
        return f;
    }
    // "HELVETICA_NORMAL_12", "COURIER_BOLD_10", "TIMES_BOLDITALIC_14"
    const QStringList parts = s.split(QLatin1Char('_'), Qt::SkipEmptyParts);
    if (parts.size() >= 1) family(parts[0]);
    if (parts.size() >= 2) {
        const QString style = parts.mid(1, parts.size() - 2).join(QString()).toUpper();
        f.setBold(style.contains(QLatin1String("BOLD")));
        f.setItalic(style.contains(QLatin1String("ITALIC")));
        bool ok = false;
        int size = parts.back().toInt(&ok);
        if (ok && size > 0) f.setPointSize(size);
    }
    return f;
}

QSize charSize(const std::string& size, const QWidget* w) {
    QSize out(-1, -1);
    const QString s = QString::fromStdString(size);
    const int x = s.indexOf(QLatin1Char('x'), 0, Qt::CaseInsensitive);
    const QString ws = x < 0 ? s : s.left(x), hs = x < 0 ? QString() : s.mid(x + 1);
    QFontMetrics fm(w ? w->font() : QFont());
    bool ok = false;
    int v = ws.toInt(&ok);
    if (ok && v > 0) out.setWidth((v * fm.averageCharWidth() + 3) / 4);
    v = hs.toInt(&ok);
    if (ok && v > 0) out.setHeight((v * fm.height() + 7) / 8);
    return out;
}

} // namespace ui
