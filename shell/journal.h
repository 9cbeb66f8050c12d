// Session journals: a text file of toolkit inputs, one per line, that a
// headless run replays (`kestrel --replay`) and that a real session writes
// as it goes (`kestrel --record`). docs/journal.md describes the format.
// The parser and writer are pure functions; replayJournal() drives a
// started program on the headless backend.
#pragma once

#include "ui/headless.h"
#include "ui/input.h"

#include <cstdio>
#include <string>
#include <vector>

namespace shell {

struct JournalEntry {
    int line = 0; // 1-based line number in the journal
    ui::Input input;
    // The line "summary": print the model summary (shell/edit/edit.h) instead of
    // delivering an input.
    bool summary = false;
    // The line "show ELEMENT ...": print what the elements show (a field's
    // text, a label's title, a list's chosen item; "@modified" and "@counts"
    // the frame's modified flag and its node and member counts) instead of an
    // input.
    std::vector<std::string> show;
    // Summary and show lines are notes of the replay, not inputs.
    bool isNote() const { return summary || !show.empty(); }
};

// Parses one line. Blank and comment lines give true with `isInput` false. A
// malformed line gives false and `error` says what was expected.
bool parseJournalLine(const std::string& line, ui::Input& in, bool& isInput, std::string& error);
// The journal line of an input (without a newline).
std::string formatJournalLine(const ui::Input& in);
// Parses a whole journal (a byte-order mark at its start is skipped). On a
// malformed line: false and `error` reads "<name>:<line>: expected <what> in
// "<the line>"", the line with its control bytes escaped and cut after 80
// characters.
bool parseJournal(const std::string& text, const std::string& name, std::vector<JournalEntry>& out,
                  std::string& error);
bool readJournalFile(const std::string& path, std::vector<JournalEntry>& out, std::string& error);

// The headless backend of a replay: its event loops take the journal's
// inputs in order, converting world positions to pixels with the canvas view
// of the moment each is delivered, and each predefined dialog takes the
// answer line that comes next. Each input is first checked as ui::admitInput()
// does: only what a user could do with the windows shown is delivered. The
// first fault (an input no user could give, an unanswered dialog, an answer
// that no dialog takes) stops every loop.
class ReplayBackend : public ui::HeadlessBackend {
public:
    ReplayBackend();
    void load(std::vector<JournalEntry> entries) {
        entries_ = std::move(entries);
        next_ = 0;
    }
    bool failed() const { return !failure_.empty(); }
    // "<line>: <what went wrong>" of the first fault.
    const std::string& failure() const { return failure_; }
    // True when every line was delivered.
    bool finished() const { return next_ >= entries_.size(); }
    // After the program left: an answer line right after the input that made
    // it leave was meant for a dialog that never came; that is a fault.
    void checkLeftOverAnswer();
    // Before the main loop: a dialog of start-up (the unit conversion of an
    // older model, the alert of a newer one) that found no answer is a fault.
    void checkStartUp();

    void attach(ui::Toolkit& tk) override;
    void runLoop(ui::Element* dialog) override;
    void leaveLoop() override;
    int alarm(const std::string& title, const std::string& text,
              const std::vector<std::string>& buttons) override;
    bool getParam(ui::ParamForm& form) override;
    void fileDialog(ui::Element& request) override;

private:
    ui::Toolkit* tk_ = nullptr;
    std::vector<JournalEntry> entries_;
    std::size_t next_ = 0;
    int line_ = 0; // line of the input being delivered
    std::vector<bool> leave_;
    std::string failure_;

    void fail(int line, const std::string& what);
    // Moves the next line into the answer queue when it is an answer.
    void stageAnswer();
};

// Runs a loaded replay on a started program: the main loop until the journal
// ends or the program leaves. Every message and alert shown, with its answer,
// is written to `out`. Returns 0, or 2 after a fault (written to `err` as
// "kestrel: <name>:<line>: <what went wrong>").
int replayJournal(ui::Toolkit& tk, ReplayBackend& backend, const std::string& name, FILE* out,
                  FILE* err);

// Writes every input of the toolkit to a journal file as it happens; a canvas
// resize to the size last recorded for that canvas is left out.
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
