// The undo ring (500 slots with marks), the redo list, groups, the step rules
// and application steps.
#include "model/internal.h"

// Step 1 of the ring: closes the current slot and opens the next one, whose
// old records (the oldest history) are freed.
static void ring_advance() {
    UndoSlot& cur = g_mdl.ring[g_mdl.current];
    if (g_mdl.group_open && cur.mark != 2)
        cur.mark = 0;
    else
        cur.mark = 1;
    g_mdl.current = (g_mdl.current + 1) % UNDO_SLOTS;
    UndoSlot& next = g_mdl.ring[g_mdl.current];
    OperatorRecord* old = next.records;
    next.records = nullptr;
    next.mark = 0;
    mdl_free_record_list(old);
}

void mdl_begin_step() {
    g_mdl.join_insert_point = 0;
    if (g_mdl.mode != MODE_UNDO) return;
    if (g_mdl.batch_depth > 0) return; // the batch's step goes on
    ring_advance();
    g_mdl.geometry_changed = 0;
    g_mdl.attrib_changed = 0;
}

void mdl_begin_group() {
    g_mdl.geometry_changed = 0;
    g_mdl.attrib_changed = 0;
    if (++g_mdl.group_depth == 1) {
        g_mdl.ring[g_mdl.current].mark = 2;
        g_mdl.group_open = 1;
    }
}

void mdl_end_group() {
    g_mdl.geometry_changed = 0;
    g_mdl.attrib_changed = 0;
    if (g_mdl.group_depth > 0 && --g_mdl.group_depth == 0) g_mdl.group_open = 0;
}

void mdl_begin_batch() {
    if (g_mdl.batch_depth == 0) mdl_begin_step();
    ++g_mdl.batch_depth;
}

void mdl_end_batch() {
    if (g_mdl.batch_depth > 0) --g_mdl.batch_depth;
}

void mdl_forget_redo() {
    OperatorRecord* r = g_mdl.redo;
    g_mdl.redo = nullptr;
    mdl_free_record_list(r);
}

void mdl_undo_recording_on() {
    g_mdl.mode = MODE_UNDO;
}
void mdl_undo_recording_off() {
    g_mdl.mode = MODE_OFF;
}

int mdl_can_undo() {
    return g_mdl.ring[g_mdl.current].records != nullptr ? 1 : 0;
}
int mdl_can_redo() {
    return g_mdl.redo != nullptr ? 1 : 0;
}

void mdl_clear_history() {
    for (UndoSlot& slot : g_mdl.ring) {
        OperatorRecord* r = slot.records;
        slot.records = nullptr;
        slot.mark = 0;
        mdl_free_record_list(r);
    }
    g_mdl.current = UNDO_SLOTS - 1;
    OperatorRecord* r = g_mdl.redo;
    g_mdl.redo = nullptr;
    mdl_free_record_list(r);
}

int mdl_undo() {
    int i = g_mdl.current;
    int found = -1;
    for (int n = 0; n < UNDO_SLOTS; ++n) {
        if (g_mdl.ring[i].records != nullptr) {
            found = i;
            break;
        }
        if (g_mdl.ring[i].mark != 0) break;
        i = (i + UNDO_SLOTS - 1) % UNDO_SLOTS;
    }
    if (found < 0) return -1;
    int saved_mode = g_mdl.mode;
    g_mdl.mode = MODE_UNDOING;
    OperatorRecord* r = g_mdl.redo;
    g_mdl.redo = nullptr;
    mdl_free_record_list(r);
    // Execution starts at the current slot even when it is empty (a step
    // that changed nothing): such an undo takes back nothing but that step.
    int start = g_mdl.current;
    bool full_turn = false;
    for (;;) {
        UndoSlot& slot = g_mdl.ring[g_mdl.current];
        OperatorRecord* list = slot.records;
        slot.records = nullptr;
        slot.mark = 0;
        mdl_execute_record_list(list);
        g_mdl.current = (g_mdl.current + UNDO_SLOTS - 1) % UNDO_SLOTS;
        if (g_mdl.current == start) {
            full_turn = true;
            break;
        }
        if (g_mdl.ring[g_mdl.current].mark != 0) break;
    }
    g_mdl.mode = saved_mode;
    if (full_turn) {
        g_mdl.mode = MODE_REPLAY;
        OperatorRecord* list = g_mdl.redo;
        g_mdl.redo = nullptr;
        mdl_execute_record_list(list);
        g_mdl.mode = saved_mode;
        mdl_clear_history();
        return -1;
    }
    g_mdl.geometry_changed = 0;
    g_mdl.attrib_changed = 0;
    return -2;
}

int mdl_redo() {
    if (g_mdl.redo == nullptr) return -1;
    int saved_mode = g_mdl.mode;
    g_mdl.mode = MODE_UNDO;
    ring_advance();
    if (g_mdl.group_open) g_mdl.ring[(g_mdl.current + UNDO_SLOTS - 1) % UNDO_SLOTS].mark = 1;
    OperatorRecord* list = g_mdl.redo;
    g_mdl.redo = nullptr;
    mdl_execute_record_list(list);
    g_mdl.mode = saved_mode;
    g_mdl.geometry_changed = 0;
    g_mdl.attrib_changed = 0;
    return -2;
}

int mdl_record_app_step(int new_step, AppStepFn fn, void* datum) {
    if (g_mdl.mode == MODE_UNDO && new_step == 0) mdl_begin_step();
    if (g_mdl.mode != MODE_UNDO && g_mdl.mode != MODE_UNDOING) {
        mdl_release(KIND_APPDATA, datum);
        return -1;
    }
    OperatorRecord r{};
    r.op = OP_APPSTEP;
    r.app_fn = fn;
    r.attrib_c = datum;
    mdl_log(r);
    return -2;
}
