// The predefined dialogs of the Qt backend: message box, alert, parameter
// form and file dialog. Each runs modally over the window the user works in.
#include "ui/qt/qtnode.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Texts of the predefined dialogs' buttons per toolkit language.
struct Texts {
    const char* language;
    const char* ok;
    const char* cancel;
};
const Texts kTexts[] = {
    {"ENGLISH", "OK", "Cancel"},
    {"PORTUGUESE", "Confirma", "Cancela"},
};

const Texts& textsFor(const std::string& language) {
    for (const Texts& t : kTexts)
        if (language == t.language) return t;
    return kTexts[0];
}

// A dialog with a text kept exactly as given (blanks and line breaks) and a
// row of buttons; the result is the number of the button pressed, 0 when the
// dialog was closed.
int textDialog(QWidget* parent, const std::string& title, const std::string& text,
               const std::vector<std::string>& buttons) {
    QDialog dlg(parent);
    dlg.setObjectName(QStringLiteral("kestrelAlert"));
    dlg.setWindowTitle(qs(title));
    auto* layout = new QVBoxLayout(&dlg);
    auto* label = new QLabel(qs(text));
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        // An "&" in a button text is shown, not taken as a mnemonic mark.
        auto* b = new QPushButton(qs(buttons[i]).replace(QLatin1Char('&'), QLatin1String("&&")));
        b->setObjectName(QStringLiteral("button%1").arg(i + 1));
        if (i == 0) b->setDefault(true);
        const int result = static_cast<int>(i) + 1;
        QObject::connect(b, &QPushButton::clicked, &dlg, [&dlg, result] { dlg.done(result); });
        row->addWidget(b);
    }
    row->addStretch();
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return dlg.exec();
}

} // namespace

void QtBackend::message(const std::string& title, const std::string& text) {
    textDialog(activeWindow(), title, text, {textsFor(tk_->language()).ok});
}

int QtBackend::alarm(const std::string& title, const std::string& text,
                     const std::vector<std::string>& buttons) {
    const int answer = textDialog(activeWindow(), title, text, buttons);
    return answer >= 0 && answer <= static_cast<int>(buttons.size()) ? answer : 0;
}

bool QtBackend::getParam(ParamForm& form) {
    const Texts& texts = textsFor(tk_->language());
    QDialog dlg(activeWindow());
    dlg.setObjectName(QStringLiteral("kestrelParamForm"));
    dlg.setWindowTitle(qs(form.title).trimmed());
    auto* layout = new QVBoxLayout(&dlg);
    auto* grid = new QGridLayout;
    std::vector<QLineEdit*> edits;
    for (std::size_t i = 0; i < form.fields.size(); ++i) {
        const ParamField& f = form.fields[i];
        auto* label = new QLabel(qs(f.label));
        label->setTextFormat(Qt::PlainText);
        auto* edit = new QLineEdit(qs(f.display()));
        edit->setObjectName(QStringLiteral("field%1").arg(i + 1));
        if (f.maxChars > 0) edit->setMaxLength(f.maxChars);
        const int chars = std::max(f.width, 4) + 2;
        edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * chars);
        label->setBuddy(edit);
        grid->addWidget(label, static_cast<int>(i), 0);
        grid->addWidget(edit, static_cast<int>(i), 1);
        edits.push_back(edit);
    }
    layout->addLayout(grid);
    auto* box = new QDialogButtonBox;
    QPushButton* ok = box->addButton(qs(texts.ok), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = box->addButton(qs(texts.cancel), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("ok"));
    cancel->setObjectName(QStringLiteral("cancel"));
    ok->setDefault(true);
    layout->addWidget(box);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Every field must read as a value of its type before the form closes;
    // a field that does not is selected for correction.
    QObject::connect(box, &QDialogButtonBox::accepted, &dlg, [&] {
        for (std::size_t i = 0; i < form.fields.size(); ++i) {
            ParamField probe = form.fields[i];
            if (!probe.assign(edits[i]->text().toStdString())) {
                edits[i]->setFocus();
                edits[i]->selectAll();
                QApplication::beep();
                return;
            }
        }
        for (std::size_t i = 0; i < form.fields.size(); ++i)
            form.fields[i].assign(edits[i]->text().toStdString());
        dlg.accept();
    });
    QObject::connect(box, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    if (!edits.empty()) {
        edits[0]->setFocus();
        edits[0]->selectAll();
    }
    return dlg.exec() == QDialog::Accepted;
}

void QtBackend::fileDialog(Element& request) {
    const bool save = request.get("DIALOGTYPE") == "SAVE";
    QFileDialog dlg(activeWindow(), qs(request.get("TITLE")));
    dlg.setObjectName(QStringLiteral("kestrelFileDialog"));
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // A name that does not exist may be chosen in both kinds: the status says so.
    dlg.setFileMode(QFileDialog::AnyFile);

    // "*.kst" or "*.kst;*.dat": one filter with its patterns, then all files.
    const QString filter = qs(request.get("FILTER")).trimmed();
    QStringList filters;
    if (!filter.isEmpty()) {
        const QString patterns = QString(filter).replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString info = qs(request.get("FILTERINFO"));
        filters << (info.isEmpty() ? patterns : info) + QStringLiteral(" (") + patterns +
                       QLatin1Char(')');
    }
    filters << QStringLiteral("* (*)");
    dlg.setNameFilters(filters);

    const QString dir = qs(request.get("DIRECTORY"));
    const QString file = qs(request.get("FILE"));
    if (!dir.isEmpty()) dlg.setDirectory(dir);
    if (!file.isEmpty()) {
        QFileInfo info(file);
        if (file.contains(QLatin1Char('/'))) dlg.setDirectory(info.absolutePath());
        dlg.selectFile(info.fileName());
    }
    if (request.has("EXTDEFAULT")) dlg.setDefaultSuffix(qs(request.get("EXTDEFAULT")));

    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) {
        request.store("STATUS", "-1");
        request.store("VALUE", "");
        return;
    }
    const QString path = dlg.selectedFiles().first();
    const QFileInfo chosen(path);
    request.store("STATUS", chosen.exists() ? "0" : "1");
    request.store("VALUE", path.toStdString());
    if (request.get("NOCHANGEDIR") == "NO") QDir::setCurrent(chosen.absolutePath());
}

} // namespace ui
