// The shell's own action handlers: leaving the program, the about window,
// the property panel buttons, the canvas repaint, resize and cursor echo,
// the work-space size and result step fields. bindActions() binds them and
// the display toggles (shell/display.h) at start-up.
#pragma once

namespace ui {
class Toolkit;
}

namespace shell {

void bindActions(ui::Toolkit& tk);

// Key filter of numeric fields: digits, control characters and "." pass
// (-2); any other key is rejected (-1).
int unsignedNumberKey(int key);

} // namespace shell
