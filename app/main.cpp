// Kestrel's entry point. A normal run uses the Qt toolkit backend;
//   kestrel [model.kst]
//   kestrel --record JOURNAL [model.kst]   also writes the session's journal
//   kestrel --replay JOURNAL [model.kst]   runs the journal on the headless backend
// Only the first model file argument is used; further arguments are ignored.
#include "shell/journal.h"
#include "shell/mainwindow.h"
#include "shell/startup.h"
#include "ui/headless.h"
#include "ui/ui.h"

#ifdef KESTREL_WITH_QT
#include "ui/qt/qtbackend.h"
#endif

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

int usage() {
    std::fputs("usage: kestrel [model.kst]\n"
               "       kestrel --record JOURNAL [model.kst]\n"
               "       kestrel --replay JOURNAL [model.kst]\n",
               stderr);
    return 2;
}

int replay(const std::string& journal, const std::string& file) {
    std::vector<shell::JournalEntry> entries;
    std::string error;
    if (!shell::readJournalFile(journal, entries, error)) {
        std::fprintf(stderr, "kestrel: %s\n", error.c_str());
        return 2;
    }
    auto owned = std::make_unique<shell::ReplayBackend>();
    shell::ReplayBackend& backend = *owned;
    ui::Toolkit tk(std::move(owned));
    if (int rc = shell::startUp(tk, file); rc != 0) return rc;
    backend.load(std::move(entries));
    int status = shell::replayJournal(tk, backend, journal, stdout, stderr);
    shell::shutDown(tk);
    return status;
}

std::unique_ptr<ui::Backend> screenBackend([[maybe_unused]] int& argc,
                                           [[maybe_unused]] char** argv) {
#ifdef KESTREL_WITH_QT
    ui::QtBackend::registerImage("KESTREL_ICON", shell::iconPath("kestrel"));
    return ui::makeQtBackend(argc, argv);
#else
    return std::make_unique<ui::HeadlessBackend>();
#endif
}

} // namespace

int main(int argc, char** argv) {
    std::string journal, file;
    bool replaying = false, recording = false;
    int first = 1;
    if (argc > 1 && (!std::strcmp(argv[1], "--replay") || !std::strcmp(argv[1], "--record"))) {
        if (argc < 3) return usage();
        replaying = !std::strcmp(argv[1], "--replay");
        recording = !replaying;
        journal = argv[2];
        first = 3;
    }
    if (argc > first) file = argv[first];
    if (replaying) return replay(journal, file);

    ui::Toolkit tk(screenBackend(argc, argv));
    shell::JournalRecorder recorder;
    if (recording && !recorder.start(tk, journal)) {
        std::fprintf(stderr, "kestrel: cannot write the journal %s\n", journal.c_str());
        return 2;
    }
    if (int rc = shell::startUp(tk, file); rc != 0) return rc;
    shell::runMainLoop(tk);
    recorder.stop();
    shell::shutDown(tk);
    return 0;
}
