// Messages, dialogs and the information area: the few operations through
// which every command talks to the user. Message boxes and alerts are modal
// predefined dialogs of the toolkit; prompts go to the message line
// `datatopmsg`; the information page `infoarea` replaces the property panel in
// the attribute area `attmenu`. The fatal path (fatal error, fatal exit, out of
// memory) ends the program with status 1. Every shell module calls these.
#pragma once

#include <cstddef>
#include <string>

namespace shell {

// Modal box titled " Kestrel Message " with one confirming button.
void message(const std::string& text);
// Modal alert titled " Kestrel Alert " with up to three buttons (empty texts
// are omitted); returns the number of the button pressed, 0 when closed.
int alert(const std::string& text, const std::string& b1, const std::string& b2 = "",
          const std::string& b3 = "");
// Alert with " Continue " and "   Exit   "; "   Exit   " is a fatal exit.
int alertExit(const std::string& text);
// Alert with the single button " Error ", then the fatal exit.
[[noreturn]] void fatalError(const std::string& text);
// Writes "\nkestrel: execution error.\n" on stderr and exits with status 1.
[[noreturn]] void fatalExit();

// Zero-filled allocation and reallocation of application memory; exhausted
// memory is the fatal error "\n Not enough memory \n".
void* allocate(std::size_t count, std::size_t size);
void* reallocate(void* block, std::size_t size);
// Routes failures of operator new to the same fatal error.
void installOutOfMemoryHandler();

// The message line above the canvas.
void showPrompt(const std::string& text);
void clearPrompt();

// The information page in the attribute area.
void showInformation(const std::string& text);
void restoreAttributePanel();

// Title of the main dialog: "Kestrel - Spanwork: <short name>".
void setWindowTitle(const std::string& shortName);

// Cursor position labels: the converted values with the cursor format and the
// length unit, or blanks.
void showCursorPosition(double x, double y);
void blankCursorPosition();

} // namespace shell
