// The headless backend: elements stay records of attributes, canvases are
// recording canvases, and the event loops and predefined dialogs take their
// inputs from a queue. Tests and journal replays feed the queue; a dialog that
// finds no answer in it is an error that names the dialog, never a hang.
#pragma once

#include "gfx/record.h"
#include "ui/ui.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace ui {

class HeadlessBackend : public Backend {
public:
    explicit HeadlessBackend(int canvasWidth = 800, int canvasHeight = 600);
    ~HeadlessBackend() override;

    const char* name() const override { return "headless"; }

    // Queue of inputs and dialog answers, consumed in order.
    void queue(const Input& in) { pending_.push_back(in); }
    void queueAlarm(int button);
    void queueParam(const std::vector<std::string>& values); // confirmed
    void queueParamCancel();
    void queueFile(int status, const std::string& path);
    std::size_t pendingCount() const { return pending_.size(); }
    void clearQueue() { pending_.clear(); }

    // Errors (unanswered dialogs, unexpected answers); empty in a good run.
    const std::vector<std::string>& errors() const { return errors_; }
    // Whether each error is also written on the standard error stream (on by
    // default; off where the caller reports the errors itself).
    void echoErrors(bool on) { echo_ = on; }
    void clearErrors() { errors_.clear(); }
    // Every predefined dialog shown, with the answer given, as lines of text.
    const std::vector<std::string>& transcript() const { return transcript_; }
    std::function<void(const std::string&)> onTranscript;

    // The drawing canvas of a canvas element (null before createCanvas).
    gfx::RecordingCanvas* canvasOf(const Element& e) const;
    // Whether the canvases made from now on keep what is drawn (on by
    // default; off for a run that only writes files).
    void recordDrawings(bool on) { recordDrawings_ = on; }

    // The text last put on the clipboard.
    const std::string& clipboardText() const { return clipboard_; }
    void setClipboardText(const std::string& text) override { clipboard_ = text; }

    void attach(Toolkit& tk) override { tk_ = &tk; }
    void runLoop(Element* dialog) override;
    void leaveLoop() override;
    void message(const std::string& title, const std::string& text) override;
    int alarm(const std::string& title, const std::string& text,
              const std::vector<std::string>& buttons) override;
    bool getParam(ParamForm& form) override;
    void fileDialog(Element& request) override;
    std::unique_ptr<gfx::Canvas> createCanvas(Element& canvas) override;
    void resized(Element& canvas, int width, int height) override;

private:
    class Canvas;
    bool recordDrawings_ = true;
    Toolkit* tk_ = nullptr;
    int canvasW_, canvasH_;
    bool echo_ = true;
    std::deque<Input> pending_;
    std::vector<bool> leave_; // one flag per running loop
    std::vector<std::string> errors_;
    std::vector<std::string> transcript_;
    std::map<const Element*, Canvas*> canvases_;
    std::string clipboard_;

    void say(const std::string& line);
    void error(const std::string& line);
    // Takes the next input when it is an answer of the given type.
    bool takeAnswer(Input::Type type, const std::string& what, Input& out);
};

} // namespace ui
