// Reachability of elements and the admission of inputs.
#include "ui/reach.h"

#include "ui/keys.h"
#include "ui/ui.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ui {

namespace {

bool isWindow(const Element& e) {
    return e.kind() == Kind::Dialog;
}

bool isPressable(const Element& e) {
    return e.kind() == Kind::Button || e.kind() == Kind::Item || e.kind() == Kind::Toggle;
}

bool isTextField(const Element& e) {
    return e.kind() == Kind::Text || e.kind() == Kind::MultiLine;
}

bool isEditable(const Element& e) {
    return isTextField(e) && e.get("READONLY") != "YES";
}

// The callbacks through which the inputs of a journal reach actions. An
// action named only under other callbacks (a file drop) has no element a
// journal can use, so `action` fires it directly.
const char* const kInputCallbacks[] = {"ACTION",    "BUTTON_CB", "MOTION_CB", "LEAVEWINDOW_CB",
                                       "RESIZE_CB", "COMMIT_CB", "K_ANY",     "CLOSE_CB",
                                       "PRESS_CB",  "RELEASE_CB"};

// An element whose input callbacks name the action, when there is one.
const Element* namingElement(const Toolkit& tk, const std::string& action) {
    for (const auto& e : tk.elements()) {
        if (e->name().empty()) continue; // no journal line can name it
        for (const char* cb : kInputCallbacks)
            if (e->get(cb) == action) return e.get();
    }
    return nullptr;
}

std::string quoted(const std::string& s) {
    return quoteForMessage(s);
}

// What the kind of element each input needs is called, and whether it fits.
struct Need {
    const char* what;
    bool (*fits)(const Element&);
};

Need needOf(Input::Type type) {
    switch (type) {
    case Input::Type::Press:
        return {"a button or a menu item", [](const Element& e) {
                    return e.kind() == Kind::Button || e.kind() == Kind::Item;
                }};
    case Input::Type::Toggle:
        return {"a toggle", [](const Element& e) { return e.kind() == Kind::Toggle; }};
    case Input::Type::Select:
        return {"a list", [](const Element& e) { return e.kind() == Kind::List; }};
    // Keys reach read-only fields too (they move the cursor there); only a
    // commit needs a field that can be edited.
    case Input::Type::Type:
        return {"a text field", isTextField};
    case Input::Type::Commit:
        return {"a text field that can be edited", isEditable};
    case Input::Type::Key:
        return {"a window or a text field",
                [](const Element& e) { return isWindow(e) || isTextField(e); }};
    case Input::Type::Valuator:
        return {"a valuator", [](const Element& e) { return e.kind() == Kind::Valuator; }};
    case Input::Type::Dial:
        return {"a dial", [](const Element& e) { return e.kind() == Kind::Dial; }};
    case Input::Type::CanvasButton:
    case Input::Type::CanvasMotion:
    case Input::Type::CanvasLeave:
    case Input::Type::CanvasResize:
        return {"a canvas", [](const Element& e) { return e.kind() == Kind::Canvas; }};
    case Input::Type::Close:
        return {"a window", isWindow};
    case Input::Type::Sort:
    case Input::Type::Rows:
        return {"a table", [](const Element& e) { return e.kind() == Kind::Table; }};
    default:
        return {"an element", [](const Element&) { return true; }};
    }
}

// Number of characters of a UTF-8 text.
std::size_t characters(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

bool isPixel(double v) {
    return std::isfinite(v) && v >= kMinPixel && v <= kMaxPixel;
}

// Why a user could not reach the element now; "" when one could.
std::string unreachable(const Toolkit& tk, const Element& e) {
    const Element* window = Toolkit::dialogOf(e);
    if (!window) return quoted(e.name()) + " is in no window";
    if (const Element* modal = tk.modalDialog(); modal && modal != window)
        return quoted(e.name()) + " is outside the open dialog " + quoted(modal->get("TITLE"));
    if (!isShown(e)) return quoted(e.name()) + " is not shown";
    if (!isUsable(e)) return quoted(e.name()) + " is inactive";
    return "";
}

// The value checks of each input, once its element is reachable.
std::string valueRefusal(const Element& e, const Input& in) {
    switch (in.type) {
    case Input::Type::Select: {
        const int count = listCount(e);
        if (in.number < 1 || in.number > count)
            return quoted(e.name()) + " has no item " + std::to_string(in.number) + " (it has " +
                   std::to_string(count) + ")";
        break;
    }
    case Input::Type::Commit: {
        if (in.number != 1) break;
        const int nc = e.getInt("NC", 0);
        if (nc > 0 && characters(in.text) > static_cast<std::size_t>(nc))
            return quoted(e.name()) + " holds at most " + std::to_string(nc) + " characters";
        if (e.kind() == Kind::Text && in.text.find('\n') != std::string::npos)
            return quoted(e.name()) + " holds one line";
        break;
    }
    case Input::Type::Key:
        if (!isKeyCode(in.number)) return "no key has the code " + std::to_string(in.number);
        break;
    case Input::Type::Valuator:
        if (!(in.value >= 0 && in.value <= 1)) return "a valuator moves from 0 to 1";
        break;
    case Input::Type::Dial:
        if (!std::isfinite(in.value)) return "a dial turns by a finite angle";
        break;
    case Input::Type::Sort: {
        const int columns = e.table() ? static_cast<int>(e.table()->content.columns()) : 0;
        if (in.number < 1 || in.number > columns)
            return quoted(e.name()) + " has no column " + std::to_string(in.number) + " (it has " +
                   std::to_string(columns) + ")";
        break;
    }
    case Input::Type::Rows: {
        const std::size_t rows = e.table() ? e.table()->order.size() : 0;
        for (const std::string& v : in.values) {
            const long p = std::atol(v.c_str());
            if (p < 1 || static_cast<std::size_t>(p) > rows)
                return quoted(e.name()) + " has no row " + v + " (it has " + std::to_string(rows) +
                       ")";
        }
        break;
    }
    case Input::Type::CanvasButton:
    case Input::Type::CanvasMotion:
        if (in.world) break; // checked once converted to pixels
        if (!isPixel(in.x) || !isPixel(in.y))
            return "the position lies outside the pixels of any screen";
        break;
    case Input::Type::CanvasResize:
        if (!(in.x >= 1 && in.x <= kMaxPixel && in.y >= 1 && in.y <= kMaxPixel))
            return "a canvas measures from 1 to " + std::to_string(kMaxPixel) + " pixels";
        break;
    default:
        break;
    }
    return "";
}

} // namespace

std::string quoteForMessage(const std::string& line) {
    constexpr std::size_t kShown = 80; // characters
    std::string q = "\"";
    std::size_t shown = 0, i = 0;
    for (; i < line.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        const bool continuation = (c & 0xC0) == 0x80;
        if (!continuation && shown == kShown) break;
        if (!continuation) ++shown;
        if (c == '\n')
            q += "\\n";
        else if (c == '\t')
            q += "\\t";
        else if (c == '\r')
            q += "\\r";
        else if (c == '"' || c == '\\')
            q += std::string("\\") + static_cast<char>(c);
        else if (c < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            q += hex;
        } else {
            q += static_cast<char>(c);
        }
    }
    q += "\"";
    if (i < line.size()) q += "...";
    return q;
}

bool isShown(const Element& e) {
    const Element* child = &e;
    for (const Element* p = e.parent(); p; child = p, p = p->parent())
        if (p->kind() == Kind::Switch && p->get("VALUE") != child->name()) return false;
    const Element* window = Toolkit::dialogOf(e);
    return window && window->get("VISIBLE") == "YES";
}

bool isUsable(const Element& e) {
    if (!isShown(e)) return false;
    for (const Element* p = &e; p; p = p->parent())
        if (!p->isActive()) return false;
    return true;
}

int listCount(const Element& list) {
    int n = 0;
    while (list.has(std::to_string(n + 1))) ++n;
    return n;
}

Element* elementOfAction(const Toolkit& tk, const std::string& action) {
    Element* first = nullptr;
    for (const auto& e : tk.elements()) {
        if (!isPressable(*e) || e->name().empty() || e->get("ACTION") != action) continue;
        if (unreachable(tk, *e).empty()) return e.get();
        if (!first) first = e.get();
    }
    return first;
}

std::string admitInput(const Toolkit& tk, Input& in) {
    if (in.isAnswer()) return "";
    if (in.type == Input::Type::Action) {
        if (Element* e = elementOfAction(tk, in.target)) {
            if (std::string why = unreachable(tk, *e); !why.empty()) return why;
            in.type = e->kind() == Kind::Toggle ? Input::Type::Toggle : Input::Type::Press;
            in.target = e->name();
            return "";
        }
        if (const Element* e = namingElement(tk, in.target))
            return "the action " + quoted(in.target) + " comes from " + quoted(e->name()) +
                   ": give the input of that element";
        if (!tk.bound(in.target)) return "no action named " + quoted(in.target);
        return "";
    }
    const Element* e = tk.find(in.target);
    if (!e) return "no element named " + quoted(in.target);
    const Need need = needOf(in.type);
    if (!need.fits(*e))
        return quoted(e->name()) + " (" + kindName(e->kind()) + ") is not " + need.what;
    if (std::string why = unreachable(tk, *e); !why.empty()) return why;
    return valueRefusal(*e, in);
}

} // namespace ui
