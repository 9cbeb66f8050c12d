// Operator records: the unit of undo, redo and of the model file. Every
// topological operator leaves the record of its inverse (ids, never
// pointers) where the recording mode says; executing a record looks its
// entities up by id and applies the operator. Called by the undo ring, the
// save log and the model file reader.
#pragma once

#include "model/entities.h"

#include <cstdint>

// Op codes; the comment names the inverse.
enum OpCode : int16_t {
    OP_MVFS = 0,    // 1
    OP_KVFS = 1,    // 0
    OP_MEV = 2,     // 3
    OP_KEV = 3,     // 2
    OP_MEF = 4,     // 5
    OP_KEF = 5,     // 4
    OP_KEMR = 6,    // 7
    OP_MEKR = 7,    // 6
    OP_KFMRH = 8,   // 9
    OP_MFKRH = 9,   // 8
    OP_MVR = 10,    // 11
    OP_KVR = 11,    // 10
    OP_RINGMV = 12, // 12
    OP_SEMV = 13,   // 14
    OP_JEKV = 14,   // 13
    OP_NEWSOLID = 15,
    OP_DELSOLID = 16,
    OP_SETVTXPOS = 17,
    OP_SETEDGEGEOM = 18,
    OP_SETFACEBOX = 19,
    OP_SETVTXATTR = 20,
    OP_SETEDGEATTR = 21,
    OP_SETFACEATTR = 22,
    OP_REVERSE = 23,
    OP_APPSTEP = 24,
    OP_COUNT = 25,
};

// The function of an application step; it is called with the step's datum.
using AppStepFn = void (*)(void* datum);

struct OperatorRecord {
    int16_t op;
    int32_t solid_id;
    int32_t a1, a2, a3, a4, a5, a6, a7;
    MPoint point;
    OperatorRecord* next;
    EdgeCurve* geometry;
    AttribRef attrib_a; // the geometry slot when it carries an attribute (mvfs, semv)
    AttribRef attrib_b;
    AttribRef attrib_c;
    int32_t curve_kind;
    int32_t edge_id;
    MBox edge_box;
    MBox face_box;
    AppStepFn app_fn; // op 24
};

// Executes one record; -2 on success, -1 when a lookup fails (nothing changed).
int mdl_execute_record(OperatorRecord* rec);

// Frees a record and releases what only it holds: geometries through the curve
// kind's slot 0, attributes through hook 2 with their entity kind, and the
// datum of an application step with kind 6.
void mdl_free_record(OperatorRecord* rec);

// Frees a whole list of records linked through next.
void mdl_free_record_list(OperatorRecord* head);

// Executes and frees the records of a list from its head; returns the count of
// records that failed.
int mdl_execute_record_list(OperatorRecord* head);
