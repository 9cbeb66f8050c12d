// One Qt application for a whole test program, on the offscreen platform so
// that no display is needed: made before the first test and deleted after the
// last. A test program registers it once, at namespace scope:
//   const bool qtApp = kestrel_test::useQtApplication<QGuiApplication>();
// or with a factory of its own (the Qt toolkit's application, for instance).
#pragma once

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace kestrel_test {

inline int qtArgc = 1;
inline char qtArg0[] = "kestrel-test";
inline char* qtArgv[] = {qtArg0, nullptr};

using QtAppFactory = QCoreApplication* (*)(int& argc, char** argv);

inline bool useQtApplication(QtAppFactory make) {
    class Environment : public ::testing::Environment {
    public:
        explicit Environment(QtAppFactory make) : make_(make) {}
        void SetUp() override {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            app_ = make_(qtArgc, qtArgv);
        }
        void TearDown() override {
            delete app_;
            app_ = nullptr;
        }

    private:
        QtAppFactory make_;
        QCoreApplication* app_ = nullptr;
    };
    ::testing::AddGlobalTestEnvironment(new Environment(make));
    return true;
}

template <class App> bool useQtApplication() {
    return useQtApplication(
        [](int& argc, char** argv) -> QCoreApplication* { return new App(argc, argv); });
}

} // namespace kestrel_test
