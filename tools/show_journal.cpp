// kestrel-show: opens the real main window, plays the inputs of a journal into
// it (world positions converted with the canvas view of the moment) and stays
// open, so that the documentation pictures can be taken from a real window:
//   xvfb-run kestrel-show JOURNAL [SCHEME [MODEL]]
// (SCHEME 0 to 3: the colour scheme; MODEL: the model file opened first)
// Journals that answer dialogs do not fit: the answers would have no dialog
// to go to on a real screen, so answer lines are refused.
#include "gfx/canvas.h"
#include "shell/edit/view.h"
#include "shell/files/filecommands.h"
#include "shell/journal.h"
#include "shell/mainwindow.h"
#include "shell/startup.h"
#include "shell/state.h"
#include "ui/qt/qtbackend.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kestrel-show JOURNAL [SCHEME [MODEL]]\n");
        return 2;
    }
    std::vector<shell::JournalEntry> entries;
    std::string error;
    if (!shell::readJournalFile(argv[1], entries, error)) {
        std::fprintf(stderr, "kestrel-show: %s\n", error.c_str());
        return 2;
    }
    const char* schemes[4] = {"colorwhitebg", "colorgraybg", "colorblackbg", "colorblackfg"};
    const int scheme = argc > 2 ? std::atoi(argv[2]) : 0;
    ui::QtBackend::registerImage("KESTREL_ICON", shell::iconPath("kestrel"));
    ui::Toolkit tk(ui::makeQtBackend(argc, argv));
    shell::StartupHooks hooks;
    hooks.openModel = [](const std::string& path) { return shell::openModelByName(path); };
    hooks.fitView = shell::fitView;
    if (shell::startUp(tk, argc > 3 ? argv[3] : "", hooks) != 0) return 1;
    QApplication::processEvents();
    for (const shell::JournalEntry& e : entries) {
        if (e.summary) continue;
        ui::Input in = e.input;
        if (in.isAnswer()) {
            std::fprintf(stderr, "kestrel-show: %s:%d: answers need a replay\n", argv[1], e.line);
            return 2;
        }
        if (in.world && shell::app().canvas) {
            const gfx::Point p = shell::app().canvas->worldToPixel(in.x, in.y);
            in.x = p.x;
            in.y = p.y;
            in.world = false;
        }
        // A commit with a value: the field holds that text first.
        if (in.type == ui::Input::Type::Commit && in.number == 1)
            if (ui::Element* f = tk.find(in.target)) f->setTyped(in.text);
        tk.deliver(in);
        QApplication::processEvents();
    }
    if (scheme > 0 && scheme < 4) tk.toggle(tk.at(schemes[scheme]));
    shell::runMainLoop(tk);
    shell::shutDown(tk);
    return 0;
}
