// The picture of a section's oriented shape: its outline stands where the
// section's depth and ygc say (the picture and the properties agree in
// every orientation), the picture names, the typical proportions of a
// section whose dimensions are not set, and what reaches the recording
// driver.
#include "shell/panels/sectionpicture.h"

#include "gfx/record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using namespace attrib;
using gfx::Primitive;

Section section(int type, int code, std::vector<double> v) {
    Section s = makeSection(type);
    s.orientation = code;
    if (!v.empty()) s.params = std::move(v);
    return s;
}

struct Box {
    double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
};
Box extent(const std::vector<shell::ShapePart>& parts) {
    Box b;
    for (const auto& p : parts) {
        if (p.circle) {
            const double r = p.outline[1].x;
            b.x0 = std::min(b.x0, p.outline[0].x - r), b.x1 = std::max(b.x1, p.outline[0].x + r);
            b.y0 = std::min(b.y0, p.outline[0].y - r), b.y1 = std::max(b.y1, p.outline[0].y + r);
            continue;
        }
        for (const auto& q : p.outline) {
            b.x0 = std::min(b.x0, q.x), b.x1 = std::max(b.x1, q.x);
            b.y0 = std::min(b.y0, q.y), b.y1 = std::max(b.y1, q.y);
        }
    }
    return b;
}

TEST(SectionPicture, ShapeStandsOnItsBottomFibreWithTheSectionsDepthAndAxis) {
    const Section cases[] = {
        section(kSecRectangle, 0, {0.5, 0.2}),
        section(kSecIShape, 0, {0.3, 0.15, 0.01, 0.02}),
        section(kSecAngle, 0, {0.15, 0.09, 0.012}),
        section(kSecTShape, 0, {0.3, 0.2, 0.012, 0.025}),
        section(kSecCShape, 0, {0.3, 0.09, 0.007, 0.011}),
        section(kSecZShape, 0, {0.2, 0.075, 0.004}),
        section(kSecCircle, 0, {0.3}),
        section(kSecRing, 0, {0.2, 0.012}),
        section(kSecDoubleAngle, 0, {0.1, 0.08, 0.01, 0.012}),
        section(kSecGirder, 0, {0.03, 0.04, 0.5, 0.06, 0.025, 0.3, 0.22, 0.012}),
        section(kSecBox, 0, {0.3, 0.2, 0.01, 0.015}),
        section(kSecWelded, 0, {2, 10, 3}),
        section(kSecLight, 0, {3, 2}),
    };
    for (Section s : cases) {
        const SectionType& t = sectionType(s.type);
        for (int k = 0; k < t.codeCount; ++k) {
            s.orientation = t.codes[k];
            const std::string where = std::string(t.item) + " " + std::to_string(s.orientation);
            bool toScale = false;
            const Box b = extent(shell::sectionShape(s, &toScale));
            EXPECT_TRUE(toScale) << where;
            EXPECT_NEAR(b.y0, 0, 1e-12) << where;
            EXPECT_NEAR(b.y1, sectionDepth(s), 1e-12) << where;

            // The dash-dotted axis of the recorded picture is at ygc.
            gfx::RecordingCanvas c(200, 150);
            shell::drawSectionPicture(c, s);
            const auto& prims = c.primitives();
            ASSERT_FALSE(prims.empty());
            EXPECT_EQ(prims.front().kind, Primitive::Kind::Clear);
            const auto axis = std::find_if(prims.begin(), prims.end(), [](const Primitive& p) {
                return p.lineStyle == gfx::LineStyle::DashDot;
            });
            ASSERT_NE(axis, prims.end()) << where;
            EXPECT_NEAR(axis->world[0].y, sectionYgc(s), 1e-12) << where;
            // The whole shape is inside the window.
            for (const Primitive& p : prims)
                for (const gfx::Point& q : p.pixel) {
                    EXPECT_GE(q.x, 0) << where;
                    EXPECT_LE(q.x, 200) << where;
                    EXPECT_GE(q.y, 0) << where;
                    EXPECT_LE(q.y, 150) << where;
                }
        }
    }
}

TEST(SectionPicture, UnsetOrImproperDimensionsDrawTypicalProportionsWithoutAxis) {
    const Section cases[] = {
        makeSection(kSecIShape),
        section(kSecIShape, 0, {0.3, 0.15, 0.01, 0.2}), // flanges thicker than half the depth
        section(kSecRing, 0, {0.2, 0.15}),
        section(kSecBox, 0, {0.3, 0.2, -0.01, 0.015}),
        makeSection(kSecGeneric),
    };
    for (const Section& s : cases) {
        bool toScale = true;
        EXPECT_FALSE(shell::sectionShape(s, &toScale).empty());
        EXPECT_FALSE(toScale) << s.type;
        gfx::RecordingCanvas c(100, 100);
        shell::drawSectionPicture(c, s);
        EXPECT_GE(c.count(Primitive::Kind::Polygon) + c.count(Primitive::Kind::Sector), 1);
        for (const Primitive& p : c.primitives())
            EXPECT_NE(p.lineStyle, gfx::LineStyle::DashDot) << s.type;
    }
    // A ring's hole is painted in the background colour over the disc.
    gfx::RecordingCanvas c(100, 100);
    shell::drawSectionPicture(c, section(kSecRing, 0, {0.2, 0.012}));
    ASSERT_EQ(c.count(Primitive::Kind::Sector), 2);
    std::vector<const Primitive*> discs;
    for (const Primitive& p : c.primitives())
        if (p.kind == Primitive::Kind::Sector) discs.push_back(&p);
    EXPECT_EQ(discs[1]->color, 1);
    EXPECT_NEAR(discs[1]->rx / discs[0]->rx, 0.088 / 0.1, 1e-9);
}

TEST(SectionPicture, Names) {
    struct Case {
        int type, code;
        const char* name;
    } cases[] = {
        {kSecGeneric, 0, "secgenericimg"},
        {kSecIShape, 1, "secishapeimg_left"},
        {kSecWelded, 0, "secishapeimg_north"},
        {kSecLight, 1, "secishapeimg_left"},
        {kSecAngle, 4, "secangleimg_northflip"},
        {kSecAngle, 3, "secangleimg_right"},
        {kSecAngle, 7, "secangleimg_rightflip"},
        {kSecTShape, 2, "sectshapeimg_south"},
        {kSecCShape, 3, "seccshapeimg_right"},
        {kSecZShape, 5, "seczshapeimg_leftflip"},
        {kSecZShape, 4, "seczshapeimg_northflip"},
        {kSecDoubleAngle, 1, "secdangleimg_left"},
        {kSecGirder, 0, "secgirderimg_north"},
        {kSecBox, 0, "secboximg"},
        {kSecRing, 0, "secringimg"},
        {kSecCircle, 0, "seccircleimg"},
        {kSecRectangle, 0, "secrectangleimg"},
        {kSecIShape, 2, ""},
        {kSecAngle, 1, ""},
        {14, 0, ""},
    };
    for (const Case& c : cases) EXPECT_STREQ(shell::sectionPictureName(c.type, c.code), c.name);
}

} // namespace
