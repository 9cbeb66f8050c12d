// Checks the images the windows name against the program's own resources.
#include "app/images.h"

#include "ui/ui.h"

#include <QFile>
#include <algorithm>

namespace app {

namespace {

bool builtIn(const std::string& path) {
    return path.rfind(":/", 0) == 0 && QFile::exists(QString::fromStdString(path));
}

void collect(const ui::Element& e, std::vector<std::string>& missing) {
    for (const char* attr : {"IMAGE", "IMPRESS"}) {
        const std::string path = e.get(attr);
        if (path.empty() || builtIn(path)) continue;
        if (std::find(missing.begin(), missing.end(), path) == missing.end())
            missing.push_back(path);
    }
    for (const ui::Element* c : e.children()) collect(*c, missing);
}

} // namespace

std::vector<std::string> imagesNotBuiltIn(const ui::Element& root) {
    std::vector<std::string> missing;
    collect(root, missing);
    return missing;
}

} // namespace app
