// The table entry each transformation kind module fills in: its number of
// points, texts (English and Portuguese), keyboard dialog, the matrix of the
// points entered and typed, the live measure and the rubber band. Private to
// the transformation modules.
#pragma once

#include "interact/trfmode.h"

#include <string>

namespace interact::trf {

using interact::Text;

struct KindDef {
    int points; // points to enter: 2 or 3
    Text prompt[3];
    Text keyboard;
    Text keyboardStatus;
    // The last point at (x, y) completes the entered points: moves it where
    // the kind takes it (onto the rotation circle) and builds the matrix;
    // false when the points define none.
    bool (*matrix)(const ModeState& s, double& x, double& y, Matrix& m);
    // The matrix of the typed fields (the tolerance is the last field).
    Matrix (*typed)(const std::vector<double>& f);
    // Live measure of the last point at (x, y); empty: none.
    std::string (*live)(const ModeState& s, double x, double y);
    // Rubber band while the point at (x, y) is due, drawn in exclusive-or
    // mode; null: a line from the previous point.
    void (*echo)(gfx::Canvas& c, const ModeState& s, double x, double y);
};

const KindDef& moveKind();   // trfmove
const KindDef& mirrorKind(); // trfmirr
const KindDef& rotateKind(); // trfrotat
const KindDef& scaleKind();  // trfscale

using interact::format;

// The matrix a composition of the current-matrix operations leaves, with the
// current matrix itself untouched.
template <class F> Matrix compose(F&& ops) {
    const Matrix saved = get();
    identity();
    ops();
    const Matrix m = get();
    set(saved);
    return m;
}

} // namespace interact::trf
