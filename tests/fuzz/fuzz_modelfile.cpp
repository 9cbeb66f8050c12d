// The model file reader on arbitrary bytes. The outcome must be a model that
// passes the frame checks and whose node and member records refer only to
// blocks of the lists read, or no model at all; the model read must save and
// read back to the same bytes. Leaks and freed blocks still referred to are
// caught by the sanitizers when the model is deleted.
#include "attrib/blocks.h"
#include "files/modelfile.h"

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

std::string write(Solid* s, const attrib::AttributeRoot& r, const attrib::AppSettings& st) {
    char* buf = nullptr;
    size_t len = 0;
    FILE* fp = open_memstream(&buf, &len);
    check(files::writeModel(fp, s, r, st));
    std::fclose(fp);
    std::string t(buf, len);
    std::free(buf);
    return t;
}

files::ReadResult read(const std::string& text) {
    FILE* fp =
        text.empty() ? std::tmpfile() : fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    files::ReadResult r = files::readModel(fp, attrib::initialSettings());
    std::fclose(fp);
    return r;
}

void drop(Solid* s) {
    mdl_set_recording_mode(MODE_OFF);
    mdl_delete_model(s);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    mdl_reset();
    attrib::state().reset();
    mdl_register_hooks(&attrib::hooks());
    mdl_set_tolerance(1e-3);
    files::ReadResult r = read(std::string(reinterpret_cast<const char*>(data), size));
    if (r.status != files::ReadStatus::kModel) {
        check(r.model == nullptr && mdl_first_solid() == nullptr);
        return 0;
    }
    check(mdl_check(r.model).empty());
    for (Vertex* v = r.model->vertices; v; v = v->next)
        if (auto* a = attrib::nodeOf(v)) check(inList(*r.root, attrib::kNff, a->force));
    for (Edge* e = r.model->edges; e; e = e->next)
        if (auto* a = attrib::memberOf(e))
            for (int k = attrib::kMbm; k < attrib::kPropertyKindCount; ++k)
                check(inList(*r.root, attrib::PropertyKind(k),
                             a->blocks[attrib::memberSlot(attrib::PropertyKind(k))]));
    const std::string first = write(r.model, *r.root, r.settings);
    files::ReadResult again = read(first);
    check(again.status == files::ReadStatus::kModel);
    check(write(again.model, *again.root, again.settings) == first);
    drop(again.model);
    drop(r.model);
    mdl_reset();
    return 0;
}
