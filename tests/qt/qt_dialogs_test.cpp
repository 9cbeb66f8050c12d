// The predefined dialogs of the Qt backend, answered through their widgets.
#include "qt_env.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace ui;

namespace {

using QtDialogs = kestrel_test::QtToolkitTest;

// Runs `answer` on the modal dialog as soon as it is shown (several times if
// it returns false: the dialog is still expected to be open).
void whenShown(std::function<bool(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            whenShown(answer);
            return;
        }
        if (!answer(w)) whenShown(answer);
    });
}

QPushButton* button(QWidget* dlg, const char* name) {
    return dlg->findChild<QPushButton*>(QString::fromLatin1(name));
}

} // namespace

TEST_F(QtDialogs, AlertReturnsTheButtonPressedOrZeroWhenClosed) {
    std::string shownText, shownTitle;
    whenShown([&](QWidget* w) {
        shownTitle = w->windowTitle().toStdString();
        shownText = w->findChild<QLabel*>()->text().toStdString();
        button(w, "button2")->click();
        return true;
    });
    const std::string text = "\n    Current frame has been modified.      \n";
    EXPECT_EQ(tk.alarm(" Kestrel Alert ", text, "  Save As & Exit  ", " Discard & Exit ",
                       "     Cancel     "),
              2);
    EXPECT_EQ(shownTitle, " Kestrel Alert ");
    EXPECT_EQ(shownText, text); // blanks and line breaks kept

    whenShown([](QWidget* w) {
        static_cast<QDialog*>(w)->reject();
        return true;
    });
    EXPECT_EQ(tk.alarm(" Kestrel Alert ", "text", "A", "B"), 0);

    std::string only;
    whenShown([&](QWidget* w) {
        only = button(w, "button1")->text().toStdString();
        EXPECT_EQ(button(w, "button2"), nullptr);
        button(w, "button1")->click();
        return true;
    });
    tk.message(" Kestrel Message ", "Done");
    EXPECT_EQ(only, "OK");
}

TEST_F(QtDialogs, ParamFormShowsFormattedValuesAndReturnsTyped) {
    ParamForm form;
    ASSERT_TRUE(ParamForm::parse("  Set window data limits:\nMinimum X = %10.10%10.3f\n"
                                 "Maximum X = %10.10%10.3f\n",
                                 form));
    form.fields[0].real = -1.5;
    form.fields[1].real = 12;
    tk.setLanguage("PORTUGUESE");
    std::vector<std::string> shown;
    int attempts = 0;
    whenShown([&](QWidget* w) {
        auto* f1 = w->findChild<QLineEdit*>("field1");
        auto* f2 = w->findChild<QLineEdit*>("field2");
        if (++attempts == 1) {
            shown = {f1->text().toStdString(), f2->text().toStdString(),
                     button(w, "ok")->text().toStdString(),
                     button(w, "cancel")->text().toStdString()};
            EXPECT_EQ(f1->maxLength(), 10);
            f1->setText("abc"); // not a number: the form stays open
            button(w, "ok")->click();
            return false;
        }
        EXPECT_TRUE(w->isVisible());
        f1->setText("2.5");
        f2->setText("1e1");
        button(w, "ok")->click();
        return true;
    });
    EXPECT_TRUE(tk.getParam(form));
    EXPECT_EQ(shown, (std::vector<std::string>{"    -1.500", "    12.000", "Confirma", "Cancela"}));
    EXPECT_EQ(attempts, 2);
    EXPECT_DOUBLE_EQ(form.fields[0].real, 2.5);
    EXPECT_DOUBLE_EQ(form.fields[1].real, 10.0);

    tk.setLanguage("ENGLISH");
    std::string cancelText;
    whenShown([&](QWidget* w) {
        cancelText = button(w, "cancel")->text().toStdString();
        w->findChild<QLineEdit*>("field1")->setText("99");
        button(w, "cancel")->click();
        return true;
    });
    EXPECT_FALSE(tk.getParam(form));
    EXPECT_EQ(cancelText, "Cancel");
    EXPECT_DOUBLE_EQ(form.fields[0].real, 2.5); // unchanged when cancelled
}

TEST_F(QtDialogs, FileDialogStatusAndPath) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString existing = dir.filePath("frame.kst");
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("211\n");
    }
    Element& req = tk.make(Kind::Dialog, "filedlg");
    auto choose = [&](const std::string& type, const QString& name) {
        req.store("DIALOGTYPE", type);
        req.store("TITLE", "Open Kestrel data file");
        req.store("FILTER", "*.kst");
        req.store("DIRECTORY", dir.path().toStdString());
        req.store("NOCHANGEDIR", "YES");
        whenShown([name](QWidget* w) {
            auto* fd = qobject_cast<QFileDialog*>(w);
            EXPECT_TRUE(fd);
            if (!fd) return true;
            EXPECT_EQ(fd->windowTitle(), "Open Kestrel data file");
            EXPECT_EQ(fd->nameFilters().value(0), "*.kst (*.kst)");
            if (name.isEmpty()) {
                fd->reject();
            } else {
                fd->selectFile(name);
                QMetaObject::invokeMethod(fd, "accept");
            }
            return true;
        });
        tk.fileDialog(req);
    };
    choose("OPEN", "frame.kst");
    EXPECT_EQ(req.get("STATUS"), "0");
    EXPECT_EQ(req.get("VALUE"), existing.toStdString());
    choose("SAVE", "new.kst");
    EXPECT_EQ(req.get("STATUS"), "1");
    EXPECT_EQ(req.get("VALUE"), dir.filePath("new.kst").toStdString());
    choose("OPEN", QString());
    EXPECT_EQ(req.get("STATUS"), "-1");
    EXPECT_EQ(req.get("VALUE"), "");
}
