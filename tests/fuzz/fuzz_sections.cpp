// A section's parameter line read from arbitrary text: the first byte picks
// the type and the orientation, the rest is the file. Reading either refuses
// the line and leaves the section as it was, or gives parameters the type
// can hold: the right count, finite numbers, a catalogue position that
// names a row and an orientation the type admits. Then every operation of
// the type runs on it, and the written line must read back to the same
// section.
#include "attrib/section.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace attrib;

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    Section s = makeSection(data[0] % kSectionTypeCount);
    s.orientation = data[0] / kSectionTypeCount % 8;
    const Section before = s;
    std::FILE* f = std::tmpfile();
    if (!f) return 0;
    std::fwrite(data + 1, 1, size - 1, f);
    std::rewind(f);
    const bool read = readSectionParams(s, f);
    std::fclose(f);
    if (!read) {
        check(s.params == before.params && s.type == before.type);
        return 0;
    }
    check(int(s.params.size()) == sectionType(s.type).paramCount);
    for (double v : s.params) check(std::isfinite(v));
    check(admitsOrientation(s.type, s.orientation));
    if (s.type == kSecWelded || s.type == kSecLight) check(sectionCatalogueRow(s) != nullptr);
    for (int c = 0; c < kOrientCommandCount; ++c) {
        Section t = s;
        applyOrientation(t, c);
        check(admitsOrientation(t.type, t.orientation));
        (void)sectionArea(t), (void)sectionInertia(t), (void)sectionDepth(t), (void)sectionYgc(t);
    }
    (void)sectionDescription(s);
    (void)sectionTypeName(s);

    // What is written reads back (to the %g precision of the file).
    std::FILE* g = std::tmpfile();
    if (!g) return 0;
    check(writeSectionParams(s, g));
    std::rewind(g);
    Section back = makeSection(s.type);
    back.orientation = s.orientation;
    check(readSectionParams(back, g));
    std::fclose(g);
    for (std::size_t i = 0; i < s.params.size(); ++i)
        check(std::abs(back.params[i] - s.params[i]) <= 1e-5 * std::abs(s.params[i]) + 1e-300 ||
              (s.type >= kSecWelded && back.params[i] == s.params[i]));
    return 0;
}
