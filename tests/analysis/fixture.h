// Test frames for the analysis driver, built through the frame model's own
// insertion with the real attribute hooks; property blocks are appended to
// the current attribute root and referred to by the records.
#pragma once

#include "analysis/analysis.h"
#include "attrib/blocks.h"
#include "attrib/section.h"
#include "attrib/supports.h"
#include "tests/support/frame.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace analysis::test {

class FrameTest : public kestrel_test::FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        dir = std::filesystem::temp_directory_path() /
              ("kestrel-analysis-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        FrameFixture::TearDown();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    attrib::AttributeRoot& root() { return attrib::root(); }
    attrib::NodeAttrib& at(double x, double y) {
        Vertex* v = node(x, y);
        EXPECT_NE(v, nullptr) << x << "," << y;
        return *attrib::nodeOf(v);
    }
    attrib::MemberAttrib& bar(double x, double y) { return *attrib::memberOf(member(x, y)); }

    attrib::PropertyBlock* block(attrib::PropertyKind kind, std::initializer_list<double> v,
                                 int direction = 0) {
        attrib::PropertyBlock* b = attrib::appendBlock(root(), kind, attrib::makeBlock(kind));
        // Labels as the panels give them: never empty.
        std::snprintf(b->label, sizeof b->label, "P%d", b->id);
        if (kind == attrib::kSpf) {
            double p[4] = {0, 0, 0, 0};
            int i = 0;
            for (double x : v) p[i++] = x;
            attrib::sectionOf(b)->params.assign(p, p + 4);
            return b;
        }
        attrib::ValueBlock* vb = attrib::valuesOf(b);
        int i = 0;
        for (double x : v) vb->values[i++] = x;
        vb->direction = direction;
        return b;
    }
    static void give(attrib::MemberAttrib& a, attrib::MemberBlock slot, attrib::PropertyBlock* b) {
        a.blocks[slot] = b;
        ++b->useCount;
    }
    static void give(attrib::NodeAttrib& a, attrib::PropertyBlock* b) {
        a.force = b;
        ++b->useCount;
    }
    // Material E = 2e8, alpha 1e-5 and section A = 0.01, I = 1e-4, h = 0.2,
    // ygc = 0.1 on every member.
    void standardProperties() {
        mat = block(attrib::kMaf, {2e8, 78.5, 1e-5});
        sec = block(attrib::kSpf, {0.01, 1e-4, 0.2, 0.1});
        for (Edge* e = s->edges; e; e = e->next) {
            give(*attrib::memberOf(e), attrib::kMaterial, mat);
            give(*attrib::memberOf(e), attrib::kSection, sec);
        }
    }
    static void support(attrib::NodeAttrib& a, const char* codes) {
        for (int d = 0; d < 3; ++d) a.support[d] = codes[d];
    }
    std::string modelPath() const { return (dir / "frame.kst").string(); }

    attrib::PropertyBlock* mat = nullptr;
    attrib::PropertyBlock* sec = nullptr;
    std::filesystem::path dir;
};

} // namespace analysis::test
