// The file commands: New, Open, Save, Save As, Import Properties (all kinds,
// or one kind from a property panel), the question before the current frame
// is thrown away, and the file dialog they share. The model file itself is
// written and read by files/; this module adds the dialogs, the messages, the
// file identity and the window title around it.
#pragma once

#include <string>

namespace ui {
class Toolkit;
}

namespace shell {

// The file dialog: type "OPEN" or "SAVE", title, filter; `name` holds the
// starting file name and receives the chosen path. Returns 0 (an existing
// file), 1 (a file that does not exist yet) or -1 (cancelled; also a path
// without "/"). The directory of a chosen path is the next starting one.
int fileDialog(const std::string& type, const std::string& title, const std::string& filter,
               std::string& name);
// Forgets the last directory (tests).
void resetFileDialogDirectory();

// Closes the current frame, asking first when it is modified; false when the
// user cancels or Save As fails. Leaves an empty "untitled.kst" frame with
// the SI units; display flags, grid steps and sign convention stay.
bool closeFrame();
// Opens a model file by name (also the command-line file); true on success.
bool openModelByName(const std::string& path);
// Save As and Save; true when the frame was written (Save: or needed no
// write); false when a dialog was cancelled or the write failed.
bool saveAsCommand();
bool saveCommand();
// The import actions: all kinds (kind -1, settings included) or one kind.
void importCommand(int kind);

// The unit conversion dialog of a file older than version 206: 1 when
// accepted (the frame is then converted to internal units), 0 when cancelled.
int conversionDialog();

// Binds IoNew, IoOpen, IoSave, IoSaveAs, IoImportPropGbl and installs Save
// As for the leaving question.
void bindFileActions(ui::Toolkit& tk);

} // namespace shell
