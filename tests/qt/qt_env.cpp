// One QApplication for the whole test program, made by the Qt toolkit as the
// program makes it, on the offscreen platform.
#include "qt_env.h"

#include <QApplication>

namespace {

const bool qtApp = kestrel_test::useQtApplication([](int& argc, char** argv) -> QCoreApplication* {
    return ui::QtBackend::createApplication(argc, argv);
});

} // namespace
