// Section values of a section property block, through the section type
// table of the attributes.
#include "analysis/analysis.h"

#if __has_include("attrib/section.h")
#include "attrib/section.h"

namespace analysis {

SectionValues sectionValues(const attrib::PropertyBlock* b) {
    const attrib::Section* s = attrib::sectionOf(const_cast<attrib::PropertyBlock*>(b));
    if (!s) return {};
    return {attrib::sectionArea(*s), attrib::sectionInertia(*s), attrib::sectionDepth(*s),
            attrib::sectionYgc(*s)};
}

} // namespace analysis
#else
#include "attrib/blocks.h"

namespace analysis {

// TEMPORARY until section types land: values A, I, depth, ygc of the block.
SectionValues sectionValues(const attrib::PropertyBlock* b) {
    const attrib::ValueBlock* v = attrib::valuesOf(b);
    if (!v) return {};
    return {v->values[0], v->values[1], v->values[2], v->values[3]};
}

} // namespace analysis
#endif
