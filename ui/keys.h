// Key codes delivered to key filters and to a dialog's K_ANY action. Printable
// characters arrive as their own code; the keys below have fixed codes; Ctrl
// with a letter is ctrlKey('A') ... ctrlKey('Z').
#pragma once

namespace ui {

enum Key : int {
    K_BS = 8,
    K_TAB = 9,
    K_CR = 13,
    K_ESC = 27,
    K_SP = 32,
    K_PLUS = '+',
    K_MINUS = '-',
    K_DEL = 127,
    K_LEFT = 0x1001,
    K_RIGHT,
    K_UP,
    K_DOWN,
    K_PGUP,
    K_PGDN,
    K_HOME,
    K_END,
    K_INS,
};

constexpr int kCtrlBit = 0x4000;
constexpr int ctrlKey(char letter) {
    return kCtrlBit | (letter >= 'a' && letter <= 'z' ? letter - 'a' + 'A' : letter);
}
constexpr bool isCtrlKey(int key) {
    return (key & kCtrlBit) != 0;
}
// A key that edits the text of a field rather than inserting a character.
constexpr bool isControlKey(int key) {
    return key < 32 || key == K_DEL || key >= K_LEFT;
}

// A code a key can deliver: a named key, Ctrl with a letter, or a character
// below the code of the first named key other than Delete.
constexpr bool isKeyCode(int key) {
    if (key == K_BS || key == K_TAB || key == K_CR || key == K_ESC || key == K_DEL) return true;
    if (key >= K_LEFT && key <= K_INS) return true;
    if (isCtrlKey(key)) return (key & ~kCtrlBit) >= 'A' && (key & ~kCtrlBit) <= 'Z';
    return key >= 32 && key < K_LEFT;
}

} // namespace ui
