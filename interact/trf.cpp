// The current transformation matrix and its operations.
#include "interact/trf.h"

#include <cmath>

namespace interact::trf {

namespace {

constexpr double kDegToRad = 0.01745329252;
// Ratio of the smaller to the larger offset below which Shift pulls a point
// onto the horizontal or vertical instead of the diagonal.
constexpr double kOrthoRatio = 0.75;

struct Row {
    double p, q, t;
};

Row row0(const Matrix& m) {
    return {m.a, m.b, m.tx};
}
Row row1(const Matrix& m) {
    return {m.c, m.d, m.ty};
}
void setRows(Matrix& m, Row r0, Row r1) {
    m.a = r0.p;
    m.b = r0.q;
    m.tx = r0.t;
    m.c = r1.p;
    m.d = r1.q;
    m.ty = r1.t;
}
Row comb(double s, Row u, double t, Row v) {
    return {s * u.p + t * v.p, s * u.q + t * v.q, s * u.t + t * v.t};
}

} // namespace

TrfState& state() {
    static TrfState s;
    return s;
}

void identity() {
    state().m = Matrix{};
}

Matrix get() {
    return state().m;
}

void set(const Matrix& m) {
    state().m = m;
}

void translate(double dx, double dy) {
    Matrix& m = state().m;
    m.tx += dx;
    m.ty += dy;
}

void scale(double sx, double sy) {
    Matrix& m = state().m;
    setRows(m, comb(sx, row0(m), 0, row1(m)), comb(0, row0(m), sy, row1(m)));
}

void rotate(double degrees) {
    Matrix& m = state().m;
    double r = degrees * kDegToRad;
    double cs = std::cos(r), sn = std::sin(r);
    Row r0 = row0(m), r1 = row1(m);
    setRows(m, comb(cs, r0, -sn, r1), comb(sn, r0, cs, r1));
}

void shear(double shx, double shy) {
    Matrix& m = state().m;
    Row r0 = row0(m), r1 = row1(m);
    setRows(m, comb(1, r0, shx, r1), comb(shy, r0, 1, r1));
}

void mirrorX() {
    Matrix& m = state().m;
    setRows(m, comb(-1, row0(m), 0, row1(m)), row1(m));
}

void mirrorY() {
    Matrix& m = state().m;
    setRows(m, row0(m), comb(0, row0(m), -1, row1(m)));
}

void mirrorLine(double dx, double dy) {
    if (dx == 0) {
        mirrorX();
        return;
    }
    if (dy == 0) {
        mirrorY();
        return;
    }
    double t, k;
    if (std::fabs(dy) < std::fabs(dx)) {
        t = dy / dx;
        k = 1 - t * t;
    } else {
        t = dx / dy;
        k = t * t - 1;
    }
    double n = 1 + t * t;
    Matrix& m = state().m;
    Row r0 = row0(m), r1 = row1(m);
    setRows(m, comb(k / n, r0, 2 * t / n, r1), comb(2 * t / n, r0, -k / n, r1));
}

void scaleAbout(double x, double y, double sx, double sy) {
    translate(-x, -y);
    scale(sx, sy);
    translate(x, y);
}

void rotateAbout(double x, double y, double degrees) {
    translate(-x, -y);
    rotate(degrees);
    translate(x, y);
}

void shearAbout(double x, double y, double shx, double shy) {
    translate(-x, -y);
    shear(shx, shy);
    translate(x, y);
}

void mirrorXAbout(double x, double y) {
    translate(-x, -y);
    mirrorX();
    translate(x, y);
}

void mirrorYAbout(double x, double y) {
    translate(-x, -y);
    mirrorY();
    translate(x, y);
}

void mirrorAbout(double x1, double y1, double x2, double y2) {
    translate(-x1, -y1);
    mirrorLine(x2 - x1, y2 - y1);
    translate(x1, y1);
}

int invert() {
    Matrix& m = state().m;
    double det = m.a * m.d - m.b * m.c;
    if (det == 0) return -1;
    Matrix r;
    r.a = m.d / det;
    r.b = -m.b / det;
    r.c = -m.c / det;
    r.d = m.a / det;
    r.tx = -(r.a * m.tx + r.b * m.ty);
    r.ty = -(r.c * m.tx + r.d * m.ty);
    m = r;
    return 0;
}

void apply(double x, double y, double& ox, double& oy) {
    const Matrix& m = state().m;
    ox = m.a * x + m.b * y + m.tx;
    oy = m.c * x + m.d * y + m.ty;
}

void snapOrtho(double px, double py, double& x, double& y) {
    double dx = x - px, dy = y - py;
    if (dx == 0 || dy == 0) return;
    if (std::fabs(dy) >= std::fabs(dx)) {
        double ratio = dx / dy;
        if (std::fabs(ratio) <= kOrthoRatio)
            x = px;
        else
            x = ratio > 0 ? px + dy : px - dy;
    } else {
        double ratio = dy / dx;
        if (std::fabs(ratio) <= kOrthoRatio)
            y = py;
        else
            y = ratio > 0 ? py + dx : py - dx;
    }
}

} // namespace interact::trf
