// The benchmark frame inside the started program (the shell's model): built
// outside the history with nothing selected and the view fitted to it, and
// the count of its nodes and members.
#pragma once

#include "bench/support/tallframe.h"
#include "shell/edit/edit.h"
#include "shell/edit/view.h"
#include "shell/state.h"

namespace bench_support {

inline void buildShellFrame(double tol) {
    Solid* s = shell::app().model;
    mdl_set_tolerance(tol);
    mdl_undo_recording_off();
    buildTallFrame(s);
    mdl_undo_recording_on();
    shell::deselectAll();
    shell::fitView();
}

inline void countShellFrame(int& nodes, int& members) {
    nodes = members = 0;
    for (const Vertex* v = shell::app().model->vertices; v; v = v->next) ++nodes;
    for (const Edge* e = shell::app().model->edges; e; e = e->next) ++members;
}

} // namespace bench_support
