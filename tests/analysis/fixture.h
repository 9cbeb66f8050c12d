// Test frames for the analysis driver, built through the frame model's own
// insertion with the real attribute hooks; property blocks are appended to
// the current attribute root and referred to by the records.
#pragma once

#include "analysis/analysis.h"
#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/section.h"
#include "attrib/supports.h"
#include "tests/support/frame.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace analysis::test {

class FrameTest : public kestrel_test::FrameFixture {
protected:
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
    // Loads go to the active case.
    static void give(attrib::MemberAttrib& a, attrib::MemberBlock slot, attrib::PropertyBlock* b) {
        if (slot < attrib::kMemberOwnBlocks)
            a.blocks[slot] = b;
        else
            attrib::loadsFor(a, attrib::activeCase()).blocks[slot - attrib::kEndMoments] = b;
        ++b->useCount;
    }
    static void give(attrib::NodeAttrib& a, attrib::PropertyBlock* b) {
        attrib::loadsFor(a, attrib::activeCase()).force = b;
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
    // A frame with every attribute kind: columns A (0,0)-(0,3) and C (4,3)-(4,0) drawn downward,
    // beam B (0,3)-(4,3) and D (4,3)-(8,3) hinged at its end 2.
    void everyKind() {
        line(0, 0, 0, 3);
        line(0, 3, 4, 3);
        line(4, 3, 4, 0);
        line(4, 3, 8, 3);
        attrib::PropertyBlock* m1 = block(attrib::kMaf, {2.05e8, 78.5, 1.2e-5});
        attrib::PropertyBlock* m2 = block(attrib::kMaf, {3e7, 25, 1e-5});
        attrib::PropertyBlock* s1 = block(attrib::kSpf, {0.01, 1e-4, 0.2, 0.1});
        attrib::PropertyBlock* s2 = block(attrib::kSpf, {0.02, 0, 0.3, 0.15}); // I = 0
        attrib::MemberAttrib& a = bar(0, 1);
        attrib::MemberAttrib& b = bar(2, 3);
        attrib::MemberAttrib& c = bar(4, 1);
        attrib::MemberAttrib& d = bar(6, 3);
        for (attrib::MemberAttrib* x : {&a, &b, &d}) give(*x, attrib::kMaterial, m1);
        give(c, attrib::kMaterial, m2);
        for (attrib::MemberAttrib* x : {&a, &b, &c}) give(*x, attrib::kSection, s1);
        give(d, attrib::kSection, s2);
        a.noAxial = 1;
        c.rigid = 1;
        d.hingeEnd = 1; // liberation 4 all the same: its section has I = 0
        give(b, attrib::kEndMoments, block(attrib::kMbm, {0, 5})); // one record only
        give(b, attrib::kUniform, block(attrib::kUlf, {0, -5}, 0));
        give(d, attrib::kLinear, block(attrib::kLlf, {0, -2, 0, -4}, 1));
        give(c, attrib::kThermal, block(attrib::kTpf, {10, 30}));

        attrib::NodeAttrib& n1 = at(0, 0);
        support(n1, "111");
        attrib::NodeLoads& settled = attrib::loadsFor(n1, attrib::activeCase());
        settled.prescribedFlag = 1;
        settled.prescribed[1] = -0.01;
        settled.prescribed[2] = 0.002;
        support(at(4, 0), "100");
        at(4, 0).inclination = 30;
        give(at(0, 3), block(attrib::kNff, {10, 0, 0}));
        attrib::NodeAttrib& n5 = at(8, 3); // rotation free, its only member hinged there
        support(n5, "020");
        n5.spring[0] = 7; // not a spring direction: not written
        n5.spring[1] = 500;
    }
    std::string modelPath() const { return (dir / "frame.kst").string(); }

    attrib::PropertyBlock* mat = nullptr;
    attrib::PropertyBlock* sec = nullptr;
    // A fresh folder for the model and analysis files of each test.
    kestrel_test::ScratchDir scratch{"kestrel-analysis"};
    const std::filesystem::path dir{scratch.path()};
};

} // namespace analysis::test
