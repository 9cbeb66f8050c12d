// Labels of property blocks: cut at a character boundary, never holding a
// blank or a control byte (the model file's label field ends at a blank).
#include "attrib/blocks.h"

#include <gtest/gtest.h>

namespace {

using namespace attrib;

TEST(Labels, CutAtACharacterBoundaryAndControlBytesRefused) {
    const std::string ae = "\xC3\xA4";       // a two-byte character
    const std::string euro = "\xE2\x82\xAC"; // a three-byte character
    std::string sixteen;
    for (int i = 0; i < 16; ++i) sixteen += ae;
    struct Row {
        std::string typed, stored;
    } cuts[] = {
        {sixteen, sixteen.substr(0, 30)},                    // 32 bytes: 15 whole characters
        {std::string(29, 'a') + euro, std::string(29, 'a')}, // 32 bytes: the euro sign left out
        {std::string(28, 'a') + euro, std::string(28, 'a') + euro}, // 31 bytes fit whole
        {std::string(30, 'a') + ae, std::string(30, 'a')},
        {std::string(40, 'b'), std::string(31, 'b')},
    };
    for (const Row& r : cuts) EXPECT_EQ(storedLabel(r.typed), r.stored) << r.typed;

    AttributeRoot root;
    for (const char* bad : {"A\x01", "\x1b[0m", "tab\there", "del\x7f", "new\nline"})
        EXPECT_EQ(newBlock(root, kMaf, bad), kLabelBlank) << bad;
    EXPECT_EQ(root.lists[kMaf], nullptr);
    EXPECT_EQ(newBlock(root, kMaf, sixteen), kLabelDone);
    EXPECT_EQ(std::string(root.lists[kMaf]->label), sixteen.substr(0, 30));
    clearBlocks(root);
}

} // namespace
