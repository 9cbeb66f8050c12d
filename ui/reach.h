// What a user can reach: whether an element is shown and usable, and whether
// an input could come from a user at this moment. Replays check each input
// with admitInput() before delivering it, so that a journal can do nothing a
// user could not do with the windows on the screen.
#pragma once

#include "ui/input.h"

#include <string>

namespace ui {

class Element;
class Toolkit;

// The element's window is shown and every switch above it shows the page
// that holds it.
bool isShown(const Element& e);
// Shown, and neither it nor any element above it is inactive.
bool isUsable(const Element& e);
// Number of items of a list ("1", "2", ... without a gap).
int listCount(const Element& list);
// The element a user would use to fire an action: a button, menu item or
// toggle whose ACTION it is, preferring one that can be used now. Null when
// no such element names the action.
Element* elementOfAction(const Toolkit& tk, const std::string& action);

// A text as an error message shows it: in double quotes, with control bytes
// escaped (\n, \t, \r, \xHH) and quotes and backslashes too, cut after 80
// characters with "..." after the closing quote.
std::string quoteForMessage(const std::string& text);

// "" when a user could give `in` now, else what stands in the way. An
// `Action` input whose action belongs to a button, menu item or toggle is
// rewritten into the press or toggle of that element, so that it acts as
// the element does. Dialog answers are not checked here.
std::string admitInput(const Toolkit& tk, Input& in);

} // namespace ui
