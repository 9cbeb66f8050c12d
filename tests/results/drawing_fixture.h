// A frame drawn by the model display into the recording driver, in the
// white-background scheme with the initial settings, for the display tests.
#pragma once

#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/settings.h"
#include "gfx/record.h"
#include "results/display.h"
#include "tests/support/frame.h"
#include "tests/support/primitives.h"

#include <array>
#include <string>

namespace kestrel_test {

class DrawingFixture : public FrameFixture {
protected:
    // The world window of the 500 x 500 canvas, square around the frame.
    void setUpDrawing(double lo, double hi) {
        FrameFixture::SetUp();
        settings = attrib::initialSettings();
        colors = attrib::makeScheme(attrib::kWhiteBackground);
        c.setWindow(lo, hi, lo, hi);
    }
    void draw() {
        c.reset();
        results::DisplayInput in;
        in.model = s;
        in.root = &attrib::root();
        in.settings = &settings;
        in.colors = &colors;
        results::drawModel(c, in);
    }

    // The primitives of a kind, in one colour or in a role's colour.
    std::vector<gfx::Primitive> of(gfx::Primitive::Kind k, int color = -1) const {
        return primitivesOf(c, k, color);
    }
    std::vector<gfx::Primitive> of(gfx::Primitive::Kind k, results::Role r) const {
        return of(k, results::roleColor(colors, r));
    }

    // A new block of a kind in the attribute root, labelled b1, b2, ...
    attrib::ValueBlock* newLoad(attrib::PropertyKind kind, std::array<double, 4> v,
                                int direction = 0) {
        attrib::PropertyBlock* b = nullptr;
        attrib::newBlock(attrib::root(), kind, "b" + std::to_string(++blocks), &b);
        attrib::valuesOf(b)->values = v;
        attrib::valuesOf(b)->direction = direction;
        return attrib::valuesOf(b);
    }
    // A new load block given to a member or a node in a new record, as the
    // editing does.
    attrib::ValueBlock* loadOn(Edge* e, attrib::PropertyKind kind, std::array<double, 4> v,
                               int direction = 0) {
        attrib::ValueBlock* b = newLoad(kind, v, direction);
        attrib::MemberAttrib* a = attrib::copyMemberAttrib(*attrib::memberOf(e));
        const int slot = attrib::memberSlot(kind);
        if (slot < attrib::kMemberOwnBlocks)
            a->blocks[slot] = b;
        else
            attrib::loadsFor(*a, attrib::activeCase()).blocks[slot - attrib::kEndMoments] = b;
        ++b->useCount;
        mdl_set_edge_attrib(e, a);
        return b;
    }
    void nodalForce(Vertex* v, double fx, double fy, double mz) {
        attrib::ValueBlock* b = newLoad(attrib::kNff, {fx, fy, mz, 0});
        attrib::NodeAttrib* a = attrib::copyNodeAttrib(*attrib::nodeOf(v));
        attrib::loadsFor(*a, attrib::activeCase()).force = b;
        ++b->useCount;
        mdl_set_vertex_attrib(v, a);
    }

    int blocks = 0;
    attrib::AppSettings settings;
    attrib::ColorScheme colors;
    gfx::RecordingCanvas c{500, 500};
};

} // namespace kestrel_test
