// Random sequences of block list operations on a real frame model: new and
// renamed blocks with arbitrary labels, members drawn, selected, given blocks
// and deleted, undo and redo, remove and condense with either answer. After
// every step the lists must be numbered 1..n with single-word labels of at
// most 31 characters, unique in their list, and no block may count fewer
// records than the live entities that refer to it; at the end, with the
// history emptied, every count must equal the live references exactly. A
// block freed while something refers to it is caught by the sanitizers when
// the model releases its records.
#include "attrib/blocks.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace attrib;

struct Input {
    const std::uint8_t* data;
    std::size_t size, pos = 0;
    bool more() const { return pos < size; }
    int byte() { return pos < size ? data[pos++] : 0; }
};

void check(bool ok) {
    if (!ok) std::abort();
}

void checkLists(const Solid* s, bool exact) {
    const AttributeRoot& r = root();
    for (int k = 0; k < kPropertyKindCount; ++k) {
        const auto kind = static_cast<PropertyKind>(k);
        int id = 0;
        for (const PropertyBlock* b = r.lists[k]; b; b = b->next) {
            check(b->id == ++id);
            const std::size_t n = std::strlen(b->label);
            check(n >= 1 && n <= 31);
            for (std::size_t i = 0; i < n; ++i)
                check(!std::isspace(static_cast<unsigned char>(b->label[i])));
            for (const PropertyBlock* c = b->next; c; c = c->next)
                check(std::strcmp(b->label, c->label) != 0);
            const int live = liveUsers(s, kind, b);
            check(exact ? b->useCount == live : b->useCount >= live);
        }
        check(r.counters[k] == id);
    }
}

std::vector<Edge*> members(Solid* s) {
    std::vector<Edge*> out;
    for (Edge* e = s->edges; e; e = e->next) out.push_back(e);
    return out;
}

PropertyBlock* someBlock(Input& in, PropertyKind kind) {
    const int n = blockCount(root(), kind);
    return n ? findBlock(root(), kind, in.byte() % (n + 1)) : nullptr; // id 0: none
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    mdl_reset();
    state().reset();
    mdl_register_hooks(&hooks());
    mdl_set_tolerance(1e-3);
    Solid* s = mdl_new_model();
    root();
    Input in{data, size};
    int drawn = 0;
    for (int step = 0; step < 200 && in.more(); ++step) {
        const int op = in.byte() % 12;
        const auto kind = static_cast<PropertyKind>(in.byte() % kPropertyKindCount);
        switch (op) {
        case 0:
        case 1: {
            std::string label;
            for (int n = in.byte() % 40; n > 0; --n) label += static_cast<char>(in.byte());
            label = label.substr(0, label.find('\0'));
            if (op == 0)
                newBlock(root(), kind, label);
            else
                renameBlock(root(), kind, someBlock(in, kind), label);
            break;
        }
        case 2: {
            if (drawn >= 12) break;
            const MPoint p[2] = {{double(in.byte() % 6), double(in.byte() % 6)},
                                 {double(in.byte() % 6), double(in.byte() % 6)}};
            if (p[0].x == p[1].x && p[0].y == p[1].y) break; // no member
            mdl_begin_group();
            // As the editor does: the dummy node of an empty model moves to
            // the first point.
            if (mdl_is_empty(s)) mdl_move_vertex(s->vertices, p[0]);
            mdl_insert_points(s, CURVE_LINE, p, 2);
            mdl_end_group();
            ++drawn;
            break;
        }
        case 3: {
            auto m = members(s);
            if (!m.empty())
                if (MemberAttrib* a = memberOf(m[in.byte() % m.size()])) a->selected ^= 1;
            break;
        }
        case 4:
            applyToSelection(s, kind, someBlock(in, kind));
            break;
        case 5:
            applyToAllMembers(s, kind, someBlock(in, kind));
            break;
        case 6:
            mdl_undo();
            break;
        case 7:
            mdl_redo();
            break;
        case 8: {
            auto m = members(s);
            if (m.empty()) break;
            mdl_begin_group();
            mdl_delete_edge(m[in.byte() % m.size()]);
            mdl_end_group();
            break;
        }
        case 9:
            removeBlock(root(), s, kind, someBlock(in, kind), in.byte() & 1);
            break;
        case 10:
            condenseBlocks(root(), s, kind, in.byte() & 1);
            break;
        default:
            selectUsers(s, kind, someBlock(in, kind));
            break;
        }
        s = mdl_first_solid();
        checkLists(s, false);
    }
    mdl_clear_history();
    checkLists(s, true);
    mdl_reset(); // releases the records while their blocks are alive
    state().reset();
    return 0;
}
