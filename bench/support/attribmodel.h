// A new, empty frame model with the attribute records hooked in, for the
// benchmarks that build their frame outside the program: the frame model
// and the attribute state reset, tolerance 1 mm, undo recording off.
#pragma once

#include "attrib/attrib.h"
#include "model/model.h"

namespace bench_support {

inline Solid* newAttributedModel() {
    mdl_reset();
    attrib::state().reset();
    mdl_register_hooks(&attrib::hooks());
    mdl_set_tolerance(1e-3);
    Solid* s = mdl_new_model();
    mdl_undo_recording_off();
    return s;
}

} // namespace bench_support
