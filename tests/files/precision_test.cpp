// Numbers of the model file read back to the same doubles: frames far from
// the origin keep their dimensions, values typed with more than six digits
// keep them.
#include "attrib/section.h"
#include "tests/files/fixture.h"

#include <algorithm>

namespace {

using namespace attrib;

class PrecisionTest : public files_test::ModelFileTest {};

TEST_F(PrecisionTest, FarFromTheOriginAndManyDigitsRoundTripExactly) {
    // A 6.5 m portal at x = 100 km, two columns 0.4 m apart at x = 1,000 km.
    line(100000, 0, 100000, 3);
    line(100006.5, 0, 100006.5, 3);
    line(100000, 3, 100006.5, 3);
    line(1000000, 10, 1000000, 13);
    line(1000000.4, 10, 1000000.4, 13);
    PropertyBlock* steel = nullptr;
    ASSERT_EQ(newBlock(root(), kMaf, "Steel", &steel), kLabelDone);
    valuesOf(steel)->values[0] = 2.05943e8;
    valuesOf(steel)->values[2] = 1.17e-05;
    PropertyBlock* generic = nullptr;
    ASSERT_EQ(newBlock(root(), kSpf, "G", &generic), kLabelDone);
    sectionOf(generic)->params = {0.0123, 8.356e-05, 0.3, 0.15};
    nodeOf(s->vertices)->support[1] = '2'; // a spring in y
    nodeOf(s->vertices)->spring[1] = 12345.678;

    auto points = [this] {
        std::vector<std::pair<double, double>> p;
        for (const Vertex* v = s->vertices; v; v = v->next) p.push_back({v->x, v->y});
        std::sort(p.begin(), p.end());
        return p;
    };
    const auto before = points();
    const std::string text = files_test::writeText(s, root(), settings);
    files::ReadResult r = files_test::readText(text);
    install(r);
    EXPECT_EQ(points(), before);
    const ValueBlock& m = *valuesOf(findLabel(root(), kMaf, "Steel"));
    EXPECT_EQ(m.values[0], 2.05943e8);
    EXPECT_EQ(m.values[2], 1.17e-05);
    EXPECT_EQ(sectionOf(findLabel(root(), kSpf, "G"))->params[1], 8.356e-05);
    double spring = 0;
    for (const Vertex* v = s->vertices; v; v = v->next) spring += nodeOf(v)->spring[1];
    EXPECT_EQ(spring, 12345.678);
    // Saved again: the same bytes.
    EXPECT_EQ(files_test::writeText(s, root(), settings), text);
}

} // namespace
