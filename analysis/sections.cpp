// Section values of a section property block, through the section type
// table of the attributes.
#include "analysis/analysis.h"

#include "attrib/section.h"

namespace analysis {

SectionValues sectionValues(const attrib::PropertyBlock* b) {
    const attrib::Section* s = attrib::sectionOf(const_cast<attrib::PropertyBlock*>(b));
    if (!s) return {};
    return {attrib::sectionArea(*s), attrib::sectionInertia(*s), attrib::sectionDepth(*s),
            attrib::sectionYgc(*s)};
}

} // namespace analysis
