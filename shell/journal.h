// Session journals: a text file of toolkit inputs, one per line, that a
// headless run replays (`kestrel --replay`) and that a real session writes
// as it goes (`kestrel --record`). docs/journal.md describes the format.
// The parser and writer are pure functions; replayJournal() drives a
// started program on the headless backend.
#pragma once

#include "ui/input.h"

#include <cstdio>
#include <string>
#include <vector>

namespace ui {
class HeadlessBackend;
class Toolkit;
} // namespace ui

namespace shell {

struct JournalEntry {
    int line = 0; // 1-based line number in the journal
    ui::Input input;
};

// Parses one line. Blank and comment lines give true with `isInput` false. A
// malformed line gives false and `error` says what was expected.
bool parseJournalLine(const std::string& line, ui::Input& in, bool& isInput, std::string& error);
// The journal line of an input (without a newline).
std::string formatJournalLine(const ui::Input& in);
// Parses a whole journal. On a malformed line: false and `error` reads
// "<name>:<line>: <what was expected>".
bool parseJournal(const std::string& text, const std::string& name, std::vector<JournalEntry>& out,
                  std::string& error);
bool readJournalFile(const std::string& path, std::vector<JournalEntry>& out, std::string& error);

// Replays the entries on a started program: each input with the dialog
// answers that follow it is queued and the main loop runs until it has used
// them. Every message and alert shown, with its answer, is written to `out`.
// Returns 0 when the journal ran to its end or the program left, 2 when a
// dialog found no answer or an answer found no dialog (reported on `err`
// with the line number).
int replayJournal(ui::Toolkit& tk, ui::HeadlessBackend& backend,
                  const std::vector<JournalEntry>& entries, const std::string& name, FILE* out,
                  FILE* err);

// Writes every input of the toolkit to a journal file as it happens.
class JournalRecorder {
public:
    JournalRecorder() = default;
    ~JournalRecorder();
    JournalRecorder(const JournalRecorder&) = delete;
    JournalRecorder& operator=(const JournalRecorder&) = delete;
    // Opens the file and installs the toolkit's recorder; false when the
    // file cannot be written.
    bool start(ui::Toolkit& tk, const std::string& path);
    void stop();

private:
    ui::Toolkit* tk_ = nullptr;
    FILE* file_ = nullptr;
};

} // namespace shell
