// Shared set-up of the model file tests: a clean frame model with the
// attribute hooks, frames built through the editing operations, and the
// canonical shape of a model.
#pragma once

#include "attrib/blocks.h"
#include "files/modelfile.h"
#include "tests/files/modelio.h"
#include "tests/support/frame.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace files_test {

// The canonical text of a model without its solid line and the addresses of
// the attribute records: what must survive a save and an open.
inline std::string shape(const Solid* s) {
    std::string d = mdl_dump(s, false), out;
    std::size_t pos = d.find('\n') + 1;
    while (pos < d.size()) {
        std::size_t end = d.find('\n', pos);
        std::string l = d.substr(pos, end - pos);
        const std::size_t a = l.find(" attr ");
        if (a != std::string::npos) {
            const std::size_t b = l.find(' ', a + 6);
            l.erase(a, b == std::string::npos ? std::string::npos : b - a);
        }
        out += l + "\n";
        pos = end + 1;
    }
    return out;
}

class ModelFileTest : public kestrel_test::FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        settings = attrib::initialSettings();
    }
    // Leaves the empty model's first vertex where it is, unlike the shared line().
    void line(double x1, double y1, double x2, double y2) {
        const MPoint p[2] = {{x1, y1}, {x2, y2}};
        mdl_begin_group();
        ASSERT_EQ(mdl_insert_points(s, CURVE_LINE, p, 2), -2);
        mdl_end_group();
    }
    // Replaces the current model by the one read (its root becomes the
    // module's root).
    void install(files::ReadResult& r) {
        ASSERT_EQ(r.status, files::ReadStatus::kModel);
        mdl_set_recording_mode(MODE_OFF);
        mdl_delete_model(s);
        mdl_undo_recording_on();
        attrib::state().root = std::move(r.root);
        settings = r.settings;
        s = r.model;
    }
    attrib::AppSettings settings;
};

} // namespace files_test
