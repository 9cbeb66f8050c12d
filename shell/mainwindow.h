// The main window `main` and the about window `about`, each built once, here,
// from named elements: menus, tool bars, mode line, step line, attribute
// area, location and grid lines, canvas with its message line, case line.
// Start-up (shell/startup.h) calls buildMainWindow(); handlers reach the
// elements by handle name (shell/state.h keeps the ones used often).
#pragma once

#include <string>

namespace ui {
class Element;
class Toolkit;
} // namespace ui

namespace shell {

// Builds the about window (handle "about", button "aboutclose").
ui::Element& buildAboutWindow(ui::Toolkit& tk);
// Builds the main dialog with every menu, tool bar and panel.
ui::Element& buildMainWindow(ui::Toolkit& tk);
// Path of one of the program's SVG icons, a resource compiled into the
// program ("new" -> ":/icons/new.svg").
std::string iconPath(const std::string& name);

} // namespace shell
