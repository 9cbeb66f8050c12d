// Key codes, fonts and sizes of the Qt backend, and the widgets not covered by
// the session tests: dial, multi-line text, menu items, image buttons.
#include "qt_env.h"
#include "ui/qt/qtnode.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace ui;

TEST(QtKeys, TranslationToToolkitCodes) {
    const auto none = Qt::NoModifier;
    EXPECT_EQ(translateKey(Qt::Key_Escape, none, "\x1b"), K_ESC);
    EXPECT_EQ(translateKey(Qt::Key_Delete, none, "\x7f"), K_DEL);
    EXPECT_EQ(translateKey(Qt::Key_Backspace, none, "\b"), K_BS);
    EXPECT_EQ(translateKey(Qt::Key_Return, none, "\r"), K_CR);
    EXPECT_EQ(translateKey(Qt::Key_Enter, Qt::KeypadModifier, "\r"), K_CR);
    EXPECT_EQ(translateKey(Qt::Key_Left, none, ""), K_LEFT);
    EXPECT_EQ(translateKey(Qt::Key_Right, none, ""), K_RIGHT);
    EXPECT_EQ(translateKey(Qt::Key_Up, none, ""), K_UP);
    EXPECT_EQ(translateKey(Qt::Key_Down, none, ""), K_DOWN);
    EXPECT_EQ(translateKey(Qt::Key_PageUp, none, ""), K_PGUP);
    EXPECT_EQ(translateKey(Qt::Key_PageDown, none, ""), K_PGDN);
    // "+" is Shift and "=" on most keyboards; the text decides.
    EXPECT_EQ(translateKey(Qt::Key_Plus, Qt::ShiftModifier, "+"), '+');
    EXPECT_EQ(translateKey(Qt::Key_Minus, none, "-"), '-');
    EXPECT_EQ(translateKey(Qt::Key_A, none, "a"), 'a');
    EXPECT_EQ(translateKey(Qt::Key_A, Qt::ShiftModifier, "A"), 'A');
    EXPECT_EQ(translateKey(Qt::Key_N, Qt::ControlModifier, "\x0e"), ctrlKey('N'));
    EXPECT_EQ(translateKey(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, ""), ctrlKey('Z'));
    EXPECT_EQ(translateKey(Qt::Key_1, Qt::ControlModifier, ""), 0);
    EXPECT_EQ(translateKey(Qt::Key_Shift, Qt::ShiftModifier, ""), 0);
    EXPECT_EQ(translateKey(Qt::Key_Eacute, none, QString::fromUtf8("é")), 0xE9);
}

TEST(QtKeys, FontNamesAndCharacterSizes) {
    QFont base;
    base.setPointSize(9);
    QFont f = parseFont("HELVETICA_BOLD_10", base);
    EXPECT_EQ(f.pointSize(), 10);
    EXPECT_TRUE(f.bold());
    EXPECT_FALSE(f.italic());
    EXPECT_EQ(f.styleHint(), QFont::SansSerif);
    f = parseFont("COURIER_NORMAL_12", base);
    EXPECT_EQ(f.pointSize(), 12);
    EXPECT_FALSE(f.bold());
    EXPECT_EQ(f.styleHint(), QFont::TypeWriter);
    f = parseFont("TIMES_BOLDITALIC_14", base);
    EXPECT_TRUE(f.bold());
    EXPECT_TRUE(f.italic());
    f = parseFont("DejaVu Sans, Italic 11", base);
    EXPECT_EQ(f.family(), "DejaVu Sans");
    EXPECT_TRUE(f.italic());
    EXPECT_EQ(f.pointSize(), 11);
    EXPECT_EQ(parseFont("", base), base);

    QWidget w;
    QFontMetrics fm(w.font());
    QSize s = charSize("40x15", &w);
    EXPECT_EQ(s.width(), (40 * fm.averageCharWidth() + 3) / 4);
    EXPECT_EQ(s.height(), (15 * fm.height() + 7) / 8);
    EXPECT_EQ(charSize("40x", &w).height(), -1);
    EXPECT_EQ(charSize("x16", &w).width(), -1);
    EXPECT_EQ(charSize("x16", &w).height(), 2 * fm.height());
}

using QtWidgets = kestrel_test::QtToolkitTest;

TEST_F(QtWidgets, DialReportsAngleChangesInRadians) {
    Element& dial = tk.make(Kind::Dial, "scaledial", {{"ACTION", "Turn"}, {"SIZE", "11x45"}});
    Element& dlg = tk.make(Kind::Dialog, "main", {}, {&dial});
    std::vector<double> turns;
    tk.bind("Turn", [&](Event& ev) {
        turns.push_back(ev.value);
        return kDefault;
    });
    tk.show(dlg);
    QWidget* w = backend().widget(dial);
    ASSERT_TRUE(w);
    // One wheel notch up: 15 degrees.
    QWheelEvent wheel(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &wheel);
    ASSERT_EQ(turns.size(), 1u);
    EXPECT_NEAR(turns[0], std::numbers::pi / 12, 1e-12);
    // Dragging up along the whole wheel turns it by half a turn.
    const double h = w->height();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, h), w->mapToGlobal(QPointF(5, h)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 0), w->mapToGlobal(QPointF(5, 0)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    ASSERT_EQ(turns.size(), 2u);
    EXPECT_NEAR(turns[1], std::numbers::pi, 1e-12);
    EXPECT_NEAR(dial.getDouble("VALUE"), std::numbers::pi * 13 / 12, 1e-5);
}

TEST_F(QtWidgets, MenuItemsMultiLineAndImageButtons) {
    QTemporaryDir dir;
    const QString off = dir.filePath("off.svg"), on = dir.filePath("on.svg");
    for (const auto& [path, color] : {std::pair{off, "black"}, std::pair{on, "red"}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 8 8'>"
                           "<rect width='8' height='8' fill='") +
                color + "'/></svg>");
    }
    QtBackend::registerImage("IMG_OFF", off.toStdString());
    Element& linear = tk.make(Kind::Item, "linear",
                              {{"TITLE", "Internal (Linear)"}, {"VALUE", "ON"}, {"ACTIVE", "NO"}});
    Element& units = tk.make(Kind::Item, "units",
                             {{"TITLE", "Units & Number Formatting..."}, {"ACTION", "Units"}});
    Element& info = tk.make(Kind::MultiLine, "infotxt", {{"VALUE", "line 1\nline 2"}});
    Element& step = tk.make(Kind::Button, "step",
                            {{"IMAGE", "IMG_OFF"},
                             {"IMPRESS", on.toStdString()},
                             {"VALUE", "OFF"},
                             {"TIP", "Honor step size"},
                             {"ACTION", "Step"}});
    Element& dlg = tk.make(
        Kind::Dialog, "main", {},
        {&tk.make(
             Kind::MenuBar, "", {},
             {&tk.make(Kind::Menu, "", {{"TITLE", "Options"}},
                       {&tk.make(Kind::Submenu, "", {{"TITLE", "Analysis"}}, {&linear}), &units})}),
         &info, &step});
    int unitsFired = 0, stepFired = 0;
    tk.bind("Units", [&](Event&) { return ++unitsFired, kDefault; });
    tk.bind("Step", [&](Event& ev) {
        ++stepFired;
        ev.element->set("VALUE", ev.element->isOn() ? "OFF" : "ON");
        return kDefault;
    });
    tk.show(dlg);

    QAction* a = backend().action(linear);
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->isCheckable());
    EXPECT_TRUE(a->isChecked());
    EXPECT_FALSE(a->isEnabled());
    QAction* u = backend().action(units);
    // The "&" is shown as a character (the icon text drops the ellipsis).
    EXPECT_EQ(u->iconText().toStdString(), "Units & Number Formatting");
    u->trigger();
    EXPECT_EQ(unitsFired, 1);
    EXPECT_FALSE(u->isCheckable());

    auto* text = qobject_cast<QPlainTextEdit*>(backend().widget(info));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->toPlainText(), "line 1\nline 2");
    text->setPlainText("typed");
    EXPECT_EQ(info.get("VALUE"), "typed");
    info.set("VALUE", "shown");
    EXPECT_EQ(text->toPlainText(), "shown");

    auto* button = qobject_cast<QToolButton*>(backend().widget(step));
    ASSERT_TRUE(button);
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_EQ(button->toolTip(), "Honor step size");
    const QImage released = button->icon().pixmap(8, 8).toImage();
    button->click(); // the handler shows it pressed
    EXPECT_EQ(stepFired, 1);
    EXPECT_EQ(step.get("VALUE"), "ON");
    EXPECT_TRUE(button->isChecked());
    const QImage pressed = button->icon().pixmap(8, 8).toImage();
    EXPECT_EQ(QColor(released.pixel(4, 4)), QColor(0, 0, 0));
    EXPECT_EQ(QColor(pressed.pixel(4, 4)), QColor(255, 0, 0));
}

TEST_F(QtWidgets, MenuNamedByTheDialogWithARadioGroup) {
    Element& white = tk.make(Kind::Toggle, "colorwhitebg",
                             {{"TITLE", "White Background"}, {"VALUE", "ON"}, {"ACTION", "Color"}});
    Element& gray =
        tk.make(Kind::Toggle, "colorgraybg", {{"TITLE", "Gray Background"}, {"ACTION", "Color"}});
    Element& bar =
        tk.make(Kind::MenuBar, "menubar", {},
                {&tk.make(Kind::Menu, "options", {{"TITLE", "Options"}},
                          {&tk.make(Kind::Submenu, "display", {{"TITLE", "Display"}},
                                    {&tk.make(Kind::Radio, "", {}, {&white, &gray})})})});
    Element& dlg = tk.make(Kind::Dialog, "main", {{"MENU", "menubar"}},
                           {&tk.make(Kind::Label, "", {{"TITLE", "body"}})});
    std::vector<std::string> fired;
    tk.bind("Color", [&](Event& ev) {
        fired.push_back(ev.element->name());
        return kDefault;
    });
    tk.show(dlg);
    QWidget* menuBar = backend().widget(bar);
    ASSERT_TRUE(menuBar);
    EXPECT_EQ(menuBar->window(), backend().widget(dlg));
    QAction* w = backend().action(white);
    QAction* g = backend().action(gray);
    ASSERT_TRUE(w && g);
    EXPECT_TRUE(w->isChecked());
    g->trigger();
    EXPECT_FALSE(w->isChecked());
    EXPECT_TRUE(g->isChecked());
    EXPECT_EQ(white.get("VALUE"), "OFF");
    g->trigger(); // the one that is on stays on
    EXPECT_TRUE(g->isChecked());
    EXPECT_EQ(fired, (std::vector<std::string>{"colorgraybg", "colorgraybg"}));
}
