// One user input as the toolkit delivers it: an action, a press, a toggle, a
// list choice, typing, a canvas event, a key, a close request, or the answer
// to a predefined dialog. Inputs are what a headless session is fed with and
// what a recorded session is written as.
#pragma once

#include <string>
#include <vector>

namespace ui {

// Pixel positions a window system gives (16-bit signed coordinates).
constexpr int kMinPixel = -32768;
constexpr int kMaxPixel = 32767;

struct Modifiers {
    bool shift = false;
    bool control = false;
    // The modifier letters of the pick layer: 'S' first when Shift is held,
    // 'C' second when Control is held, blanks otherwise.
    std::string letters() const {
        return std::string(1, shift ? 'S' : ' ') + (control ? 'C' : ' ');
    }
    bool operator==(const Modifiers&) const = default;
};

struct Input {
    enum class Type {
        Action,       // fire an action by name
        Press,        // press a button or menu item
        Toggle,       // flip a toggle
        Select,       // choose list item `number`
        Type,         // type `text` into a field, key by key
        Key,          // one key (`number`) into a field, or a dialog's K_ANY
        Commit,       // commit a text field
        Valuator,     // set a valuator to `value`
        Dial,         // turn a dial by `value` radians
        CanvasButton, // button `number`, `pressed`, at (x, y)
        CanvasMotion,
        CanvasLeave,
        CanvasResize, // to (x, y) = (width, height)
        Close,        // close request of a dialog
        Sort,         // click the heading of table column `number`
        Rows,         // select the table rows at the shown positions `values`
        // Answers to predefined dialogs.
        AnswerAlarm, // button `number` (0: closed)
        AnswerParam, // `values` typed into the fields, or cancelled (`number` 0)
        AnswerFile,  // status `number` (0, 1, -1) and path `text`
    };
    Type type = Type::Action;
    std::string target; // action name or element handle name
    std::string text;
    int number = 0;
    bool pressed = false;
    double x = 0, y = 0;
    bool world = false; // canvas position given in world coordinates
    double value = 0;
    Modifiers mods;
    std::vector<std::string> values;

    bool isAnswer() const { return type >= Type::AnswerAlarm; }
};

} // namespace ui
