// Fuzz target of session journals: the reader takes any bytes; a journal it
// accepts must write back to lines that read as the same inputs, and is then
// replayed on a program started on the headless toolkit, as `kestrel --replay`
// does. A crash, a sanitizer report or an abort is a finding; refused lines and
// failed replays are ordinary outcomes, but a failed replay must end with status
// 2 and exactly one error line that starts with "kestrel: " and the journal name.
#include "shell/journal.h"
#include "shell/startup.h"
#include "ui/ui.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// The transcript goes nowhere.
FILE* sink() {
    static FILE* f = std::fopen("/dev/null", "w");
    return f;
}

bool sameInput(const ui::Input& a, const ui::Input& b) {
    return a.type == b.type && a.target == b.target && a.text == b.text && a.number == b.number &&
           a.pressed == b.pressed && a.x == b.x && a.y == b.y && a.world == b.world &&
           a.value == b.value && a.mods == b.mods && a.values == b.values;
}

// Every accepted line, written and read again, gives the same input.
void checkRoundTrip(const std::vector<shell::JournalEntry>& entries) {
    for (const shell::JournalEntry& e : entries) {
        const std::string line = shell::formatJournalLine(e.input);
        ui::Input again;
        bool isInput = false;
        std::string error;
        if (!shell::parseJournalLine(line, again, isInput, error) || !isInput ||
            !sameInput(e.input, again)) {
            std::fprintf(stderr, "journal line %d written as \"%s\" does not read back: %s\n",
                         e.line, line.c_str(), error.c_str());
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<shell::JournalEntry> entries;
    std::string error;
    if (!shell::parseJournal(text, "fuzz.journal", entries, error)) return 0;
    checkRoundTrip(entries);

    auto owned = std::make_unique<shell::ReplayBackend>();
    shell::ReplayBackend& backend = *owned;
    ui::Toolkit tk(std::move(owned));
    if (shell::startUp(tk, "") != 0) std::abort();
    backend.load(std::move(entries));
    char* err = nullptr;
    std::size_t errSize = 0;
    FILE* errors = open_memstream(&err, &errSize);
    const int status = shell::replayJournal(tk, backend, "fuzz.journal", sink(), errors);
    shell::shutDown(tk);
    std::fclose(errors);
    const std::string report(err, errSize);
    std::free(err);
    const std::string head = "kestrel: fuzz.journal:";
    const bool reported =
        report.compare(0, head.size(), head) == 0 && report.find('\n') == report.size() - 1;
    if (status == 0 ? !report.empty() : status != 2 || !reported) {
        std::fprintf(stderr, "replay status %d with the report \"%s\"\n", status, report.c_str());
        std::abort();
    }
    return 0;
}
