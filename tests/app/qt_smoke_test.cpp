// The program's start on the real Qt backend (offscreen platform): the main
// window, its canvas and a recorded journal.
#include "gfx/canvas.h"
#include "shell/journal.h"
#include "shell/startup.h"
#include "shell/state.h"
#include "ui/qt/qtbackend.h"

#include <QApplication>
#include <gtest/gtest.h>

#include "tests/app/run.h"

namespace {

int argc = 1;
char arg0[] = "test_app_qt";
char* argv[] = {arg0, nullptr};

class QtSmoke : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = ui::QtBackend::createApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        delete app;
        app = nullptr;
    }
    static QApplication* app;
};
QApplication* QtSmoke::app = nullptr;

TEST_F(QtSmoke, TheMainWindowOpensTitledWithItsCanvas) {
    ui::Toolkit tk(ui::makeQtBackend(argc, argv));
    ASSERT_EQ(shell::startUp(tk, ""), 0);
    EXPECT_EQ(tk.at("main").get("TITLE"), "Kestrel - Spanwork");
    EXPECT_EQ(tk.at("main").get("VISIBLE"), "YES");
    ASSERT_NE(shell::app().canvas, nullptr);
    EXPECT_STREQ(shell::app().canvas->driverName(), "qt");
    EXPECT_GT(shell::app().canvas->width(), 1);
    EXPECT_EQ(tk.at("modetext").get("VALUE"), "   None   ");
    QApplication::processEvents();
    ui::Event ev;
    EXPECT_EQ(tk.fireAction("Exit", ev), ui::kClose); // unmodified: leaves at once
    shell::shutDown(tk);
}

TEST_F(QtSmoke, ASessionOnTheQtBackendIsRecorded) {
    std::string path = ::testing::TempDir() + "qt_session.journal";
    ui::Toolkit tk(ui::makeQtBackend(argc, argv));
    shell::JournalRecorder rec;
    ASSERT_TRUE(rec.start(tk, path));
    ASSERT_EQ(shell::startUp(tk, "missing.kst"), 0);
    tk.toggle(tk.at("vbltnodenumb"));
    tk.toggle(tk.at("colorgraybg"));
    rec.stop();
    shell::shutDown(tk);
    const std::string s = testrun::readFile(path);
    EXPECT_NE(s.find("\ntoggle vbltnodenumb\ntoggle colorgraybg\n"), std::string::npos) << s;
    std::remove(path.c_str());
}

} // namespace
