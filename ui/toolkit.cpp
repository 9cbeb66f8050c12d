// Elements, bindings, loops and the input methods of the toolkit facade.
#include "ui/ui.h"

#include "gfx/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace ui {

const char* kindName(Kind kind) {
    static const char* names[] = {"dialog", "menubar",  "menu",   "submenu", "item",   "separator",
                                  "toggle", "radio",    "button", "label",   "text",   "multiline",
                                  "list",   "valuator", "dial",   "canvas",  "switch", "hbox",
                                  "vbox",   "frame",    "fill",   "table"};
    return names[static_cast<int>(kind)];
}

// ---- Element ---------------------------------------------------------------

std::string Element::get(const std::string& attr) const {
    auto it = attrs_.find(attr);
    return it == attrs_.end() ? std::string() : it->second;
}

bool Element::has(const std::string& attr) const {
    return attrs_.count(attr) != 0;
}

int Element::getInt(const std::string& attr, int fallback) const {
    auto it = attrs_.find(attr);
    if (it == attrs_.end() || it->second.empty()) return fallback;
    return std::atoi(it->second.c_str());
}

double Element::getDouble(const std::string& attr, double fallback) const {
    auto it = attrs_.find(attr);
    if (it == attrs_.end() || it->second.empty()) return fallback;
    return std::atof(it->second.c_str());
}

Element& Element::set(const std::string& attr, const std::string& value) {
    if (attr == "VALUE") shown_ = value;
    attrs_[attr] = value;
    tk_->backend().attributeSet(*this, attr);
    return *this;
}

Element& Element::setTyped(const std::string& value) {
    attrs_["VALUE"] = value;
    tk_->backend().attributeSet(*this, "VALUE");
    return *this;
}

Element& Element::setf(const std::string& attr, const char* fmt, ...) {
    char buf[512];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    return set(attr, buf);
}

Element& Element::append(Element& child) {
    child.parent_ = this;
    children_.push_back(&child);
    tk_->backend().appended(*this, child);
    return *this;
}

// ---- Toolkit: elements and bindings ----------------------------------------

Toolkit::Toolkit(std::unique_ptr<Backend> backend) : backend_(std::move(backend)) {
    backend_->attach(*this);
}

Toolkit::~Toolkit() = default;

Element& Toolkit::make(Kind kind, const std::string& name,
                       std::initializer_list<std::pair<const char*, std::string>> attrs,
                       std::initializer_list<Element*> children) {
    elements_.push_back(std::unique_ptr<Element>(new Element(this, kind, name)));
    Element& e = *elements_.back();
    if (!name.empty()) {
        if (byName_.count(name)) {
            std::fprintf(stderr, "ui: element name \"%s\" used twice\n", name.c_str());
            std::abort();
        }
        byName_[name] = &e;
    }
    for (const auto& [attr, value] : attrs) e.attrs_[attr] = value;
    if (kind == Kind::Toggle && !e.has("VALUE")) e.attrs_["VALUE"] = "OFF";
    backend_->created(e);
    for (Element* c : children) e.append(*c);
    return e;
}

Element* Toolkit::find(const std::string& name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

Element& Toolkit::at(const std::string& name) const {
    Element* e = find(name);
    if (!e) {
        std::fprintf(stderr, "ui: no element named \"%s\"\n", name.c_str());
        std::abort();
    }
    return *e;
}

Element* Toolkit::dialogOf(Element& e) {
    Element* p = &e;
    while (p && p->kind() != Kind::Dialog) p = p->parent();
    return p;
}

void Toolkit::bind(const std::string& action, Handler handler) {
    handlers_[action] = std::move(handler);
}

bool Toolkit::bound(const std::string& action) const {
    auto it = handlers_.find(action);
    return it != handlers_.end() && it->second;
}

int Toolkit::fireAction(const std::string& action, Event& ev) {
    auto it = handlers_.find(action);
    if (it == handlers_.end() || !it->second) return kDefault;
    ev.action = action;
    // Copy: the handler may rebind its own action.
    Handler h = it->second;
    const bool outermost = actionDepth_ == 0;
    if (outermost && beforeAction_) beforeAction_(ev);
    ++actionDepth_;
    int rc = h(ev);
    --actionDepth_;
    if (outermost && afterAction_) afterAction_(ev);
    if (rc == kClose) leaveLoop();
    return rc;
}

int Toolkit::dispatch(Element& e, const std::string& callback, Event& ev) {
    ev.element = &e;
    std::string action = e.get(callback);
    if (action.empty()) return kDefault;
    return fireAction(action, ev);
}

// ---- Dialogs and loops -----------------------------------------------------

void Toolkit::map(Element& dialog) {
    backend_->map(dialog);
}

void Toolkit::show(Element& dialog, int x, int y) {
    dialog.store("VISIBLE", "YES");
    backend_->show(dialog, x, y);
}

void Toolkit::hide(Element& dialog) {
    if (dialog.get("VISIBLE") != "YES") return;
    dialog.store("VISIBLE", "NO");
    backend_->hide(dialog);
    if (!loops_.empty() && loops_.back() == &dialog) leaveLoop();
}

void Toolkit::popup(Element& dialog) {
    show(dialog);
    loops_.push_back(&dialog);
    backend_->runLoop(&dialog);
    loops_.pop_back();
    hide(dialog);
}

void Toolkit::mainLoop() {
    loops_.push_back(nullptr);
    backend_->runLoop(nullptr);
    loops_.pop_back();
}

void Toolkit::leaveLoop() {
    if (!loops_.empty()) backend_->leaveLoop();
}

void Toolkit::close() {
    backend_->close();
}

void Toolkit::message(const std::string& title, const std::string& text) {
    backend_->message(title, text);
}

int Toolkit::alarm(const std::string& title, const std::string& text, const std::string& b1,
                   const std::string& b2, const std::string& b3) {
    std::vector<std::string> buttons{b1};
    if (!b2.empty()) buttons.push_back(b2);
    if (!b3.empty()) buttons.push_back(b3);
    int answer = backend_->alarm(title, text, buttons);
    Input in;
    in.type = Input::Type::AnswerAlarm;
    in.number = answer;
    record(in);
    return answer;
}

bool Toolkit::getParam(ParamForm& form) {
    bool ok = backend_->getParam(form);
    Input in;
    in.type = Input::Type::AnswerParam;
    in.number = ok ? 1 : 0;
    if (ok)
        for (const ParamField& f : form.fields) in.values.push_back(f.display());
    record(in);
    return ok;
}

void Toolkit::fileDialog(Element& request) {
    backend_->fileDialog(request);
    Input in;
    in.type = Input::Type::AnswerFile;
    in.number = request.getInt("STATUS", -1);
    in.text = request.get("VALUE");
    record(in);
}

std::unique_ptr<gfx::Canvas> Toolkit::createCanvas(Element& canvas) {
    return backend_->createCanvas(canvas);
}

// ---- User input ------------------------------------------------------------

namespace {
Input inputFor(Input::Type type, const Element& e) {
    Input in;
    in.type = type;
    in.target = e.name();
    return in;
}
} // namespace

int Toolkit::press(Element& e) {
    if (!e.isActive()) return kIgnore;
    record(inputFor(Input::Type::Press, e));
    Event ev;
    return dispatch(e, "ACTION", ev);
}

int Toolkit::toggle(Element& e) {
    if (!e.isActive()) return kIgnore;
    record(inputFor(Input::Type::Toggle, e));
    bool on = !e.isOn();
    Element* group = e.parent();
    if (group && group->kind() == Kind::Radio) {
        // In a radio group the pressed toggle is the one that is on.
        on = true;
        for (Element* c : group->children())
            if (c != &e && c->kind() == Kind::Toggle && c->isOn()) c->set("VALUE", "OFF");
        group->set("VALUE", e.name());
    }
    e.set("VALUE", on ? "ON" : "OFF");
    Event ev;
    ev.state = on ? 1 : 0;
    return dispatch(e, "ACTION", ev);
}

int Toolkit::select(Element& list, int item) {
    if (!list.isActive()) return kIgnore;
    Input in = inputFor(Input::Type::Select, list);
    in.number = item;
    record(in);
    int old = list.getInt("VALUE");
    if (old > 0 && old != item) {
        Event off;
        off.state = 0;
        off.item = old;
        off.text = list.get(std::to_string(old));
        dispatch(list, "ACTION", off);
    }
    list.set("VALUE", std::to_string(item));
    Event ev;
    ev.state = 1;
    ev.item = item;
    ev.text = list.get(std::to_string(item));
    return dispatch(list, "ACTION", ev);
}

int Toolkit::typeKey(Element& text, int key, bool edit) {
    if (!text.isActive()) return kIgnore;
    Input in = inputFor(Input::Type::Key, text);
    in.number = key;
    record(in);
    Event ev;
    ev.key = key;
    if (key >= 32 && key < 127) ev.text = std::string(1, static_cast<char>(key));
    int rc = dispatch(text, "ACTION", ev);
    // A read-only field keeps its text whatever the key.
    if (rc == kIgnore || !edit || text.get("READONLY") == "YES") return rc;
    std::string value = text.get("VALUE");
    if (key == K_BS) {
        // Remove the last character (a whole UTF-8 sequence).
        while (!value.empty() && (static_cast<unsigned char>(value.back()) & 0xC0) == 0x80)
            value.pop_back();
        if (!value.empty()) value.pop_back();
        text.setTyped(value);
    } else if (key == K_CR) {
        return commit(text);
    } else if (key >= 32 && key < 127) {
        int nc = text.getInt("NC", 0);
        if (nc <= 0 || static_cast<int>(value.size()) < nc) text.setTyped(value + ev.text);
    }
    return rc;
}

int Toolkit::typeText(Element& text, const std::string& chars) {
    int rc = kDefault;
    for (unsigned char c : chars) rc = typeKey(text, c);
    return rc;
}

int Toolkit::commit(Element& text) {
    record(inputFor(Input::Type::Commit, text));
    Event ev;
    ev.text = text.get("VALUE");
    return dispatch(text, "COMMIT_CB", ev);
}

int Toolkit::setValuator(Element& v, double value) {
    if (!v.isActive()) return kIgnore;
    Input in = inputFor(Input::Type::Valuator, v);
    in.value = value;
    record(in);
    value = std::clamp(value, 0.0, 1.0);
    v.setf("VALUE", "%g", value);
    Event ev;
    ev.value = value;
    return dispatch(v, "ACTION", ev);
}

int Toolkit::turnDial(Element& d, double angle) {
    if (!d.isActive()) return kIgnore;
    Input in = inputFor(Input::Type::Dial, d);
    in.value = angle;
    record(in);
    d.setf("VALUE", "%g", d.getDouble("VALUE") + angle);
    Event ev;
    ev.value = angle;
    return dispatch(d, "ACTION", ev);
}

int Toolkit::canvasButton(Element& c, int button, bool pressed, int x, int y, Modifiers mods) {
    Input in = inputFor(Input::Type::CanvasButton, c);
    in.number = button;
    in.pressed = pressed;
    in.x = x;
    in.y = y;
    in.mods = mods;
    record(in);
    Event ev;
    ev.button = button;
    ev.pressed = pressed;
    ev.x = x;
    ev.y = y;
    ev.mods = mods;
    return dispatch(c, "BUTTON_CB", ev);
}

int Toolkit::canvasMotion(Element& c, int x, int y, Modifiers mods) {
    Input in = inputFor(Input::Type::CanvasMotion, c);
    in.x = x;
    in.y = y;
    in.mods = mods;
    record(in);
    Event ev;
    ev.x = x;
    ev.y = y;
    ev.mods = mods;
    return dispatch(c, "MOTION_CB", ev);
}

int Toolkit::canvasLeave(Element& c) {
    record(inputFor(Input::Type::CanvasLeave, c));
    Event ev;
    return dispatch(c, "LEAVEWINDOW_CB", ev);
}

int Toolkit::canvasResize(Element& c, int width, int height) {
    Input in = inputFor(Input::Type::CanvasResize, c);
    in.x = width;
    in.y = height;
    record(in);
    c.store("DRAWSIZE", std::to_string(width) + "x" + std::to_string(height));
    backend_->resized(c, width, height);
    Event ev;
    ev.width = width;
    ev.height = height;
    return dispatch(c, "RESIZE_CB", ev);
}

int Toolkit::canvasRepaint(Element& c) {
    Event ev;
    return dispatch(c, "ACTION", ev);
}

int Toolkit::key(Element& dialog, int key) {
    Input in = inputFor(Input::Type::Key, dialog);
    in.number = key;
    record(in);
    Event ev;
    ev.key = key;
    return dispatch(dialog, "K_ANY", ev);
}

int Toolkit::closeRequest(Element& dialog) {
    record(inputFor(Input::Type::Close, dialog));
    Event ev;
    int rc = dispatch(dialog, "CLOSE_CB", ev);
    if (rc == kDefault) hide(dialog);
    return rc;
}

int Toolkit::deliver(const Input& in) {
    if (in.type == Input::Type::Action) {
        record(in);
        Event ev;
        return fireAction(in.target, ev);
    }
    if (in.isAnswer()) return kIgnore;
    Element* e = find(in.target);
    if (!e) return kIgnore;
    // Positions beyond a screen's pixels (or not a number) never reach an int
    // conversion unchecked.
    auto pixel = [](double v) {
        return std::isfinite(v) ? static_cast<int>(std::clamp<double>(v, kMinPixel, kMaxPixel)) : 0;
    };
    const int x = pixel(in.x), y = pixel(in.y);
    switch (in.type) {
    case Input::Type::Press:
        return press(*e);
    case Input::Type::Toggle:
        return toggle(*e);
    case Input::Type::Select:
        return select(*e, in.number);
    case Input::Type::Type:
        return typeText(*e, in.text);
    case Input::Type::Key:
        return e->kind() == Kind::Dialog ? key(*e, in.number) : typeKey(*e, in.number);
    case Input::Type::Commit:
        return commit(*e);
    case Input::Type::Valuator:
        return setValuator(*e, in.value);
    case Input::Type::Dial:
        return turnDial(*e, in.value);
    case Input::Type::CanvasButton:
        return canvasButton(*e, in.number, in.pressed, x, y, in.mods);
    case Input::Type::CanvasMotion:
        return canvasMotion(*e, x, y, in.mods);
    case Input::Type::CanvasLeave:
        return canvasLeave(*e);
    case Input::Type::CanvasResize:
        return canvasResize(*e, x, y);
    case Input::Type::Close:
        return closeRequest(*e);
    case Input::Type::Sort:
        return sortTable(*e, in.number);
    case Input::Type::Rows: {
        std::vector<int> positions;
        for (const std::string& v : in.values) positions.push_back(std::atoi(v.c_str()));
        return selectRows(*e, positions);
    }
    default:
        return kIgnore;
    }
}

} // namespace ui
