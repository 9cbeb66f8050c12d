// The test program's QApplication (the Qt toolkit's own, made once by
// qt_env.cpp) and a fixture with a toolkit on the Qt backend for each test.
#pragma once

#include "tests/support/qt_app.h"
#include "ui/qt/qtbackend.h"

#include <gtest/gtest.h>

namespace kestrel_test {

class QtToolkitTest : public ::testing::Test {
protected:
    QtToolkitTest() : tk(ui::makeQtBackend(qtArgc, qtArgv)) {}
    ui::QtBackend& backend() { return static_cast<ui::QtBackend&>(tk.backend()); }
    ui::Toolkit tk;
};

} // namespace kestrel_test
