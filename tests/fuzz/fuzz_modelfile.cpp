// The model file reader on arbitrary bytes. The outcome must be a model that
// passes the frame checks and whose node and member records refer only to
// blocks of the lists read, or no model at all; the model read must save and
// read back to the same bytes. Leaks and freed blocks still referred to are
// caught by the sanitizers when the model is deleted.
#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "files/modelfile.h"
#include "tests/files/modelio.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

bool inList(const attrib::AttributeRoot& r, attrib::PropertyKind kind,
            const attrib::PropertyBlock* b) {
    if (b == nullptr) return true;
    for (const attrib::PropertyBlock* x = r.lists[kind]; x; x = x->next)
        if (x == b) return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    mdl_reset();
    attrib::state().reset();
    mdl_register_hooks(&attrib::hooks());
    mdl_set_tolerance(1e-3);
    files::ReadResult r =
        files_test::readText(std::string(reinterpret_cast<const char*>(data), size));
    if (r.status != files::ReadStatus::kModel) {
        check(r.model == nullptr && mdl_first_solid() == nullptr);
        return 0;
    }
    check(mdl_check(r.model).empty());
    for (Vertex* v = r.model->vertices; v; v = v->next)
        if (auto* a = attrib::nodeOf(v))
            for (const attrib::NodeLoads& l : a->loads)
                check(inList(*r.root, attrib::kNff, l.force));
    for (Edge* e = r.model->edges; e; e = e->next)
        if (auto* a = attrib::memberOf(e))
            for (int k = attrib::kMbm; k < attrib::kPropertyKindCount; ++k) {
                const int slot = attrib::memberSlot(attrib::PropertyKind(k));
                if (slot < attrib::kMemberOwnBlocks)
                    check(inList(*r.root, attrib::PropertyKind(k), a->blocks[slot]));
                else
                    for (const attrib::MemberLoads& l : a->loads)
                        check(inList(*r.root, attrib::PropertyKind(k),
                                     l.blocks[slot - attrib::kEndMoments]));
            }
    const std::string first = files_test::writeText(r.model, *r.root, r.settings);
    files::ReadResult again = files_test::readText(first);
    check(again.status == files::ReadStatus::kModel);
    check(files_test::writeText(again.model, *again.root, again.settings) == first);
    files_test::discard(again.model);
    files_test::discard(r.model);
    mdl_reset();
    return 0;
}
