// Frame model: the public interface. A frame is a planar half-edge
// subdivision (nodes are vertices, members are edges) that changes only
// through topological operators; each operator leaves its inverse record in
// the undo ring, the redo list or the save log according to the recording
// mode. The module owns the solids, the history and the save log; the
// application owns the attribute references and registers the eleven hooks.
// Called by the shell (editing, undo), the attribute code (hooks, set
// attribute) and the file code (save log, reading records).
// Return codes: -2 success, -1 failure; finders return the entity or none.
#pragma once

#include "model/curve.h"
#include "model/entities.h"
#include "model/record.h"

#include <cstdio>
#include <string>

// ---- Recording modes ------------------------------------------------------
enum RecordingMode : int {
    MODE_OFF = 0,    // records go nowhere; replaced attributes are released
    MODE_REPLAY = 1, // the save log is being replayed
    MODE_SAVE = 2,   // records go to the head of the save log
    MODE_READ = 3,   // records come from a file
    MODE_UNDO = 4,   // undo recording: records go to the current undo slot
    MODE_UNDOING = 5 // records go to the redo list
};

// ---- Hooks ----------------------------------------------------------------
// The eleven application hooks, in table order; a null entry is skipped.
struct ModelCallbacks {
    int (*write_attrib)(FILE* fp, int kind, AttribRef ref);                    // 0
    AttribRef (*read_attrib)(FILE* fp, int kind);                              // 1
    void (*release_attrib)(int kind, AttribRef ref);                           // 2
    void (*solid_created)(Solid* s);                                           // 3
    void (*face_created)(Face* f, int a, int b);                               // 4
    void (*faces_merged)(AttribRef removed, int surviving_id, int removed_id); // 5
    void (*face_changed)(AttribRef ref);                                       // 6
    void (*edge_created)(Edge* e);                                             // 7
    void (*edge_split)(Edge* new_edge, Edge* old_edge, AttribRef old_ref);     // 8
    void (*edges_joined)(Edge* e, AttribRef first, AttribRef second, Vertex* v1,
                         Vertex* v2);  // 9
    void (*vertex_created)(Vertex* v); // 10
};

// ---- Module set-up --------------------------------------------------------
// Fills the curve kind table, empties the hooks, sets the file version to 200.
void mdl_initialise();
// Deletes every solid, the history and the save log (attributes released),
// then initialises again: the clean state that tests start from.
void mdl_reset();
void mdl_register_hooks(const ModelCallbacks* hooks);
void mdl_set_tolerance(double tol);
double mdl_tolerance();      // x tolerance
double mdl_mean_tolerance(); // mean of the x and y tolerances
void mdl_set_file_version(int version);
int mdl_file_version();

// ---- Solids -----------------------------------------------------------------
Solid* mdl_create_solid();
int mdl_delete_model(Solid* s);
Solid* mdl_first_solid();
Solid* mdl_find_solid(int32_t id);
// Whether the model is empty: its first vertex is the dummy vertex and it has
// no edge.
int mdl_is_empty(const Solid* s);
// New model: history cleared, recording off, solid with the dummy vertex at
// (1e30, -1e30), undo recording on.
Solid* mdl_new_model();

// ---- Recording mode and history -------------------------------------------
int mdl_recording_mode();
void mdl_set_recording_mode(int mode);
void mdl_undo_recording_on();
void mdl_undo_recording_off();
// Begins a new undo step when undo recording is on (every modifying
// operation calls it; exposed for code that applies operators itself).
void mdl_begin_step();
void mdl_begin_group();
void mdl_end_group();
// A batch is one step of the ring, whatever it holds: the operations inside
// it begin no step of their own, so that a command that makes thousands of
// members (a drawing imported) is undone whole instead of overflowing the
// ring's 500 slots. Batches nest; the outermost one begins the step.
void mdl_begin_batch();
void mdl_end_batch();
int mdl_undo();
int mdl_redo();
int mdl_can_undo();
int mdl_can_redo();
void mdl_clear_history();
// Drops what an undo left to redo: for a command that takes its own step
// back because its result cannot stand.
void mdl_forget_redo();
// Records an application step (op 24): the function is called with the datum
// when the step is undone or redone; the record keeps the datum and releases
// it through hook 2 with kind 6 when it is freed (also after execution).
// Begins a new step first when recording and new_step is 0. Not recorded
// outside modes 4 and 5: the datum is then released at once.
int mdl_record_app_step(int new_step, AppStepFn fn, void* datum);

// ---- Save log ---------------------------------------------------------------
// Dismantles the solid in save mode; returns the log (building order from its
// head, beginning with mvfs). The solid stays, empty.
OperatorRecord* mdl_save_dismantle(Solid* s);
// Replays the save log in replay mode, freeing it; returns the rebuilt solid.
Solid* mdl_save_replay();
OperatorRecord* mdl_save_log();
// Detaches the save log from the module; the caller frees it.
OperatorRecord* mdl_take_save_log();

// ---- Reading records from a file ----------------------------------------------
// With the mode set to MODE_READ (and the block's version given to
// mdl_set_file_version), each record is executed with mdl_execute_record: the
// block's mvfs makes a new solid with the next free solid id and the later
// records go to it whatever solid id they carry.
void mdl_read_begin();
Solid* mdl_read_solid();
// Sets the solid's vertex, face and edge counters to the highest ids it holds
// (blocks of version 0).
void mdl_counters_from_ids(Solid* s);

// ---- Modifying operations ---------------------------------------------------
int mdl_move_vertex(Vertex* v, MPoint p);
int mdl_set_edge_geometry(Edge* e, EdgeCurve* g);
int mdl_recompute_face_box(Face* f);
int mdl_set_vertex_attrib(Vertex* v, AttribRef ref);
int mdl_set_edge_attrib(Edge* e, AttribRef ref);
int mdl_set_face_attrib(Face* f, AttribRef ref);
int mdl_reverse_edge(Edge* e);

// Insertion and deletion (members and nodes).
Vertex* mdl_insert_point(Solid* s, MPoint p);
int mdl_insert_curve(Solid* s, const ModelCurveRecord* rec, int flag);
// Inserts a curve given as points (kind 1 needs exactly two).
int mdl_insert_points(Solid* s, int32_t kind, const MPoint* pts, int n);
Vertex* mdl_split_edge(Edge* e, MPoint p);
int mdl_delete_edge(Edge* e);
int mdl_delete_vertex(Vertex* v);

// ---- Finders ------------------------------------------------------------------
Vertex* mdl_find_vertex_at(Solid* s, MPoint* p);
Edge* mdl_find_edge_at(Solid* s, MPoint p, double tol);
// The innermost face that contains p; a point within the mean tolerance of a
// face's outer loop counts as inside it.
Face* mdl_find_face_containing(Solid* s, MPoint p);
void mdl_edge_vertices(const Edge* e, Vertex** v1, Vertex** v2);
Vertex* mdl_vertex_by_id(const Solid* s, int32_t id);
Edge* mdl_edge_by_id(const Solid* s, int32_t id);
Face* mdl_face_by_id(const Solid* s, int32_t id);

// ---- Topological operators (recorded; no hooks, no undo step) ---------------
int mdl_op_mvfs(Solid* s, int32_t fid, int32_t vid, MPoint p);
int mdl_op_kvfs(Solid* s);
Edge* mdl_op_mev(HalfEdge* h1, HalfEdge* h2, int32_t vid, int32_t eid, MPoint p);
int mdl_op_kev(Edge* e, Vertex* v);
Edge* mdl_op_mef(HalfEdge* c1, HalfEdge* c2, int32_t fid, int32_t eid);
int mdl_op_kef(Edge* e, Face* fkill);
Edge* mdl_op_mekr(HalfEdge* c1, HalfEdge* c2, int32_t eid);
int mdl_op_kemr(HalfEdge* h, int new_loop_is_outer);
Face* mdl_op_mfkrh(Loop* ring, int32_t fid);
int mdl_op_kfmrh(Face* fkill, Face* into);
Vertex* mdl_op_mvr(Face* f, int32_t vid, MPoint p);
int mdl_op_kvr(Vertex* v);
int mdl_op_ringmv(Loop* l, Face* to);
Vertex* mdl_op_semv(Edge* e, int32_t vid, int32_t eid, MPoint p);
int mdl_op_jekv(Edge* e1, Edge* e2, EdgeCurve* joined);
Solid* mdl_op_new_solid(int32_t id);
int mdl_op_delete_solid(Solid* s);

// ---- Diagnostics ----------------------------------------------------------------
// Canonical text of a solid: counters (optional), vertices, edges, faces with
// their loops, each sorted by id and each loop started at its least half-edge.
std::string mdl_dump(const Solid* s, bool with_counters);
// Checks the planar-subdivision invariants; returns "" when all hold, else a
// description of the first fault.
std::string mdl_check(const Solid* s);
// A geometric fault of the frame: two edges that cross, overlap or touch
// away from a vertex they share (a, b: their ids, a < b), an edge of no
// length at a shared vertex, or vertex a inside edge b; `at` is a point of it
// (the crossing, the nearer end of the overlap, the touching end, the vertex).
struct MdlGeometryFault {
    enum Kind { kNone = 0, kCross, kOverlap, kTouch, kDegenerate, kVertexInEdge };
    Kind kind = kNone;
    int a = 0, b = 0;
    MPoint at{};
};
// mdl_check that also gives the geometric fault it found (kind kNone when
// the check failed otherwise or passed). Of several geometric faults the one
// of the lowest ids is given.
std::string mdl_check(const Solid* s, MdlGeometryFault* fault);
// Only the geometric invariants of mdl_check (outer loops of positive area,
// no fault between edges or between a vertex and an edge, rings inside their
// faces), for a solid whose topology the operators built and so is sound:
// the same result as mdl_check there, without walking the topology.
std::string mdl_check_geometry(const Solid* s, MdlGeometryFault* fault);

// ---- Directions ------------------------------------------------------------------
// Pseudo-angle of a direction: 0 along +x, 2 along +y, 4 along -x, -2 along -y.
double mdl_pseudo_angle(MPoint d);
// Signed turn from direction u to direction v (positive counter-clockwise).
double mdl_turn(MPoint u, MPoint v);
// The half-edge leaving v that lies first clockwise from direction dir (the
// corner into which a curve leaving v along dir falls); the lone half-edge of
// an isolated vertex.
HalfEdge* mdl_corner_at(Vertex* v, MPoint dir);
// Inserts an edge between two existing vertices (mef or mekr); none when the
// two corners lie in different faces or the new face would have no area.
Edge* mdl_insert_edge_between(Vertex* v1, Vertex* v2, int32_t kind, const MPoint* interior, int n);
// Inserts an edge from an existing vertex to a new vertex at p2 (mev).
Edge* mdl_insert_edge_from(Vertex* v1, MPoint p2, int32_t kind, const MPoint* interior, int n);
