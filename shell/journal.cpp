// Parsing, writing, replaying and recording session journals.
#include "shell/journal.h"

#include "fileio/fileio.h"
#include "gfx/canvas.h"
#include "model/model.h"
#include "shell/edit/edit.h"
#include "shell/state.h"
#include "ui/headless.h"
#include "ui/reach.h"
#include "ui/ui.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>

namespace shell {

using ui::Input;
using Type = ui::Input::Type;

namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

// Splits a line into words and double-quoted strings (escapes \n \t \" \\).
// An unquoted word starting with "#" ends the line.
bool tokenize(const std::string& line, std::vector<Token>& out, std::string& error) {
    std::size_t i = 0;
    while (i < line.size()) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#') break;
        Token t;
        if (c == '"') {
            t.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char d = line[i++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d == '\\' && i < line.size()) {
                    char e = line[i++];
                    d = e == 'n' ? '\n' : e == 't' ? '\t' : e;
                }
                t.text += d;
            }
            if (!closed) {
                error = "a closing '\"'";
                return false;
            }
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
                t.text += line[i++];
        }
        out.push_back(std::move(t));
    }
    return true;
}

std::string quote(const std::string& s) {
    std::string q = "\"";
    for (char c : s) {
        if (c == '\n')
            q += "\\n";
        else if (c == '\t')
            q += "\\t";
        else if (c == '"' || c == '\\')
            q += std::string("\\") + c;
        else
            q += c;
    }
    return q + "\"";
}

// A decimal integer that fits an int: no blanks, no wrap-around.
bool toInt(const std::string& s, int& v) {
    if (s.empty() || std::isspace(static_cast<unsigned char>(s[0]))) return false;
    char* end = nullptr;
    errno = 0;
    long long n = std::strtoll(s.c_str(), &end, 10);
    if (*end || errno == ERANGE || n < INT_MIN || n > INT_MAX) return false;
    v = static_cast<int>(n);
    return true;
}

// A finite decimal number.
bool toDouble(const std::string& s, double& v) {
    if (s.empty() || std::isspace(static_cast<unsigned char>(s[0]))) return false;
    char* end = nullptr;
    v = std::strtod(s.c_str(), &end);
    return *end == 0 && std::isfinite(v);
}

// A canvas position: pixels within a screen's range, or world metres.
bool toPosition(const std::string& s, bool world, double& v) {
    if (!toDouble(s, v)) return false;
    return world || (v >= ui::kMinPixel && v <= ui::kMaxPixel);
}

bool hasWord(const std::vector<Token>& t, std::size_t from, const char* word) {
    for (std::size_t i = from; i < t.size(); ++i)
        if (!t[i].quoted && t[i].text == word) return true;
    return false;
}

std::string number(double v) {
    char buf[40];
    if (v == std::trunc(v) && std::fabs(v) < 1e15) {
        std::snprintf(buf, sizeof buf, "%.0f", v);
        return buf;
    }
    // The shortest text that reads back the same value.
    for (int p = 1; p <= 17; ++p) {
        std::snprintf(buf, sizeof buf, "%.*g", p, v);
        if (std::strtod(buf, nullptr) == v) break;
    }
    return buf;
}

struct KeyName {
    const char* name;
    int code;
};
const KeyName kKeyNames[] = {
    {"BS", ui::K_BS},     {"TAB", ui::K_TAB},   {"CR", ui::K_CR},     {"ESC", ui::K_ESC},
    {"SP", ui::K_SP},     {"DEL", ui::K_DEL},   {"LEFT", ui::K_LEFT}, {"RIGHT", ui::K_RIGHT},
    {"UP", ui::K_UP},     {"DOWN", ui::K_DOWN}, {"PGUP", ui::K_PGUP}, {"PGDN", ui::K_PGDN},
    {"HOME", ui::K_HOME}, {"END", ui::K_END},   {"INS", ui::K_INS},
};

bool parseKey(const Token& t, int& key) {
    if (t.quoted) {
        if (t.text.size() != 1) return false;
        key = static_cast<unsigned char>(t.text[0]);
        return true;
    }
    for (const KeyName& k : kKeyNames)
        if (t.text == k.name) {
            key = k.code;
            return true;
        }
    if (t.text.size() == 6 && t.text.compare(0, 5, "Ctrl+") == 0 &&
        std::isalpha(static_cast<unsigned char>(t.text[5]))) {
        key = ui::ctrlKey(t.text[5]);
        return true;
    }
    return toInt(t.text, key) && ui::isKeyCode(key);
}

std::string keyText(int key) {
    for (const KeyName& k : kKeyNames)
        if (key == k.code) return k.name;
    if (ui::isCtrlKey(key) && (key & ~ui::kCtrlBit) >= 'A' && (key & ~ui::kCtrlBit) <= 'Z')
        return std::string("Ctrl+") + static_cast<char>(key & ~ui::kCtrlBit);
    if (key > 32 && key < 127) return quote(std::string(1, static_cast<char>(key)));
    return std::to_string(key);
}

// Optional words after a canvas position: "world", "shift", "ctrl".
bool parsePositionFlags(const std::vector<Token>& t, std::size_t from, Input& in,
                        std::string& error) {
    for (std::size_t i = from; i < t.size(); ++i) {
        if (t[i].quoted) {
            error = "\"world\", \"shift\" or \"ctrl\"";
            return false;
        }
        if (t[i].text == "world")
            in.world = true;
        else if (t[i].text == "shift")
            in.mods.shift = true;
        else if (t[i].text == "ctrl")
            in.mods.control = true;
        else {
            error = "\"world\", \"shift\" or \"ctrl\" instead of " + ui::quoteForMessage(t[i].text);
            return false;
        }
    }
    return true;
}

std::string positionFlags(const Input& in) {
    std::string s;
    if (in.world) s += " world";
    if (in.mods.shift) s += " shift";
    if (in.mods.control) s += " ctrl";
    return s;
}

struct Verb {
    const char* word;
    Type type;
    const char* usage; // what the words after the verb must be
};
const Verb kVerbs[] = {
    {"action", Type::Action, "action NAME"},
    {"press", Type::Press, "press ELEMENT"},
    {"toggle", Type::Toggle, "toggle ELEMENT"},
    {"select", Type::Select, "select ELEMENT ITEM"},
    {"type", Type::Type, "type ELEMENT \"TEXT\""},
    {"key", Type::Key, "key ELEMENT KEY"},
    {"commit", Type::Commit, "commit ELEMENT [\"VALUE\"]"},
    {"valuator", Type::Valuator, "valuator ELEMENT VALUE (0 to 1)"},
    {"dial", Type::Dial, "dial ELEMENT ANGLE"},
    {"button", Type::CanvasButton,
     "button ELEMENT BUTTON press|release X Y [world] [shift] [ctrl] (pixels from -32768 to "
     "32767, metres with world)"},
    {"motion", Type::CanvasMotion,
     "motion ELEMENT X Y [world] [shift] [ctrl] (pixels from -32768 to 32767, metres with "
     "world)"},
    {"leave", Type::CanvasLeave, "leave ELEMENT"},
    {"resize", Type::CanvasResize, "resize ELEMENT WIDTH HEIGHT (1 to 32767 pixels)"},
    {"close", Type::Close, "close ELEMENT"},
    {"sort", Type::Sort, "sort ELEMENT COLUMN"},
    {"rows", Type::Rows, "rows ELEMENT [ROW]..."},
    {"alert", Type::AnswerAlarm, "alert BUTTON (0 to 3)"},
    {"form", Type::AnswerParam, "form \"VALUE\"... or form cancel"},
    {"file", Type::AnswerFile, "file STATUS \"PATH\" (STATUS 0, 1 or -1)"},
};

} // namespace

bool parseJournalLine(const std::string& line, Input& in, bool& isInput, std::string& error) {
    in = Input{};
    isInput = false;
    std::vector<Token> t;
    if (!tokenize(line, t, error)) return false;
    if (t.empty()) return true;
    const Verb* verb = nullptr;
    for (const Verb& v : kVerbs)
        if (!t[0].quoted && t[0].text == v.word) verb = &v;
    if (!verb) {
        error = "a command (action, press, toggle, select, type, key, commit, valuator, dial, "
                "button, motion, leave, resize, close, sort, rows, alert, form, file) instead of " +
                ui::quoteForMessage(t[0].text);
        return false;
    }
    in.type = verb->type;
    auto fail = [&] {
        error = std::string("\"").append(verb->usage).append("\"");
        return false;
    };
    const std::size_t n = t.size();
    // Every command but the answers names its target first.
    if (!in.isAnswer()) {
        if (n < 2 || t[1].quoted || t[1].text.empty()) return fail();
        in.target = t[1].text;
    }
    switch (in.type) {
    case Type::Commit:
        // The field's text at the commit, when given, replaces what typing left.
        if (n == 3 && t[2].quoted) {
            in.number = 1;
            in.text = t[2].text;
        } else if (n != 2) {
            return fail();
        }
        break;
    case Type::Action:
    case Type::Press:
    case Type::Toggle:
    case Type::CanvasLeave:
    case Type::Close:
        if (n != 2) return fail();
        break;
    case Type::Select:
        if (n != 3 || !toInt(t[2].text, in.number) || in.number < 1) return fail();
        break;
    case Type::Sort:
        if (n != 3 || !toInt(t[2].text, in.number) || in.number < 1) return fail();
        break;
    case Type::Rows:
        for (std::size_t i = 2; i < n; ++i) {
            int row = 0;
            if (t[i].quoted || !toInt(t[i].text, row) || row < 1) return fail();
            in.values.push_back(std::to_string(row));
        }
        break;
    case Type::Type:
        if (n != 3 || !t[2].quoted) return fail();
        in.text = t[2].text;
        break;
    case Type::Key:
        if (n != 3 || !parseKey(t[2], in.number)) return fail();
        break;
    case Type::Valuator:
        if (n != 3 || !toDouble(t[2].text, in.value) || in.value < 0 || in.value > 1) return fail();
        break;
    case Type::Dial:
        if (n != 3 || !toDouble(t[2].text, in.value)) return fail();
        break;
    case Type::CanvasButton: {
        if (n < 6 || !toInt(t[2].text, in.number) || in.number < 1 || in.number > 3) return fail();
        if (t[3].text != "press" && t[3].text != "release") return fail();
        in.pressed = t[3].text == "press";
        const bool world = hasWord(t, 6, "world");
        if (!toPosition(t[4].text, world, in.x) || !toPosition(t[5].text, world, in.y))
            return fail();
        if (!parsePositionFlags(t, 6, in, error)) return false;
        break;
    }
    case Type::CanvasMotion: {
        const bool world = hasWord(t, 4, "world");
        if (n < 4 || !toPosition(t[2].text, world, in.x) || !toPosition(t[3].text, world, in.y))
            return fail();
        if (!parsePositionFlags(t, 4, in, error)) return false;
        break;
    }
    case Type::CanvasResize: {
        int w = 0, h = 0;
        if (n != 4 || !toInt(t[2].text, w) || !toInt(t[3].text, h) || w < 1 || h < 1 ||
            w > ui::kMaxPixel || h > ui::kMaxPixel)
            return fail();
        in.x = w;
        in.y = h;
        break;
    }
    case Type::AnswerAlarm:
        if (n != 2 || !toInt(t[1].text, in.number) || in.number < 0 || in.number > 3) return fail();
        break;
    case Type::AnswerParam:
        if (n == 2 && !t[1].quoted && t[1].text == "cancel") {
            in.number = 0;
            break;
        }
        in.number = 1;
        for (std::size_t i = 1; i < n; ++i) {
            if (!t[i].quoted) return fail();
            in.values.push_back(t[i].text);
        }
        break;
    case Type::AnswerFile:
        if (n < 2 || n > 3 || !toInt(t[1].text, in.number) || in.number < -1 || in.number > 1)
            return fail();
        if (n == 3) {
            if (!t[2].quoted) return fail();
            in.text = t[2].text;
        } else if (in.number != -1) {
            return fail();
        }
        break;
    }
    isInput = true;
    return true;
}

std::string formatJournalLine(const Input& in) {
    std::string verb;
    for (const Verb& v : kVerbs)
        if (v.type == in.type) verb = v.word;
    const std::string head = verb + " " + in.target;
    switch (in.type) {
    case Type::Select:
    case Type::Sort:
        return head + " " + std::to_string(in.number);
    case Type::Rows: {
        std::string s = head;
        for (const std::string& v : in.values) s += " " + v;
        return s;
    }
    case Type::Type:
        return head + " " + quote(in.text);
    case Type::Commit:
        return in.number == 1 ? head + " " + quote(in.text) : head;
    case Type::Key:
        return head + " " + keyText(in.number);
    case Type::Valuator:
    case Type::Dial:
        return head + " " + number(in.value);
    case Type::CanvasButton:
        return head + " " + std::to_string(in.number) + (in.pressed ? " press " : " release ") +
               number(in.x) + " " + number(in.y) + positionFlags(in);
    case Type::CanvasMotion:
        return head + " " + number(in.x) + " " + number(in.y) + positionFlags(in);
    case Type::CanvasResize:
        return head + " " + number(in.x) + " " + number(in.y);
    case Type::AnswerAlarm:
        return verb + " " + std::to_string(in.number);
    case Type::AnswerParam: {
        if (in.number == 0) return verb + " cancel";
        std::string s = verb;
        for (const std::string& v : in.values) {
            s += ' ';
            s += quote(v);
        }
        return s;
    }
    case Type::AnswerFile:
        return verb + " " + std::to_string(in.number) + " " + quote(in.text);
    default:
        return head;
    }
}

bool parseJournal(const std::string& text, const std::string& name, std::vector<JournalEntry>& out,
                  std::string& error) {
    out.clear();
    // A byte-order mark that some editors write at the start is no input.
    static const std::string kByteOrderMark = "\xEF\xBB\xBF";
    const bool mark = text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0;
    std::istringstream lines(mark ? text.substr(kByteOrderMark.size()) : text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back(); // CR LF line ends
        JournalEntry e;
        e.line = number;
        bool isInput = false;
        std::string what;
        std::istringstream words(line);
        std::string first, rest;
        if (words >> first && first == "summary" && !(words >> rest && rest[0] != '#')) {
            e.summary = true;
            out.push_back(std::move(e));
            continue;
        }
        if (first == "show") {
            for (std::string w; words >> w && w[0] != '#';) e.show.push_back(w);
            if (e.show.empty()) {
                error = name + ":" + std::to_string(number) + ": expected \"show ELEMENT ...\"";
                return false;
            }
            out.push_back(std::move(e));
            continue;
        }
        if (!parseJournalLine(line, e.input, isInput, what)) {
            error = name + ":" + std::to_string(number) + ": expected " + what + " in " +
                    ui::quoteForMessage(line);
            return false;
        }
        if (isInput) out.push_back(std::move(e));
    }
    return true;
}

bool readJournalFile(const std::string& path, std::vector<JournalEntry>& out, std::string& error) {
    out.clear();
    std::string text;
    if (!fileio::readRegular(path, text)) {
        error = path + (errno == EISDIR   ? ": is a directory, not a journal"
                        : errno == EINVAL ? ": is not a regular file, not a journal"
                                          : ": cannot read the journal");
        return false;
    }
    return parseJournal(text, path, out, error);
}

ReplayBackend::ReplayBackend() {
    echoErrors(false); // every fault is reported once, by replayJournal()
}

void ReplayBackend::attach(ui::Toolkit& tk) {
    tk_ = &tk;
    HeadlessBackend::attach(tk);
}

void ReplayBackend::fail(int line, const std::string& what) {
    if (failure_.empty()) failure_ = std::to_string(line) + ": " + what;
    for (std::size_t i = 0; i < leave_.size(); ++i) leave_[i] = true;
}

void ReplayBackend::runLoop(ui::Element* dialog) {
    leave_.push_back(false);
    while (!leave_.back() && failure_.empty()) {
        if (next_ >= entries_.size()) {
            if (dialog) {
                fail(line_, "the journal ended while \"" + dialog->get("TITLE") + "\" was open");
                tk_->hide(*dialog);
            }
            break;
        }
        const JournalEntry& e = entries_[next_++];
        line_ = e.line;
        if (e.summary) {
            if (onTranscript) onTranscript("summary: " + modelSummary());
            continue;
        }
        if (!e.show.empty()) {
            std::string shown = "show:";
            for (const std::string& n : e.show) {
                // Two names that are no elements: the frame's modified flag and
                // its node and member counts.
                if (n == "@modified") {
                    shown += " @modified \"" + std::string(isSaved() ? "no" : "yes") + "\"";
                    continue;
                }
                if (n == "@clipboard") {
                    shown += " @clipboard " + quote(clipboardText());
                    continue;
                }
                if (n == "@counts") {
                    int nodes = 0, members = 0;
                    if (!modelIsEmpty()) {
                        for (const Vertex* v = app().model->vertices; v; v = v->next) ++nodes;
                        for (const Edge* m = app().model->edges; m; m = m->next) ++members;
                    }
                    shown += " @counts \"nodes " + std::to_string(nodes) + " members " +
                             std::to_string(members) + "\"";
                    continue;
                }
                // ELEMENT.ATTRIBUTE shows that attribute as it is stored.
                const std::size_t dot = n.find('.');
                const ui::Element* x = tk_->find(n.substr(0, dot));
                if (!x) {
                    fail(e.line, "no element named \"" + n.substr(0, dot) + "\"");
                    break;
                }
                if (dot != std::string::npos) {
                    shown += " " + n + " \"" + x->get(n.substr(dot + 1)) + "\"";
                    continue;
                }
                std::string text = x->get("VALUE");
                if (x->kind() == ui::Kind::Label) text = x->get("TITLE");
                if (x->kind() == ui::Kind::List) text = x->get(text);
                shown += " " + n + " \"" + text + "\"";
            }
            if (onTranscript && failure_.empty()) onTranscript(shown);
            continue;
        }
        if (e.input.isAnswer()) {
            fail(e.line, "this answer follows no input that shows a dialog");
            break;
        }
        Input in = e.input;
        // World positions become pixels with the canvas view of this moment.
        if (in.world && app().canvas) {
            gfx::Point p = app().canvas->worldToPixel(in.x, in.y);
            if (!(std::fabs(p.x) <= ui::kMaxPixel && std::fabs(p.y) <= ui::kMaxPixel)) {
                fail(e.line, "the point lies outside the pixels of any screen in this view");
                break;
            }
            in.x = std::round(p.x);
            in.y = std::round(p.y);
            in.world = false;
        }
        // Only what a user could do with the windows as they are now.
        if (std::string why = ui::admitInput(*tk_, in); !why.empty()) {
            fail(e.line, why);
            break;
        }
        if (in.type == Type::Commit && in.number == 1) tk_->find(in.target)->setTyped(in.text);
        const std::size_t errors = this->errors().size();
        const int line = e.line;
        tk_->deliver(in);
        if (this->errors().size() > errors) fail(line, this->errors()[errors]);
    }
    leave_.pop_back();
}

void ReplayBackend::leaveLoop() {
    if (!leave_.empty()) leave_.back() = true;
}

void ReplayBackend::checkLeftOverAnswer() {
    if (failure_.empty() && next_ < entries_.size() && !entries_[next_].isNote() &&
        entries_[next_].input.isAnswer())
        fail(entries_[next_].line, "this answer follows no input that shows a dialog");
}

void ReplayBackend::checkStartUp() {
    if (failure_.empty() && !errors().empty()) fail(line_, errors().front());
}

void ReplayBackend::stageAnswer() {
    if (next_ < entries_.size() && !entries_[next_].isNote() && entries_[next_].input.isAnswer()) {
        line_ = entries_[next_].line;
        queue(entries_[next_++].input);
    }
}

int ReplayBackend::alarm(const std::string& title, const std::string& text,
                         const std::vector<std::string>& buttons) {
    stageAnswer();
    return HeadlessBackend::alarm(title, text, buttons);
}

bool ReplayBackend::getParam(ui::ParamForm& form) {
    stageAnswer();
    return HeadlessBackend::getParam(form);
}

void ReplayBackend::fileDialog(ui::Element& request) {
    stageAnswer();
    HeadlessBackend::fileDialog(request);
}

int replayJournal(ui::Toolkit& tk, ReplayBackend& backend, const std::string& name, FILE* out,
                  FILE* err) {
    auto previous = backend.onTranscript;
    backend.onTranscript = [out](const std::string& line) {
        std::fprintf(out, "%s\n", line.c_str());
        std::fflush(out);
    };
    backend.checkStartUp();
    tk.mainLoop();
    backend.onTranscript = previous;
    backend.checkLeftOverAnswer();
    if (backend.failed()) {
        std::fprintf(err, "kestrel: %s:%s\n", name.c_str(), backend.failure().c_str());
        return 2;
    }
    return 0;
}

JournalRecorder::~JournalRecorder() {
    stop();
}

bool JournalRecorder::start(ui::Toolkit& tk, const std::string& path) {
    stop();
    file_ = std::fopen(path.c_str(), "w");
    if (!file_) return false;
    tk_ = &tk;
    std::fputs("# Kestrel session journal: replay with kestrel --replay FILE\n", file_);
    std::fflush(file_);
    FILE* f = file_;
    ui::Toolkit* t = &tk;
    // The last size recorded for each canvas: a window system reports the
    // same size more than once (at mapping and at showing), and a resize to
    // the size a canvas has changes nothing.
    auto sizes = std::make_shared<std::map<std::string, std::pair<double, double>>>();
    tk.recorder = [f, t, sizes](const Input& in) {
        if (in.type == Type::CanvasResize) {
            auto [it, added] = sizes->try_emplace(in.target, in.x, in.y);
            if (!added && it->second == std::make_pair(in.x, in.y)) return;
            it->second = {in.x, in.y};
        }
        Input line = in;
        // A commit carries the field's text: a real widget edits its text in
        // ways (selection, paste) that the typed keys alone do not replay.
        if (line.type == Type::Commit)
            if (const ui::Element* e = t->find(line.target)) {
                line.number = 1;
                line.text = e->get("VALUE");
            }
        std::fprintf(f, "%s\n", formatJournalLine(line).c_str());
        std::fflush(f);
    };
    return true;
}

void JournalRecorder::stop() {
    if (tk_) tk_->recorder = nullptr;
    tk_ = nullptr;
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

} // namespace shell
