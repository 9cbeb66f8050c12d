// The pictures of the windows come from the program itself: each IMAGE and
// IMPRESS of an element names a resource compiled into the executable
// (":/icons/new.svg"). A picture missing from it would leave a blank button,
// so the program names every one it cannot find.
#pragma once

#include <string>
#include <vector>

namespace ui {
class Element;
}

namespace app {

// The image paths named under `root` (the element and all below it) that are
// not resources of this program, in tree order, each once.
std::vector<std::string> imagesNotBuiltIn(const ui::Element& root);

} // namespace app
