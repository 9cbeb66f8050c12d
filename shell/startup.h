// Program start-up and end: the steps from building the main window to the
// select mode, then the main loop and the close of the toolkit. The program's
// entry point (app/main.cpp) picks the toolkit backend and calls these.
#pragma once

#include <string>

namespace ui {
class Toolkit;
}

namespace shell {

// Optional operations of other modules that start-up uses when they are
// linked in. Opening fails without openModel: the program starts with an
// empty model and shows no message.
struct StartupHooks {
    // Opens a model file as the Open command does; true on success.
    bool (*openModel)(const std::string& path) = nullptr;
    // Fits the view to the model.
    void (*fitView)() = nullptr;
    // The unit conversion dialog of files older than version 206: 1 accepted.
    int (*convertUnits)() = nullptr;
};

// Start-up steps up to the select mode. `file` is the command-line model
// file ("" when there was none). Returns 0, or 1 when the drawing canvas
// cannot be created (the toolkit is then closed).
int startUp(ui::Toolkit& tk, const std::string& file, const StartupHooks& hooks = {});
// The main loop until a handler returns -3 to it.
void runMainLoop(ui::Toolkit& tk);
// Closes the toolkit and releases the application state.
void shutDown(ui::Toolkit& tk);

} // namespace shell
