// A frame drawn by the model display into the recording driver, in the
// white-background scheme with the initial settings, for the display tests.
#pragma once

#include "attrib/settings.h"
#include "gfx/record.h"
#include "results/display.h"
#include "tests/support/frame.h"
#include "tests/support/primitives.h"

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

    attrib::AppSettings settings;
    attrib::ColorScheme colors;
    gfx::RecordingCanvas c{500, 500};
};

} // namespace kestrel_test
