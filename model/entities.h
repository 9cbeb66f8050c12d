// Frame model entities: the half-edge records of a planar subdivision.
// A Solid owns its faces, edges and vertices (intrusive lists, newest first);
// faces are bounded by loops of half-edges. Nodes are vertices, members are
// edges. Every solid, face, edge and vertex carries one opaque attribute
// reference that belongs to the application and is handled only through the
// hooks of model/callbacks.h. Used by every part of the frame model and,
// read-only, by the application code that walks the model.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

// The application's opaque attribute reference.
using AttribRef = void*;

// Entity kind numbers, also passed to the attribute hooks.
enum EntityKind : int {
    KIND_SOLID = 0,
    KIND_FACE = 1,
    KIND_LOOP = 2,
    KIND_HALFEDGE = 3,
    KIND_EDGE = 4,
    KIND_VERTEX = 5,
    KIND_APPDATA = 6, // datum of an application step
};

// Curve kinds: rows of the CurveKindOps table.
enum CurveKind : int32_t { CURVE_LINE = 1, CURVE_POLYLINE = 2 };

// Ids of solids, faces, edges and vertices are 32-bit; the model file writes
// them as text, so their width is not part of the file.
// The highest id a record read from a file may carry: it leaves more than a
// billion new ids of each kind for editing before a counter could overflow.
constexpr int32_t MDL_MAX_READ_ID = 1000000000;

struct Solid;
struct Face;
struct Loop;
struct HalfEdge;
struct Edge;
struct Vertex;

struct MPoint {
    double x;
    double y;
};

// Box: xmin, xmax, ymin, ymax.
struct MBox {
    double xmin;
    double xmax;
    double ymin;
    double ymax;
};

// Interior points of an edge, strictly between its two end vertices.
struct EdgeCurve {
    int32_t count;
    MPoint* points;
};

struct Vertex {
    int32_t id;
    HalfEdge* vedge; // one half-edge that starts here
    double x;
    double y;
    Vertex* next;
    Vertex* prev;
    AttribRef attrib;
};

struct HalfEdge {
    Edge* edge;  // none for the lone half-edge of an isolated vertex
    Vertex* vtx; // start vertex
    Loop* loop;
    HalfEdge* next;
    HalfEdge* prev;
};

struct Edge {
    int32_t id;
    int32_t curve_kind;
    HalfEdge* he1; // runs from end 1 ...
    HalfEdge* he2; // ... and back from end 2
    Edge* next;
    Edge* prev;
    EdgeCurve* geometry; // none for a straight line
    AttribRef attrib;
    MBox box;
};

struct Loop {
    HalfEdge* first;
    Face* face;
    Loop* next;
    Loop* prev;
};

struct Face {
    int32_t id;
    Solid* solid;
    Loop* outer; // none for the unbounded face
    Loop* loops;
    Face* next;
    Face* prev;
    AttribRef attrib;
    MBox box;
};

// Entities of one kind by id: a table for the ids up to a few times the
// number of entities held, a hash map for the rest, so that the memory follows
// the number of entities and not the size of the ids (a file may hold any id).
template <typename T> struct IdIndex {
    std::vector<T*> dense;                 // by id
    std::unordered_map<int32_t, T*> spare; // ids beyond the table
    std::size_t live = 0;                  // entities held in both
};

struct Solid {
    int32_t id;
    int32_t vertex_counter;
    int32_t face_counter;
    int32_t edge_counter;
    Face* faces;
    Edge* edges;
    Vertex* vertices;
    Solid* next;
    Solid* prev;
    AttribRef attrib;
    // Id indexes, one per kind, so that records never scan lists.
    IdIndex<Face> face_index;
    IdIndex<Edge> edge_index;
    IdIndex<Vertex> vertex_index;
};

// The half-edge on the other side of the same edge.
inline HalfEdge* mate(const HalfEdge* h) {
    return h->edge == nullptr ? nullptr : (h == h->edge->he1 ? h->edge->he2 : h->edge->he1);
}
