// File > Import > DXF Drawing: the file dialog, the dialog of the drawing's
// layers (ticked in a list) and of its unit when the file gives none, the
// import through files/dxfimport.h in one undo step, and the message that
// says what was imported and what was skipped. The command line's
// `kestrel --import-dxf` uses the same import with its choices given.
#pragma once

#include <string>
#include <vector>

namespace ui {
class Toolkit;
}

namespace shell {

// The choices of an import made without the dialog: the layers by name
// (empty: every layer) and the unit of a file whose header has none (mm,
// cm, m, in or ft; "" is mm).
struct DxfRequest {
    std::vector<std::string> layers;
    std::string units;
};

// Imports the DXF file `path` into the current frame with the choices of
// `req`; `text` receives the message (what was imported, or why nothing
// was). True when the frame changed. A file that cannot be read, a layer
// the drawing does not have, a unit not in the list or a drawing without
// lines on the chosen layers leave the frame as it was.
bool importDxfByName(const std::string& path, const DxfRequest& req, std::string& text);

// Binds IoImportDxf.
void bindDxfImport(ui::Toolkit& tk);

} // namespace shell
