// A scripted session through the Qt backend on the offscreen platform: real
// widgets, real key and mouse events, handlers bound by name.
#include "gfx/canvas.h"
#include "qt_env.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSlider>
#include <QStackedWidget>
#include <QTimer>
#include <cctype>
#include <gtest/gtest.h>

using namespace ui;

namespace {

class QtSession : public kestrel_test::QtToolkitTest {
protected:
    template <class W> W* widgetOf(const std::string& name) {
        return qobject_cast<W*>(backend().widget(tk.at(name)));
    }
};

void sendKey(QWidget* w, int qtKey, const QString& text = QString(),
             Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
    QApplication::sendEvent(w, &release);
}

void sendMouse(QWidget* w, QEvent::Type type, QPointF pos, Qt::MouseButton b,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent ev(type, pos, w->mapToGlobal(pos), b,
                   type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b), mods);
    QApplication::sendEvent(w, &ev);
}

} // namespace

TEST_F(QtSession, ButtonFieldAndKeyFilter) {
    Element& field = tk.make(Kind::Text, "field",
                             {{"VALUE", "12"}, {"ACTION", "FieldKey"}, {"COMMIT_CB", "FieldSet"}});
    Element& apply = tk.make(Kind::Button, "apply", {{"TITLE", "Apply"}, {"ACTION", "Apply"}});
    Element& label = tk.make(Kind::Label, "label", {{"TITLE", "Value:"}});
    Element& dlg = tk.make(Kind::Dialog, "main", {{"TITLE", "Session"}, {"K_ANY", "Keys"}},
                           {&tk.make(Kind::VBox, "", {}, {&label, &field, &apply})});
    std::vector<int> filtered;
    tk.bind("FieldKey", [&](Event& ev) {
        filtered.push_back(ev.key);
        return std::isdigit(ev.key) || ev.key == '.' || isControlKey(ev.key) ? kDefault : kIgnore;
    });
    std::string committed;
    tk.bind("FieldSet", [&](Event& ev) {
        committed = ev.text;
        return kDefault;
    });
    std::string seen;
    int applied = 0;
    tk.bind("Apply", [&](Event& ev) {
        ++applied;
        EXPECT_EQ(ev.element, &apply);
        seen = tk.at("field").get("VALUE");
        tk.at("label").set("TITLE", "Applied " + seen);
        return kDefault;
    });
    std::vector<std::pair<int, std::string>> keys;
    tk.bind("Keys", [&](Event& ev) {
        keys.emplace_back(ev.key, dlg.get("FOCUS"));
        return ev.key == K_ESC ? kIgnore : kDefault;
    });
    tk.show(dlg);
    QWidget* window = backend().widget(dlg);
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Session");

    auto* edit = widgetOf<QLineEdit>("field");
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->text(), "12");
    edit->setFocus();
    edit->end(false);
    sendKey(edit, Qt::Key_3, "3");
    sendKey(edit, Qt::Key_A, "a"); // rejected by the filter
    sendKey(edit, Qt::Key_Period, ".");
    sendKey(edit, Qt::Key_5, "5");
    EXPECT_EQ(edit->text(), "123.5");
    EXPECT_EQ(field.get("VALUE"), "123.5");
    EXPECT_EQ(filtered, (std::vector<int>{'3', 'a', '.', '5'}));
    sendKey(edit, Qt::Key_Backspace);
    EXPECT_EQ(field.get("VALUE"), "123.");
    sendKey(edit, Qt::Key_Return);
    EXPECT_EQ(committed, "123.");

    // Every key went to the dialog's K_ANY first, with the focus named.
    ASSERT_EQ(keys.size(), 6u);
    EXPECT_EQ(keys[0], std::make_pair(int('3'), std::string("field")));
    EXPECT_EQ(keys[4].first, K_BS);
    EXPECT_EQ(keys[5].first, K_CR);
    // A key consumed by K_ANY never reaches the field's filter.
    filtered.clear();
    sendKey(edit, Qt::Key_Escape);
    EXPECT_EQ(keys.back().first, K_ESC);
    EXPECT_TRUE(filtered.empty());
    sendKey(edit, Qt::Key_N, "\x0e", Qt::ControlModifier);
    EXPECT_EQ(keys.back().first, ctrlKey('N'));
    EXPECT_EQ(edit->text(), "123.");

    // The program sets the value; the button's handler reads it back.
    field.set("VALUE", "7.25");
    EXPECT_EQ(edit->text(), "7.25");
    auto* button = widgetOf<QAbstractButton>("apply");
    ASSERT_TRUE(button);
    button->click();
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(seen, "7.25");
    EXPECT_EQ(widgetOf<QLabel>("label")->text(), "Applied 7.25");

    // An inactive button does nothing.
    apply.set("ACTIVE", "NO");
    EXPECT_FALSE(button->isEnabled());
    button->click();
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(tk.press(apply), kIgnore);
}

TEST_F(QtSession, ModalDialogLeftByMinusThree) {
    Element& close = tk.make(Kind::Button, "close", {{"TITLE", "Close"}, {"ACTION", "Leave"}});
    Element& modal = tk.make(Kind::Dialog, "modal", {{"TITLE", "Modal"}}, {&close});
    Element& open = tk.make(Kind::Button, "open", {{"TITLE", "Open"}, {"ACTION", "Open"}});
    Element& dlg = tk.make(Kind::Dialog, "main", {{"TITLE", "Main"}}, {&open});
    std::vector<std::string> trace;
    tk.bind("Leave", [&](Event&) {
        trace.push_back("leave");
        return kClose;
    });
    tk.bind("Open", [&](Event&) {
        trace.push_back("open");
        // Press the modal dialog's button once its loop runs.
        QTimer::singleShot(0, [&] {
            trace.push_back(std::string("depth ") + std::to_string(tk.loopDepth()));
            QWidget* w = backend().widget(modal);
            trace.push_back(w && w->isVisible() && w->isModal() ? "shown modal" : "not shown");
            qobject_cast<QAbstractButton*>(backend().widget(close))->click();
        });
        tk.popup(modal);
        trace.push_back("after popup");
        return kDefault;
    });
    tk.show(dlg);
    qobject_cast<QAbstractButton*>(backend().widget(open))->click();
    EXPECT_EQ(trace,
              (std::vector<std::string>{"open", "depth 1", "shown modal", "leave", "after popup"}));
    EXPECT_FALSE(backend().widget(modal)->isVisible());
    EXPECT_EQ(tk.loopDepth(), 0);

    // The main loop runs until a handler returns -3 to it.
    QTimer::singleShot(0,
                       [&] { qobject_cast<QAbstractButton*>(backend().widget(close))->click(); });
    tk.show(modal);
    tk.mainLoop();
    EXPECT_EQ(trace.back(), "leave");
}

TEST_F(QtSession, CloseRequestKeepsOrHidesTheWindow) {
    Element& dlg = tk.make(Kind::Dialog, "main", {{"TITLE", "Main"}, {"CLOSE_CB", "Close"}},
                           {&tk.make(Kind::Label, "", {{"TITLE", "x"}})});
    int answer = kIgnore;
    tk.bind("Close", [&](Event&) { return answer; });
    tk.show(dlg);
    QWidget* w = backend().widget(dlg);
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    answer = kDefault;
    w->close();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(dlg.get("VISIBLE"), "NO");
    tk.show(dlg); // without a handler the window closes too
    tk.bind("Close", nullptr);
    w->close();
    EXPECT_EQ(dlg.get("VISIBLE"), "NO");
}

TEST_F(QtSession, TogglesListsValuatorAndSwitch) {
    Element& a = tk.make(Kind::Toggle, "a", {{"TITLE", "A"}, {"VALUE", "ON"}, {"ACTION", "T"}});
    Element& b = tk.make(Kind::Toggle, "b", {{"TITLE", "B"}, {"ACTION", "T"}});
    Element& check = tk.make(Kind::Toggle, "check", {{"TITLE", "Check"}, {"ACTION", "T"}});
    Element& list = tk.make(Kind::List, "list",
                            {{"DROPDOWN", "YES"},
                             {"1", "Diagram"},
                             {"2", "Influence Line"},
                             {"VALUE", "1"},
                             {"ACTION", "L"}});
    Element& val = tk.make(Kind::Valuator, "val", {{"ACTION", "V"}});
    Element& pageA = tk.make(Kind::Label, "pagea", {{"TITLE", "page A"}});
    Element& pageB = tk.make(Kind::Label, "pageb", {{"TITLE", "page B"}});
    Element& sw = tk.make(Kind::Switch, "sw", {}, {&pageA, &pageB});
    Element& item = tk.make(Kind::Toggle, "mitem", {{"TITLE", "Grid"}, {"ACTION", "T"}});
    Element& bar = tk.make(Kind::MenuBar, "bar", {},
                           {&tk.make(Kind::Menu, "opts", {{"TITLE", "Options"}}, {&item})});
    Element& dlg = tk.make(
        Kind::Dialog, "main", {{"TITLE", "Main"}},
        {&bar, &tk.make(Kind::VBox, "", {},
                        {&tk.make(Kind::Radio, "radio", {}, {&a, &b}), &check, &list, &val, &sw})});
    std::vector<std::string> events;
    tk.bind("T", [&](Event& ev) {
        events.push_back(ev.element->name() + "=" + std::to_string(ev.state));
        return kDefault;
    });
    tk.bind("L", [&](Event& ev) {
        events.push_back("list " + std::to_string(ev.item) + " " + std::to_string(ev.state) + " " +
                         ev.text);
        return kDefault;
    });
    tk.bind("V", [&](Event& ev) {
        events.push_back("val " + std::to_string(ev.value));
        return kDefault;
    });
    tk.show(dlg);

    // Radio group: pressing B turns A off, in the widgets and the elements.
    auto* wa = widgetOf<QAbstractButton>("a");
    auto* wb = widgetOf<QAbstractButton>("b");
    ASSERT_TRUE(wa && wb);
    EXPECT_TRUE(wa->isChecked());
    wb->click();
    EXPECT_EQ(a.get("VALUE"), "OFF");
    EXPECT_EQ(b.get("VALUE"), "ON");
    EXPECT_FALSE(wa->isChecked());
    EXPECT_TRUE(wb->isChecked());
    EXPECT_EQ(tk.at("radio").get("VALUE"), "b");
    wb->click(); // pressing the one that is on keeps it on
    EXPECT_TRUE(wb->isChecked());
    // A check box flips both ways; the program can set it back.
    auto* wc = widgetOf<QCheckBox>("check");
    EXPECT_EQ(check.get("VALUE"), "OFF");
    wc->click();
    wc->click();
    EXPECT_EQ(check.get("VALUE"), "OFF");
    wc->click();
    EXPECT_EQ(check.get("VALUE"), "ON");
    check.set("VALUE", "OFF");
    EXPECT_FALSE(wc->isChecked());
    // A menu toggle.
    QAction* act = backend().action(item);
    ASSERT_TRUE(act);
    EXPECT_TRUE(act->isCheckable());
    act->trigger();
    EXPECT_EQ(item.get("VALUE"), "ON");
    EXPECT_TRUE(act->isChecked());
    EXPECT_EQ(events,
              (std::vector<std::string>{"b=1", "b=1", "check=1", "check=0", "check=1", "mitem=1"}));
    events.clear();

    // Drop-down: choosing item 2 deselects 1 first.
    auto* combo = widgetOf<QComboBox>("list");
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentText(), "Diagram");
    emit combo->activated(1);
    EXPECT_EQ(list.get("VALUE"), "2");
    list.set("3", "Third");
    EXPECT_EQ(combo->count(), 3);
    list.set("VALUE", "3");
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(events, (std::vector<std::string>{"list 1 0 Diagram", "list 2 1 Influence Line"}));
    events.clear();

    // Valuator: a real value from 0 to 1 both ways.
    auto* slider = widgetOf<QSlider>("val");
    slider->setValue(250);
    EXPECT_EQ(val.get("VALUE"), "0.25");
    EXPECT_EQ(events, (std::vector<std::string>{"val 0.250000"}));
    val.set("VALUE", "0.75");
    EXPECT_EQ(slider->value(), 750);
    EXPECT_EQ(events.size(), 1u);

    // Switch shows the page named by VALUE.
    auto* stack = widgetOf<QStackedWidget>("sw");
    EXPECT_EQ(sw.get("VALUE"), "pagea");
    EXPECT_EQ(stack->currentWidget(), backend().widget(pageA));
    sw.set("VALUE", "pageb");
    EXPECT_EQ(stack->currentWidget(), backend().widget(pageB));
}

TEST_F(QtSession, CanvasEventsAndRepaintFromTheFrontImage) {
    Element& cv = tk.make(Kind::Canvas, "datascreen",
                          {{"ACTION", "Redraw"},
                           {"BUTTON_CB", "Bt"},
                           {"MOTION_CB", "Mv"},
                           {"LEAVEWINDOW_CB", "Leave"},
                           {"RESIZE_CB", "Resize"},
                           {"RASTERSIZE", "300x200"}});
    Element& dlg = tk.make(Kind::Dialog, "main", {{"TITLE", "Canvas"}}, {&cv});
    tk.map(dlg);
    std::unique_ptr<gfx::Canvas> canvas = tk.createCanvas(cv);
    ASSERT_TRUE(canvas);
    EXPECT_STREQ(canvas->driverName(), "qt");
    int redraws = 0;
    std::vector<std::string> events;
    tk.bind("Redraw", [&](Event&) {
        ++redraws;
        canvas->setBackground(6);
        canvas->clear();
        canvas->flush();
        return kDefault;
    });
    tk.bind("Resize", [&](Event& ev) {
        events.push_back("resize " + std::to_string(ev.width) + "x" + std::to_string(ev.height));
        return kDefault;
    });
    tk.bind("Bt", [&](Event& ev) {
        events.push_back("button " + std::to_string(ev.button) + (ev.pressed ? " down " : " up ") +
                         std::to_string(ev.x) + "," + std::to_string(ev.y) + " " +
                         ev.mods.letters());
        return kDefault;
    });
    tk.bind("Mv", [&](Event& ev) {
        events.push_back("motion " + std::to_string(ev.x) + "," + std::to_string(ev.y));
        return kDefault;
    });
    tk.bind("Leave", [&](Event&) {
        events.push_back("leave");
        return kDefault;
    });
    tk.show(dlg);
    QWidget* w = backend().widget(cv);
    ASSERT_TRUE(w);
    QApplication::processEvents();
    ASSERT_GE(w->width(), 300);
    EXPECT_EQ(canvas->width(), w->width());
    EXPECT_EQ(canvas->height(), w->height());
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events[0],
              "resize " + std::to_string(w->width()) + "x" + std::to_string(w->height()));
    EXPECT_EQ(redraws, 1);

    // An expose paints the front image without running the drawing again.
    QImage shot = w->grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(0, 0, 255));
    EXPECT_EQ(redraws, 1);

    events.clear();
    sendMouse(w, QEvent::MouseButtonPress, QPointF(10.4, 20.7), Qt::LeftButton, Qt::ShiftModifier);
    sendMouse(w, QEvent::MouseMove, QPointF(15, 25), Qt::NoButton);
    sendMouse(w, QEvent::MouseButtonRelease, QPointF(15, 25), Qt::RightButton, Qt::ControlModifier);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w, &leave);
    EXPECT_EQ(events, (std::vector<std::string>{"button 1 down 10,20 S ", "motion 15,25",
                                                "button 3 up 15,25  C", "leave"}));

    // Scroll bars mirror the view's scroll attributes and leave a smaller
    // drawing area; moving one stores the new position and asks for a repaint.
    events.clear();
    const int fullHeight = canvas->height();
    cv.set("XMIN", "0.000000");
    cv.set("XMAX", "30.000000");
    cv.set("DX", "10.000000");
    cv.set("POSX", "10.000000");
    cv.set("SCROLLBAR", "HORIZONTAL");
    EXPECT_TRUE(events.empty()); // the new size comes after the handler returned
    QApplication::processEvents();
    QScrollBar* hbar = nullptr;
    for (QScrollBar* b : w->findChildren<QScrollBar*>())
        if (b->orientation() == Qt::Horizontal) hbar = b;
    ASSERT_TRUE(hbar);
    EXPECT_TRUE(hbar->isVisible());
    EXPECT_EQ(hbar->value(), 3333);
    EXPECT_EQ(hbar->maximum(), 10000 - 3333);
    EXPECT_LT(canvas->height(), fullHeight);
    EXPECT_EQ(canvas->height(), fullHeight - hbar->height());
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].rfind("resize ", 0), 0u);
    const int before = redraws;
    hbar->setValue(5000);
    EXPECT_EQ(cv.get("POSX"), "15.000000");
    EXPECT_EQ(redraws, before + 1);
    cv.set("SCROLLBAR", "NO");
    QApplication::processEvents();
    EXPECT_FALSE(hbar->isVisible());
    EXPECT_EQ(canvas->height(), fullHeight);

    cv.set("CURSOR", "NONE");
    EXPECT_EQ(w->cursor().shape(), Qt::BlankCursor);
    cv.set("CURSOR", "ARROW");
    EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor);
}
