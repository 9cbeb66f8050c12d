// The program's start on the real Qt backend (offscreen platform, the QApplication of
// tests/qt/qt_env.cpp): the main window, its canvas and a recorded journal.
#include "gfx/canvas.h"
#include "shell/journal.h"
#include "shell/startup.h"
#include "shell/state.h"
#include "tests/qt/qt_env.h"
#include "tests/support/golden.h"

#include <QApplication>

namespace {

using QtSmoke = kestrel_test::QtToolkitTest;

TEST_F(QtSmoke, TheMainWindowOpensTitledWithItsCanvas) {
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
    shell::JournalRecorder rec;
    ASSERT_TRUE(rec.start(tk, path));
    ASSERT_EQ(shell::startUp(tk, "missing.kst"), 0);
    tk.toggle(tk.at("vbltnodenumb"));
    tk.toggle(tk.at("colorgraybg"));
    rec.stop();
    shell::shutDown(tk);
    const std::string s = kestrel_test::readText(path);
    EXPECT_NE(s.find("\ntoggle vbltnodenumb\ntoggle colorgraybg\n"), std::string::npos) << s;
    std::remove(path.c_str());
}

} // namespace
