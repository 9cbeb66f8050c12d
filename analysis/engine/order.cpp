// Bandwidth-reducing order of the nodes: reverse Cuthill-McKee on the graph whose edges join
// the nodes of each element, started in every connected part from a pseudo-peripheral node.
// Ties are broken by node number, so the order depends only on the model. The solver uses it
// for the equations when it gives a smaller profile than the file's node order.
#include "analysis/engine/fem.h"

#include <algorithm>

namespace kestrel::engine {

namespace {

// Node graph in compressed rows: the neighbours of node a are adj[start[a]] to
// adj[start[a + 1] - 1] (0-based node indices; an edge repeated by parallel elements is kept).
struct NodeGraph {
    int* start = nullptr;
    int* adj = nullptr;
    ~NodeGraph() {
        utl_free(start);
        utl_free(adj);
    }
    int degree(int a) const { return start[a + 1] - start[a]; }
};

bool build_graph(NodeGraph* g) {
    const FemState& m = g_fem;
    std::size_t entries = 0;
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        const int nodes = kElementClasses[m.elems[ie].cls].nodes;
        entries += static_cast<std::size_t>(nodes) * static_cast<std::size_t>(nodes - 1);
    }
    g->start = static_cast<int*>(utl_calloc(static_cast<std::size_t>(m.nnode) + 1, sizeof(int)));
    g->adj = static_cast<int*>(utl_calloc(entries, sizeof(int)));
    if (!g->start || !g->adj) return false;
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        const Element& e = m.elems[ie];
        const int nodes = kElementClasses[e.cls].nodes;
        for (int a = 0; a < nodes; ++a) g->start[e.nodes[a]] += nodes - 1; // counts at a + 1
    }
    for (int a = 0; a < m.nnode; ++a) g->start[a + 1] += g->start[a];
    int* fill = static_cast<int*>(utl_calloc(static_cast<std::size_t>(m.nnode), sizeof(int)));
    if (!fill) return false;
    std::copy(g->start, g->start + m.nnode, fill);
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        const Element& e = m.elems[ie];
        const int nodes = kElementClasses[e.cls].nodes;
        for (int a = 0; a < nodes; ++a)
            for (int b = 0; b < nodes; ++b)
                if (a != b) g->adj[fill[e.nodes[a] - 1]++] = e.nodes[b] - 1;
    }
    utl_free(fill);
    return true;
}

// Breadth-first search from root over the nodes of its connected part, writing the visit
// order into queue with the neighbours of each node taken by increasing degree, then by
// number. Returns the number of nodes reached; *depth is the number of levels and the last
// level is queue[*last_from] onwards. Reached nodes are marked with stamp.
int breadth_first(const NodeGraph& g, int root, int stamp, int* mark, int* queue, int* depth,
                  int* last_from) {
    int head = 0, tail = 0, level_from = 0, level_end = 1;
    queue[tail++] = root;
    mark[root] = stamp;
    *depth = 1;
    while (head < tail) {
        const int a = queue[head++];
        const int begin = tail;
        for (int k = g.start[a]; k < g.start[a + 1]; ++k) {
            const int b = g.adj[k];
            if (mark[b] == stamp) continue;
            mark[b] = stamp;
            queue[tail++] = b;
        }
        std::sort(queue + begin, queue + tail, [&g](int x, int y) {
            return g.degree(x) != g.degree(y) ? g.degree(x) < g.degree(y) : x < y;
        });
        if (head == level_end && tail > level_end) {
            level_from = level_end;
            level_end = tail;
            ++*depth;
        }
    }
    *last_from = level_from;
    return tail;
}

// Profile size of the equations numbered node by node in the given order, from the node graph:
// the rows of a node start at the first equation of the earliest of it and its neighbours that
// has one, exactly as the element-by-element profile would; a node in no element keeps its
// diagonals alone.
std::size_t profile_in_order(const NodeGraph& g, const int* order) {
    const FemState& m = g_fem;
    int* start = static_cast<int*>(utl_calloc(static_cast<std::size_t>(m.nnode), sizeof(int)));
    if (!start) return static_cast<std::size_t>(-1);
    auto free_dofs = [&m](int a) {
        int d = 0;
        for (int k = 0; k < kDofsPerNode; ++k) d += m.dof[a][k] != 0;
        return d;
    };
    int next = 0; // first equation of each node, or -1 for a node without one
    for (int i = 0; i < m.nnode; ++i) {
        const int a = order[i], d = free_dofs(a);
        start[a] = d > 0 ? next : -1;
        next += d;
    }
    std::size_t size = 0;
    for (int a = 0; a < m.nnode; ++a) {
        const auto d = static_cast<std::size_t>(free_dofs(a));
        if (d == 0) continue;
        if (g.degree(a) == 0) {
            size += d;
            continue;
        }
        int low = start[a];
        for (int k = g.start[a]; k < g.start[a + 1]; ++k) {
            const int b = start[g.adj[k]];
            if (b >= 0 && b < low) low = b;
        }
        size += d * static_cast<std::size_t>(start[a] - low + 1) + d * (d - 1) / 2;
    }
    utl_free(start);
    return size;
}

} // namespace

bool fem_node_order(int* order, std::size_t* profile) {
    const FemState& m = g_fem;
    NodeGraph g;
    if (!build_graph(&g)) return false;
    int* mark = static_cast<int*>(utl_calloc(static_cast<std::size_t>(m.nnode), sizeof(int)));
    if (!mark) return false;
    std::fill(mark, mark + m.nnode, -1); // -1 never reached, -2 placed, >= 0 search stamp
    int placed = 0, stamp = 0;
    for (int seed = 0; seed < m.nnode; ++seed) {
        if (mark[seed] == -2) continue;
        int* queue = order + placed;
        // Pseudo-peripheral root: move to a node of least degree in the last level as long
        // as that makes the level structure deeper.
        int root = seed, depth = 0, from = 0;
        int reached = breadth_first(g, root, stamp++, mark, queue, &depth, &from);
        for (;;) {
            int best = queue[from];
            for (int i = from + 1; i < reached; ++i) {
                const int c = queue[i];
                if (g.degree(c) < g.degree(best) || (g.degree(c) == g.degree(best) && c < best))
                    best = c;
            }
            int deeper = 0, best_from = 0;
            breadth_first(g, best, stamp++, mark, queue, &deeper, &best_from);
            if (deeper <= depth) break;
            root = best;
            depth = deeper;
            from = best_from;
        }
        breadth_first(g, root, stamp++, mark, queue, &depth, &from); // Cuthill-McKee order
        for (int i = 0; i < reached; ++i) mark[queue[i]] = -2;
        placed += reached;
    }
    utl_free(mark);
    std::reverse(order, order + m.nnode); // reversed: the profile is never larger
    *profile = profile_in_order(g, order);
    return *profile != static_cast<std::size_t>(-1);
}

} // namespace kestrel::engine
