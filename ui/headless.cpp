// The headless backend: queue-driven loops and dialogs, recording canvases.
#include "ui/headless.h"

#include "ui/reach.h"

#include <cstdio>
#include <sstream>

namespace ui {

namespace {
// A dialog text on one line for an error message: each run of blanks and line
// breaks becomes one blank, none at the ends.
std::string oneLine(const std::string& text) {
    std::string s;
    bool blank = false;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\t' || c == '\r') {
            blank = !s.empty();
            continue;
        }
        if (blank) s += ' ';
        blank = false;
        s += c;
    }
    return s;
}
} // namespace

// A recording canvas that tells its backend when it goes away.
class HeadlessBackend::Canvas : public gfx::RecordingCanvas {
public:
    Canvas(HeadlessBackend* owner, const Element* e, int w, int h)
        : RecordingCanvas(w, h), owner_(owner), element_(e) {}
    ~Canvas() override {
        if (owner_) owner_->canvases_.erase(element_);
    }
    HeadlessBackend* owner_;
    const Element* element_;
};

HeadlessBackend::HeadlessBackend(int canvasWidth, int canvasHeight)
    : canvasW_(canvasWidth), canvasH_(canvasHeight) {}

HeadlessBackend::~HeadlessBackend() {
    for (auto& [e, c] : canvases_) c->owner_ = nullptr;
}

void HeadlessBackend::queueAlarm(int button) {
    Input in;
    in.type = Input::Type::AnswerAlarm;
    in.number = button;
    queue(in);
}

void HeadlessBackend::queueParam(const std::vector<std::string>& values) {
    Input in;
    in.type = Input::Type::AnswerParam;
    in.number = 1;
    in.values = values;
    queue(in);
}

void HeadlessBackend::queueParamCancel() {
    Input in;
    in.type = Input::Type::AnswerParam;
    in.number = 0;
    queue(in);
}

void HeadlessBackend::queueFile(int status, const std::string& path) {
    Input in;
    in.type = Input::Type::AnswerFile;
    in.number = status;
    in.text = path;
    queue(in);
}

gfx::RecordingCanvas* HeadlessBackend::canvasOf(const Element& e) const {
    auto it = canvases_.find(&e);
    return it == canvases_.end() ? nullptr : it->second;
}

void HeadlessBackend::say(const std::string& line) {
    transcript_.push_back(line);
    if (onTranscript) onTranscript(line);
}

void HeadlessBackend::error(const std::string& line) {
    errors_.push_back(line);
    if (echo_) std::fprintf(stderr, "headless: %s\n", line.c_str());
}

void HeadlessBackend::runLoop(Element* dialog) {
    leave_.push_back(false);
    while (!leave_.back()) {
        if (pending_.empty()) {
            if (dialog) {
                error("unanswered dialog: " + dialog->get("TITLE"));
                tk_->hide(*dialog);
            }
            break;
        }
        Input in = pending_.front();
        pending_.pop_front();
        if (in.isAnswer()) {
            error("an answer arrived while no dialog asked for one");
            continue;
        }
        if (in.type != Input::Type::Action && !tk_->find(in.target)) {
            error("no element named " + quoteForMessage(in.target));
            continue;
        }
        tk_->deliver(in);
    }
    leave_.pop_back();
}

void HeadlessBackend::leaveLoop() {
    if (!leave_.empty()) leave_.back() = true;
}

bool HeadlessBackend::takeAnswer(Input::Type type, const std::string& what, Input& out) {
    if (pending_.empty() || pending_.front().type != type) {
        error("unanswered " + what);
        return false;
    }
    out = pending_.front();
    pending_.pop_front();
    return true;
}

void HeadlessBackend::message(const std::string& title, const std::string& text) {
    say("message" + (title.empty() ? std::string() : " [" + title + "]") + ": " + text);
}

int HeadlessBackend::alarm(const std::string& title, const std::string& text,
                           const std::vector<std::string>& buttons) {
    std::string shown = "alert [" + title + "]: " + text;
    for (std::size_t i = 0; i < buttons.size(); ++i) shown += (i ? " | " : " {") + buttons[i];
    shown += "}";
    say(shown);
    Input in;
    if (!takeAnswer(Input::Type::AnswerAlarm, "alert: " + oneLine(text), in)) return 0;
    int b = in.number;
    if (b < 0 || b > static_cast<int>(buttons.size())) {
        error("alert has no button " + std::to_string(b) + ": " + text);
        return 0;
    }
    say("answer: " + (b == 0 ? std::string("closed") : buttons[b - 1]));
    return b;
}

bool HeadlessBackend::getParam(ParamForm& form) {
    say("form: " + form.title);
    Input in;
    if (!takeAnswer(Input::Type::AnswerParam, "form: " + oneLine(form.title), in)) return false;
    if (in.number == 0) {
        say("answer: cancelled");
        return false;
    }
    // An answer with more values than the form has fields was meant for
    // another form: it is malformed, not cut short.
    if (in.values.size() > form.fields.size()) {
        error("form answer with " + std::to_string(in.values.size()) + " values for a form of " +
              std::to_string(form.fields.size()) + " fields");
        return false;
    }
    std::ostringstream shown;
    for (std::size_t i = 0; i < form.fields.size() && i < in.values.size(); ++i) {
        if (!form.fields[i].assign(in.values[i])) {
            error("form field " + std::to_string(i + 1) + " cannot take " +
                  quoteForMessage(in.values[i]));
            return false;
        }
    }
    for (std::size_t i = 0; i < form.fields.size(); ++i)
        shown << (i ? "; " : "") << form.fields[i].display();
    say("answer: " + shown.str());
    return true;
}

void HeadlessBackend::fileDialog(Element& request) {
    say("file dialog: " + request.get("TITLE"));
    Input in;
    if (!takeAnswer(Input::Type::AnswerFile, "file dialog: " + oneLine(request.get("TITLE")), in)) {
        request.store("STATUS", "-1");
        request.store("VALUE", "");
        return;
    }
    request.store("STATUS", std::to_string(in.number));
    request.store("VALUE", in.text);
    say("answer: " + std::to_string(in.number) + " " + in.text);
}

std::unique_ptr<gfx::Canvas> HeadlessBackend::createCanvas(Element& e) {
    int w = canvasW_, h = canvasH_;
    std::string size = e.get("DRAWSIZE");
    if (!size.empty()) std::sscanf(size.c_str(), "%dx%d", &w, &h);
    e.store("DRAWSIZE", std::to_string(w) + "x" + std::to_string(h));
    auto c = std::make_unique<Canvas>(this, &e, w, h);
    c->setRecording(recordDrawings_);
    canvases_[&e] = c.get();
    return c;
}

void HeadlessBackend::resized(Element& e, int width, int height) {
    if (gfx::RecordingCanvas* c = canvasOf(e))
        c->resize(width, height, width * 25.4 / 96.0, height * 25.4 / 96.0);
}

} // namespace ui
