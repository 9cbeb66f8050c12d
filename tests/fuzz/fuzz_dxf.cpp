// The DXF reader and import on arbitrary bytes. A drawing that is refused
// must say why; one that is read must hold consistent layers, and its import
// must leave a frame that passes the frame checks and that one undo empties
// again, or nothing at all.
#include "attrib/attrib.h"
#include "files/dxfimport.h"
#include "model/model.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const files::DxfReadResult r =
        files::readDxf(std::string_view(reinterpret_cast<const char*>(data), size));
    if (r.status != files::DxfStatus::kRead) {
        check(!files::dxfReadMessage("f.dxf", r).empty());
        return 0;
    }
    const files::DxfDrawing& d = r.drawing;
    check(d.layers.size() == d.layerPaths.size());
    std::size_t paths = 0;
    for (int n : d.layerPaths) paths += static_cast<std::size_t>(n);
    check(paths == d.paths.size());
    for (const files::DxfPath& p : d.paths)
        check(p.layer >= 0 && static_cast<std::size_t>(p.layer) < d.layers.size());
    mdl_reset();
    attrib::state().reset();
    mdl_register_hooks(&attrib::hooks());
    Solid* s = mdl_new_model();
    const files::DxfImportResult in = files::importDxf(s, d, {}, "f.dxf");
    check(!in.message.empty());
    if (in.changed) {
        check(mdl_check(s).empty());
        check(mdl_undo() == -2);
        check(mdl_is_empty(mdl_first_solid()));
    } else {
        check(!mdl_can_undo() && !mdl_can_redo() && mdl_is_empty(mdl_first_solid()));
    }
    mdl_reset();
    attrib::state().reset();
    return 0;
}
