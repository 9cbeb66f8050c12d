// The editing modes and their commands: the creation modes (insert member,
// insert node, insert dimension line) with the mode end callback and the
// keyboard mode, the grid line, EdtDelSelAll, EdtUndo, EdtRedo, the keys of
// KeyCrtl, VisLimits and ScaleDialChange, and the tool bar states refreshed
// after every command. Start-up binds them with bindEditActions().
#pragma once

#include "shell/state.h"

#include <string>

namespace ui {
class Toolkit;
}

namespace shell {

// Enters a creation mode (InsertMember, InsertNode or InsertDimLine).
void enterCreationMode(EditMode mode);
// Shows a prompt or live measure of a curve creation in the message line,
// lengths in the length unit.
void showCreationMessage(const std::string& text);
// Re-enters the current editing mode.
void restartMode();
// The mode end callback of creations and picks: 0 the user ended the mode
// (select mode), -1 nothing more to do, other values something was done
// (redraw, then restart the mode).
void modeEnded(int status);
// Active states of undo, redo, delete, the transform items and the Apply
// buttons from the history and the selection summary.
void updateToolbar();
// The grid line from AppSettings: the "Grid" and "Snap" toggles, and the
// step fields and "Snap" active only while the grid is on.
void showGridState();
// The dial turned by `angle` radians: the view's window is scaled about its
// centre (docs/editing.md).
void scaleViewByDial(double angle);

void bindEditActions(ui::Toolkit& tk);

} // namespace shell
