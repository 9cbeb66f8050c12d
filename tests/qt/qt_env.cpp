// One QApplication for the whole test program, on the offscreen platform so
// that no display is needed.
#include "qt_env.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

int argc = 1;
char arg0[] = "test_qt";
char* argv[] = {arg0, nullptr};

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = ui::QtBackend::createApplication(argc, argv);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

namespace kestrel_test {
int& qtArgc() {
    return argc;
}
char** qtArgv() {
    return argv;
}
} // namespace kestrel_test
