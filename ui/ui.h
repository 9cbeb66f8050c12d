// The toolkit facade. Windows, menus and dialogs are trees of named elements
// whose state is a set of named string attributes ("VALUE", "TITLE",
// "ACTIVE", ...). Interactive elements name actions ("ACTION", "BUTTON_CB",
// ...); the program binds each action name to a handler that returns
// kIgnore (-1), kDefault (-2) or kClose (-3, leave the current loop).
//
// The Toolkit owns the elements, the bindings and the event loops. A Backend
// mirrors the elements on a real toolkit (ui/qt) or keeps them as records for
// tests and journal replays (ui/headless.h). Every user input, whichever
// backend it comes from, goes through the Toolkit's input methods (press,
// toggle, select, typeKey, canvasButton, ...), so handlers behave the same
// under both backends and a session can be recorded as a journal of inputs.
#pragma once

#include "ui/input.h"
#include "ui/keys.h"
#include "ui/paramform.h"
#include "ui/table.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace gfx {
class Canvas;
}

namespace ui {

// Handler return codes.
constexpr int kIgnore = -1;
constexpr int kDefault = -2;
constexpr int kClose = -3;

enum class Kind {
    Dialog,
    MenuBar,
    Menu,    // a pull-down menu of the menu bar
    Submenu, // a menu inside a menu
    Item,    // a menu item
    Separator,
    Toggle, // check box, menu check item or (with IMAGE) a toggle button
    Radio,  // groups the toggles below it: at most one is "ON"
    Button, // push button with TITLE or IMAGE, and TIP
    Label,
    Text,      // one-line text field
    MultiLine, // multi-line text
    List,      // drop-down (DROPDOWN "YES") or plain list; items "1", "2", ...
    Valuator,  // horizontal slider, VALUE a real from 0 to 1
    Dial,      // reports angle changes
    Canvas,    // drawing area
    Switch,    // shows one of its children (VALUE = the child's handle name)
    HBox,
    VBox,
    Frame, // a box with a border and an optional TITLE
    Fill,  // stretchable space in a box
    Table, // rows under column headings (ui/table.h): ACTION on a selection, SORT_CB on a sort
};

const char* kindName(Kind kind);

class Toolkit;

class Element {
public:
    Kind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    Element* parent() const { return parent_; }
    const std::vector<Element*>& children() const { return children_; }
    Toolkit& toolkit() const { return *tk_; }

    // Attributes: "" when not set.
    std::string get(const std::string& attr) const;
    bool has(const std::string& attr) const;
    int getInt(const std::string& attr, int fallback = 0) const;
    double getDouble(const std::string& attr, double fallback = 0) const;
    bool isOn() const { return get("VALUE") == "ON"; }
    bool isActive() const { return get("ACTIVE") != "NO"; }
    const std::map<std::string, std::string>& attributes() const { return attrs_; }

    // Sets an attribute and tells the backend. A VALUE set here is the text
    // the program shows in the element.
    Element& set(const std::string& attr, const std::string& value);
    // Sets VALUE as the user's typing does: tells the backend and leaves the
    // text the program showed as it was.
    Element& setTyped(const std::string& value);
    // True while a field holds the text the program last put there (the user
    // typed nothing, or typed it back): its commit changes nothing, so that a
    // value shown rounded is never stored rounded.
    bool holdsShownText() const { return get("VALUE") == shown_; }
    Element& setf(const std::string& attr, const char* fmt, ...)
        __attribute__((format(printf, 3, 4)));
    // Sets an attribute without telling the backend: used by backends to
    // mirror state that changed in the real widget.
    void store(const std::string& attr, const std::string& value) { attrs_[attr] = value; }

    Element& append(Element& child);

    // The rows of a table element (null before Toolkit::setTable).
    const TableState* table() const { return table_.get(); }

    // Backend-private data (the real widget).
    void* native = nullptr;

private:
    friend class Toolkit;
    Element(Toolkit* tk, Kind kind, std::string name)
        : tk_(tk), kind_(kind), name_(std::move(name)) {}
    Toolkit* tk_;
    Kind kind_;
    std::string name_;
    Element* parent_ = nullptr;
    std::vector<Element*> children_;
    std::map<std::string, std::string> attrs_;
    std::string shown_; // the last VALUE set by the program
    std::unique_ptr<TableState> table_;
};

// Everything a handler may want to know about the event that called it.
struct Event {
    Element* element = nullptr;
    std::string action;
    int button = 0;            // 1 left, 2 middle, 3 right
    bool pressed = false;      // button pressed (true) or released
    int x = 0, y = 0;          // canvas pixel position
    Modifiers mods;            // Shift and Control
    int key = 0;               // key filters and K_ANY
    int state = 0;             // toggles (1 on), lists (1 selected, 0 deselected)
    int item = 0;              // list item (1-based)
    std::string text;          // list item text, typed character
    double value = 0;          // valuator position (0..1), dial angle change (radians)
    int width = 0, height = 0; // canvas resize
};

using Handler = std::function<int(Event&)>;

// What a real or simulated toolkit must do.
class Backend {
public:
    virtual ~Backend() = default;
    virtual const char* name() const = 0;
    // An element was created, or appended to a parent.
    virtual void created(Element&) {}
    virtual void appended(Element& /*parent*/, Element& /*child*/) {}
    // An attribute was set by the program.
    virtual void attributeSet(Element&, const std::string& /*attr*/) {}
    // Builds the real windows of a dialog (before it is shown).
    virtual void map(Element&) {}
    // Shows a dialog modelessly at a position (-1, -1: the toolkit's choice).
    virtual void show(Element&, int /*x*/, int /*y*/) {}
    virtual void hide(Element&) {}
    // Runs an event loop until leaveLoop() is called for it. `dialog` is the
    // modal dialog the loop belongs to (null for the main loop).
    virtual void runLoop(Element* dialog) = 0;
    virtual void leaveLoop() = 0;
    // Predefined dialogs. message/alarm/getParam/fileDialog return the user's
    // answer; `answered` is false when nobody answered (tests, replays).
    virtual void message(const std::string& title, const std::string& text) = 0;
    virtual int alarm(const std::string& title, const std::string& text,
                      const std::vector<std::string>& buttons) = 0;
    virtual bool getParam(ParamForm& form) = 0;
    // Fills "STATUS" and "VALUE" of the request element.
    virtual void fileDialog(Element& request) = 0;
    virtual std::unique_ptr<gfx::Canvas> createCanvas(Element& canvas) = 0;
    // A canvas element changed size: the backend resizes its drawing canvas.
    virtual void resized(Element& /*canvas*/, int /*width*/, int /*height*/) {}
    // A table's rows or order changed, or only its selection.
    virtual void tableChanged(Element&) {}
    virtual void tableSelectionChanged(Element&) {}
    // Puts a text on the clipboard.
    virtual void setClipboardText(const std::string& /*text*/) {}
    // The toolkit this backend serves (called once by the Toolkit).
    virtual void attach(Toolkit&) {}
    virtual void close() {}
};

class Toolkit {
public:
    explicit Toolkit(std::unique_ptr<Backend> backend);
    ~Toolkit();
    Toolkit(const Toolkit&) = delete;
    Toolkit& operator=(const Toolkit&) = delete;

    Backend& backend() { return *backend_; }

    // Elements. A handle name, when given, must be unique.
    Element& make(Kind kind, const std::string& name = "",
                  std::initializer_list<std::pair<const char*, std::string>> attrs = {},
                  std::initializer_list<Element*> children = {});
    Element* find(const std::string& name) const;
    // Every element, in the order made.
    const std::vector<std::unique_ptr<Element>>& elements() const { return elements_; }
    Element& at(const std::string& name) const; // aborts when missing: a build error
    // The dialog an element belongs to.
    static Element* dialogOf(Element& e);
    static const Element* dialogOf(const Element& e) { return dialogOf(const_cast<Element&>(e)); }

    // Action bindings.
    void bind(const std::string& action, Handler handler);
    bool bound(const std::string& action) const;
    // Calls the handler bound to `action`; an action with no handler does
    // nothing and returns kDefault.
    int fireAction(const std::string& action, Event& ev);
    // Calls the action named by the element's callback attribute (e.g.
    // "ACTION", "BUTTON_CB"); a -3 leaves the current loop.
    int dispatch(Element& e, const std::string& callback, Event& ev);
    // Called before and after every handler of a user's input, that is the
    // outermost one (not a handler that another handler fires, nor one run
    // inside its dialog loop): the place for rules that hold for every
    // command. Either may be null.
    using ActionHook = std::function<void(const Event&)>;
    void setActionHooks(ActionHook before, ActionHook after) {
        beforeAction_ = std::move(before);
        afterAction_ = std::move(after);
    }

    // Dialogs.
    void map(Element& dialog);
    void show(Element& dialog, int x = -1, int y = -1);
    void hide(Element& dialog);
    // Shows a dialog modally: runs a nested loop until a handler returns -3
    // or the dialog is hidden, then hides it.
    void popup(Element& dialog);
    int loopDepth() const { return static_cast<int>(loops_.size()); }
    // The dialog whose modal loop runs innermost; null in the main loop.
    Element* modalDialog() const { return loops_.empty() ? nullptr : loops_.back(); }
    // The main loop: runs until a handler returns -3 to it.
    void mainLoop();
    // Leaves the innermost loop.
    void leaveLoop();
    void close();

    // Predefined dialogs.
    void setLanguage(const std::string& language) { language_ = language; }
    const std::string& language() const { return language_; }
    void message(const std::string& title, const std::string& text);
    // Returns the button pressed (1 to 3), 0 when the alert was closed.
    int alarm(const std::string& title, const std::string& text, const std::string& b1,
              const std::string& b2 = "", const std::string& b3 = "");
    // Shows the form; true when confirmed (the fields then hold the values).
    bool getParam(ParamForm& form);
    // A file dialog described by an element's attributes ("DIALOGTYPE",
    // "TITLE", "FILTER", "FILE", "DIRECTORY", "NOCHANGEDIR"); afterwards
    // "STATUS" is "0" (existing file), "1" (new file) or "-1" (cancelled) and
    // "VALUE" the chosen path.
    void fileDialog(Element& request);

    std::unique_ptr<gfx::Canvas> createCanvas(Element& canvas);

    // Tables. The program fills a table (the selection is emptied; with
    // `keepSort` the sort column stays when the new rows still have it, or it
    // gives the sort, 0 for the content's order) and may select rows of the
    // content itself; neither is an input.
    void setTable(Element& table, TableContent content, bool keepSort = false);
    void setTable(Element& table, TableContent content, int sortColumn, bool descending);
    void setTableSelection(Element& table, const std::vector<std::size_t>& rows);
    void setClipboardText(const std::string& text);

    // User input. Backends call these for what the user did; tests and
    // journal replays call them to act as the user. Each returns the code of
    // the handler it called (kDefault when none).
    int press(Element& e);               // button, menu item
    int toggle(Element& e);              // flips "VALUE", then ACTION
    int select(Element& list, int item); // list: deselection then selection
    // Key filter, then (unless the filter rejected the key with -1, or the
    // field is "READONLY") the edit of "VALUE". A backend whose widget edits
    // its own text passes edit=false.
    int typeKey(Element& text, int key, bool edit = true);
    int typeText(Element& text, const std::string& chars); // typeKey for each
    int commit(Element& text);                             // Enter or focus loss
    int setValuator(Element& v, double value);             // 0..1
    int turnDial(Element& d, double angle);                // angle change in radians
    int canvasButton(Element& c, int button, bool pressed, int x, int y, Modifiers mods);
    int canvasMotion(Element& c, int x, int y, Modifiers mods);
    int canvasLeave(Element& c);
    int canvasResize(Element& c, int width, int height);
    int canvasRepaint(Element& c);
    int key(Element& dialog, int key); // K_ANY of a dialog
    int closeRequest(Element& dialog); // CLOSE_CB; closes unless -1
    // A click on the heading of `column` (1-based): sorts ascending, a
    // second click on the same heading descending; then SORT_CB.
    int sortTable(Element& table, int column);
    // The rows at the shown positions (1-based) become the selection; ACTION.
    int selectRows(Element& table, const std::vector<int>& positions);
    // Executes one recorded or scripted input. Answers to dialogs are not
    // inputs of this kind and return kIgnore.
    int deliver(const Input& in);

    // Observer of every input and dialog answer, in order (journal recording).
    std::function<void(const Input&)> recorder;

private:
    std::unique_ptr<Backend> backend_;
    std::vector<std::unique_ptr<Element>> elements_;
    std::map<std::string, Element*> byName_;
    std::map<std::string, Handler> handlers_;
    std::vector<Element*> loops_; // modal dialogs of the running loops (null: main)
    std::string language_ = "ENGLISH";
    ActionHook beforeAction_, afterAction_;
    int actionDepth_ = 0; // handlers running, outermost first

    void record(const Input& in) {
        if (recorder) recorder(in);
    }
    friend class Element;
};

} // namespace ui
