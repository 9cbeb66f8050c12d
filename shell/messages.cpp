// Message boxes, alerts, the fatal path, prompts, the information page, the
// window title and the cursor position labels.
#include "shell/messages.h"

#include "shell/lengthtext.h"
#include "shell/panels/panels.h"
#include "shell/state.h"
#include "ui/ui.h"

#include <cstdio>
#include <cstdlib>
#include <new>

namespace shell {

namespace {
const char* const kMessageTitle = " Kestrel Message ";
const char* const kAlertTitle = " Kestrel Alert ";
const char* const kNoMemory = "\n Not enough memory \n";

void outOfMemory() {
    // Give back the handler first: showing the alert may itself allocate.
    std::set_new_handler(nullptr);
    fatalError(kNoMemory);
}
} // namespace

void message(const std::string& text) {
    if (AppState& a = app(); a.tk) a.tk->message(kMessageTitle, text);
}

int alert(const std::string& text, const std::string& b1, const std::string& b2,
          const std::string& b3) {
    AppState& a = app();
    return a.tk ? a.tk->alarm(kAlertTitle, text, b1, b2, b3) : 0;
}

int alertExit(const std::string& text) {
    int b = alert(text, " Continue ", "   Exit   ");
    if (b == 2) fatalExit();
    return b;
}

void fatalError(const std::string& text) {
    alert(text, " Error ");
    fatalExit();
}

void fatalExit() {
    std::fputs("\nkestrel: execution error.\n", stderr);
    std::fflush(stderr);
    std::exit(1);
}

void* allocate(std::size_t count, std::size_t size) {
    void* p = std::calloc(count ? count : 1, size ? size : 1);
    if (!p) fatalError(kNoMemory);
    return p;
}

void* reallocate(void* block, std::size_t size) {
    void* p = std::realloc(block, size ? size : 1);
    if (!p) fatalError(kNoMemory);
    return p;
}

void installOutOfMemoryHandler() {
    std::set_new_handler(outOfMemory);
}

void showPrompt(const std::string& text) {
    AppState& a = app();
    a.el.datatopmsg->set("TITLE", text);
    a.messageText = text;
    a.messageBlank = false;
}

void clearPrompt() {
    AppState& a = app();
    if (a.messageBlank) return;
    a.el.datatopmsg->set("TITLE", " ");
    a.messageText.assign(1, ' ');
    a.messageBlank = true;
}

void showInformation(const std::string& text) {
    AppState& a = app();
    a.el.infotxt->set("VALUE", text);
    a.el.attmenu->set("VALUE", "infoarea");
    releasePanelButtons();
    a.infoShown = true;
}

void restoreAttributePanel() {
    AppState& a = app();
    if (!a.infoShown) return;
    a.infoShown = false;
    showPanel(a.currentPanel);
}

void setWindowTitle(const std::string& shortName) {
    app().el.main->setf("TITLE", "Kestrel - Spanwork: %s", shortName.c_str());
}

void showCursorPosition(double x, double y) {
    AppState& a = app();
    a.el.cursorxpos->set("TITLE", lengthJoined(a.settings, kCursorFormatSlot, x));
    a.el.cursorypos->set("TITLE", lengthJoined(a.settings, kCursorFormatSlot, y));
}

void blankCursorPosition() {
    AppState& a = app();
    a.el.cursorxpos->set("TITLE", " ");
    a.el.cursorypos->set("TITLE", " ");
}

} // namespace shell
