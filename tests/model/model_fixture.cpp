#include "model_fixture.h"

HookLog g_hooks;

TestAttr* make_attr(int kind, int h1, int h2) {
    TestAttr* a = new TestAttr{kind, ++g_hooks.made, h1, h2};
    g_hooks.all.push_back(a);
    g_hooks.releases[a] = 0;
    return a;
}

static void h_release(int kind, AttribRef ref) {
    auto* a = static_cast<TestAttr*>(ref);
    ASSERT_TRUE(g_hooks.releases.count(a)) << "release of an unknown reference";
    EXPECT_EQ(g_hooks.releases[a], 0) << "reference released twice, serial " << a->serial;
    EXPECT_EQ(a->kind, kind) << "released with a wrong kind";
    g_hooks.releases[a]++;
    g_hooks.release_kinds.emplace_back(kind, a->serial);
    g_hooks.calls.push_back("2 k" + std::to_string(kind));
}

static void h_solid(Solid* s) {
    g_hooks.solid_created++;
    g_hooks.calls.push_back("3 s" + std::to_string(s->id));
    s->attrib = make_attr(KIND_SOLID);
}
static void h_face(Face* f, int, int) {
    g_hooks.calls.push_back("4 f" + std::to_string(f->id));
    f->attrib = make_attr(KIND_FACE);
}
static void h_face_changed(AttribRef) {
    g_hooks.calls.push_back("6");
}
static void h_edge(Edge* e) {
    g_hooks.calls.push_back("7 e" + std::to_string(e->id));
    e->attrib = make_attr(KIND_EDGE, 1, 1);
}
static void h_vertex(Vertex* v) {
    g_hooks.calls.push_back("10 v" + std::to_string(v->id));
    v->attrib = make_attr(KIND_VERTEX);
}
// The member rules: the piece that keeps end 1 keeps the hinge there and has
// none at the new node; the other piece keeps the hinge at end 2.
static void h_split(Edge* ne, Edge* old, AttribRef ref) {
    g_hooks.split_calls++;
    g_hooks.calls.push_back("8 e" + std::to_string(ne->id) + " e" + std::to_string(old->id));
    g_hooks.last_split_old = ref;
    auto* a = static_cast<TestAttr*>(ref);
    int h1 = a ? a->hinge1 : 0, h2 = a ? a->hinge2 : 0;
    old->attrib = make_attr(KIND_EDGE, h1, 0);
    ne->attrib = make_attr(KIND_EDGE, 0, h2);
}
static void h_join(Edge* e, AttribRef r1, AttribRef r2, Vertex*, Vertex*) {
    g_hooks.join_calls++;
    g_hooks.calls.push_back("9 e" + std::to_string(e->id));
    auto* a = static_cast<TestAttr*>(r1);
    auto* b = static_cast<TestAttr*>(r2);
    e->attrib = make_attr(KIND_EDGE, a ? a->hinge1 : 0, b ? b->hinge2 : 0);
}

void install_counting_hooks() {
    ModelCallbacks cb{};
    cb.release_attrib = h_release;
    cb.solid_created = h_solid;
    cb.face_created = h_face;
    cb.face_changed = h_face_changed;
    cb.edge_created = h_edge;
    cb.edge_split = h_split;
    cb.edges_joined = h_join;
    cb.vertex_created = h_vertex;
    mdl_register_hooks(&cb);
}

void ModelTest::SetUp() {
    mdl_reset();
    g_hooks = HookLog{};
    install_counting_hooks();
    mdl_set_tolerance(1e-3);
    s = mdl_new_model();
}

void ModelTest::expect_all_released_once() {
    for (const TestAttr* a : g_hooks.all)
        EXPECT_EQ(g_hooks.releases[a], 1) << "kind " << a->kind << " serial " << a->serial;
}

void ModelTest::TearDown() {
    install_counting_hooks();
    mdl_reset();
    expect_all_released_once();
    for (const TestAttr* a : g_hooks.all) delete a;
    g_hooks = HookLog{};
}

Vertex* pt(Solid* s, double x, double y) {
    return mdl_insert_point(s, MPoint{x, y});
}
Edge* seg(Vertex* a, Vertex* b) {
    return mdl_insert_edge_between(a, b, CURVE_LINE, nullptr, 0);
}
Edge* arm(Vertex* a, double x, double y) {
    return mdl_insert_edge_from(a, MPoint{x, y}, CURVE_LINE, nullptr, 0);
}
Edge* square(Solid* s, double x0, double y0, double x1, double y1) {
    Vertex* a = pt(s, x0, y0);
    Vertex* b = pt(s, x1, y0);
    Vertex* c = pt(s, x1, y1);
    Vertex* d = pt(s, x0, y1);
    seg(a, b);
    seg(b, c);
    seg(c, d);
    return seg(d, a);
}
std::string dump(const Solid* s) {
    return mdl_dump(s, false);
}

template <class T> static int count_list(const T* head) {
    int n = 0;
    for (; head; head = head->next) ++n;
    return n;
}
// The hinges of a member's attribute at end 1 and end 2, as "10".
std::string hinges(const Edge* e) {
    const auto* a = static_cast<const TestAttr*>(e->attrib);
    return std::to_string(a->hinge1) + std::to_string(a->hinge2);
}
// The numbers of nodes, members and faces, as "v5 e4 f1".
std::string counts(const Solid* s) {
    return "v" + std::to_string(count_list(s->vertices)) + " e" +
           std::to_string(count_list(s->edges)) + " f" + std::to_string(count_list(s->faces));
}
