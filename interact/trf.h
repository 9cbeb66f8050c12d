// Matrix operations of the transformation library. The module keeps one
// current 2D affine matrix (a, b, tx, c, d, ty): a point (x, y) maps to
// (a*x + b*y + tx, c*x + d*y + ty). Every operation acts on the current
// matrix and composes after what it already holds. Also the Shift snapping
// rule shared by the transformation and curve creation modules: a point is
// pulled to the horizontal, vertical or 45-degree line through the previous
// point. Called by the transformation front end and by cll.
#pragma once

namespace interact::trf {

struct Matrix {
    double a = 1, b = 0, tx = 0;
    double c = 0, d = 1, ty = 0;
    bool operator==(const Matrix&) const = default;
};

// The module's state: the current matrix.
struct TrfState {
    Matrix m;
    void reset() { m = Matrix{}; }
};
TrfState& state();

void identity();
Matrix get();
void set(const Matrix& m);
void translate(double dx, double dy);
void scale(double sx, double sy);
void rotate(double degrees); // counter-clockwise
void shear(double shx, double shy);
void mirrorX(); // x becomes -x
void mirrorY(); // y becomes -y
// Mirror about the line through the origin with direction (dx, dy).
void mirrorLine(double dx, double dy);
// The same about a point: translate by minus the point, apply, translate back.
void scaleAbout(double x, double y, double sx, double sy);
void rotateAbout(double x, double y, double degrees);
void shearAbout(double x, double y, double shx, double shy);
void mirrorXAbout(double x, double y);
void mirrorYAbout(double x, double y);
// Mirror about the line through (x1, y1) and (x2, y2).
void mirrorAbout(double x1, double y1, double x2, double y2);
// Replaces the matrix by its inverse; -1 (matrix unchanged) when singular.
int invert();
void apply(double x, double y, double& ox, double& oy);

// Pulls (x, y) to the horizontal, vertical or diagonal through (px, py): the
// coordinate whose offset is the smaller one becomes the previous one when
// the offsets' ratio is at most 0.75, otherwise it follows the larger offset
// on the 45-degree diagonal. Offsets of 0 leave the point as it is.
void snapOrtho(double px, double py, double& x, double& y);

} // namespace interact::trf
