// The main window on a 1024 x 768 screen (Qt's offscreen platform set to that
// size): it fits with its menus reachable, the attribute area scrolls, the
// tool bars wrap, the unit labels and value fields hold their longest texts,
// and every image the windows show is built into the program.
#include "app/images.h"
#include "shell/startup.h"
#include "tests/support/qt_app.h"
#include "ui/qt/qtbackend.h"
#include "units/units.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace {

// The application on Qt's offscreen platform with one 1024 x 768 screen.
const bool qtApp = kestrel_test::useQtApplication([](int& argc, char** argv) {
    const std::string config = ::testing::TempDir() + "screen-1024x768.json";
    std::ofstream(config) << R"({"screens": [{"name": "small", "x": 0, "y": 0,
        "width": 1024, "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + config.c_str());
    return static_cast<QCoreApplication*>(ui::QtBackend::createApplication(argc, argv));
});

class SmallScreen : public ::testing::Test {
protected:
    void SetUp() override {
        auto owned = ui::makeQtBackend(kestrel_test::qtArgc, kestrel_test::qtArgv);
        backend = static_cast<ui::QtBackend*>(owned.get());
        tk = std::make_unique<ui::Toolkit>(std::move(owned));
        ASSERT_EQ(shell::startUp(*tk, ""), 0);
        QApplication::processEvents();
    }
    void TearDown() override {
        shell::shutDown(*tk);
        tk.reset();
    }
    template <class W = QWidget> W* widget(const std::string& name) {
        return qobject_cast<W*>(backend->widget(tk->at(name)));
    }
    ui::QtBackend* backend = nullptr;
    std::unique_ptr<ui::Toolkit> tk;
};

TEST_F(SmallScreen, TheMainWindowFitsWithItsMenusOnTheScreen) {
    QWidget* main = widget("main");
    ASSERT_NE(main, nullptr);
    const QRect screen = main->screen()->availableGeometry();
    ASSERT_EQ(screen, QRect(0, 0, 1024, 768));
    EXPECT_TRUE(screen.contains(main->frameGeometry()))
        << main->frameGeometry().width() << "x" << main->frameGeometry().height();
    // Room for a window manager's title bar and a panel.
    EXPECT_LE(main->minimumSizeHint().width(), 1000);
    EXPECT_LE(main->minimumSizeHint().height(), 700);
    // Nothing is squeezed below its minimum (which would overlap its neighbours).
    for (const QWidget* w : main->findChildren<QWidget*>()) {
        if (!w->isVisible() || qobject_cast<const QScrollBar*>(w)) continue;
        const int least = w->minimumWidth() > 0 ? w->minimumWidth() : w->minimumSizeHint().width();
        EXPECT_GE(w->width(), least)
            << w->metaObject()->className() << " at " << w->x() << "," << w->y() << " in "
            << w->parentWidget()->metaObject()->className();
    }
    QMenuBar* bar = main->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(screen.contains(QRect(bar->mapToGlobal(QPoint(0, 0)), QSize(40, bar->height()))));
}

TEST_F(SmallScreen, ATallAttributePanelScrollsInsteadOfGrowingTheWindow) {
    QWidget* main = widget("main");
    const int before = main->minimumSizeHint().height();
    tk->at("mafmenu").append(tk->make(ui::Kind::VBox, "tallpanel", {{"RASTERSIZE", "200x2000"}}));
    // The new page's size reaches the scroll area through posted layout requests.
    for (int round = 0; round < 3; ++round) {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
    EXPECT_EQ(main->minimumSizeHint().height(), before);
    auto* scroll = qobject_cast<QScrollArea*>(widget("attmenu")->parentWidget()->parentWidget());
    ASSERT_NE(scroll, nullptr);
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
    EXPECT_GE(scroll->verticalScrollBar()->maximum(), 2000 - scroll->viewport()->height());
}

TEST_F(SmallScreen, TheToolBarsWrapOnANarrowWindow) {
    QLayout* row = widget("toolbars")->layout();
    ASSERT_TRUE(row->hasHeightForWidth());
    const int oneRow = row->heightForWidth(2000);
    EXPECT_EQ(oneRow, row->sizeHint().height());
    EXPECT_GE(row->heightForWidth(300), 3 * oneRow);
    // Narrower than the row, the window's minimum stays that of the widest tool bar.
    EXPECT_LT(row->minimumSize().width(), 300);
}

// Width left for text inside a label or a line edit.
int textRoom(const QWidget* w) {
    if (!qobject_cast<const QLineEdit*>(w)) return w->contentsRect().width();
    const int frame = w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
    const QMargins m = static_cast<const QLineEdit*>(w)->textMargins();
    return w->width() - 2 * frame - 4 - m.left() - m.right();
}

TEST_F(SmallScreen, UnitLabelsAndFieldsHoldTheirLongestTexts) {
    std::vector<std::string> lengthUnits; // what the unit labels show
    for (int code = 0; code <= 4; ++code) lengthUnits.push_back(units::unitLabelUtf8(code));
    // Six digits before the point with the two decimals of every preset format.
    const struct {
        std::vector<const char*> elements;
        std::vector<std::string> texts;
    } cases[] = {
        {{"hsizeunit", "vsizeunit", "gridstepxunit", "gridstepyunit", "resultstepunit"},
         lengthUnits},
        {{"htext", "vtext", "gridstepxtext", "gridstepytext", "resultsteptext"}, {"999999.99"}},
        {{"cursorxpos", "cursorypos"}, {"-999999.99 mm"}},
    };
    for (const auto& c : cases)
        for (const char* element : c.elements) {
            const QWidget* w = widget(element);
            ASSERT_NE(w, nullptr) << element;
            for (const std::string& text : c.texts)
                EXPECT_LE(w->fontMetrics().horizontalAdvance(QString::fromStdString(text)),
                          textRoom(w))
                    << element << " " << text;
        }
    const QLabel* mode = widget<QLabel>("modelabel");
    for (const char* title : {"Editing Mode:", "Influence Line Factor:", "Bending Moment:"})
        EXPECT_LE(mode->fontMetrics().horizontalAdvance(title), textRoom(mode)) << title;
}

TEST_F(SmallScreen, EveryImageOfTheWindowsIsBuiltIntoTheProgram) {
    for (const char* window : {"main", "about"})
        EXPECT_EQ(app::imagesNotBuiltIn(tk->at(window)), std::vector<std::string>{}) << window;

    // The check itself: only a resource of the program counts, each path is named once.
    const std::string onDisk = std::string(KESTREL_SOURCE_DIR) + "/shell/icons/new.svg";
    ui::Element& root =
        tk->make(ui::Kind::HBox, "imagetest", {},
                 {&tk->make(ui::Kind::Button, "", {{"IMAGE", ":/icons/new.svg"}}),
                  &tk->make(ui::Kind::Button, "", {{"IMAGE", onDisk}}),
                  &tk->make(ui::Kind::Toggle, "",
                            {{"IMAGE", ":/icons/open.svg"}, {"IMPRESS", ":/icons/gone.svg"}}),
                  &tk->make(ui::Kind::Button, "", {{"IMAGE", onDisk}}),
                  &tk->make(ui::Kind::Label, "", {{"IMAGE", "icons/save.svg"}})});
    EXPECT_EQ(app::imagesNotBuiltIn(root),
              (std::vector<std::string>{onDisk, ":/icons/gone.svg", "icons/save.svg"}));
}

} // namespace
