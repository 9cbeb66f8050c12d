// Area, moment of inertia, depth and ygc of each section type in its
// orientation. I is about the horizontal axis through the centroid; depth
// and ygc are measured vertically in the oriented shape. Degenerate
// parameter sets give 0 where a formula would divide by zero.
#include "attrib/sectionprops.h"

#include <algorithm>
#include <cmath>

namespace attrib::props {

namespace {

const double kPi = std::acos(-1.0);

double p(const Section& s, int i) {
    return i < static_cast<int>(s.params.size()) ? s.params[i] : 0.0;
}
double sq(double x) {
    return x * x;
}
double cube(double x) {
    return x * x * x;
}

// Dimensions of an I-shaped section: typed (I-shape) or from a catalogue row.
struct IDims {
    double d, b, tw, tf;
};
IDims iDims(const Section& s) {
    if (const CatalogueRow* r = sectionCatalogueRow(s)) return {r->d, r->b, r->tw, r->tf};
    return {p(s, 0), p(s, 1), p(s, 2), p(s, 3)};
}

} // namespace

// ---- Generic: the typed values ----
double genericA(const Section& s) {
    return p(s, 0);
}
double genericI(const Section& s) {
    return p(s, 1);
}
double genericDepth(const Section& s) {
    return p(s, 2);
}
double genericYgc(const Section& s) {
    return p(s, 3);
}

// ---- Rectangle: d, b ----
double rectA(const Section& s) {
    return p(s, 1) * p(s, 0);
}
double rectI(const Section& s) {
    return p(s, 1) * cube(p(s, 0)) / 12;
}
double rectDepth(const Section& s) {
    return p(s, 0);
}
double rectYgc(const Section& s) {
    return p(s, 0) / 2;
}

// ---- I-shape and the catalogue types: d, b, tw, tf; 0 normal, 1 rotated ----
double iA(const Section& s) {
    const IDims g = iDims(s);
    return g.b * g.d - (g.d - 2 * g.tf) * (g.b - g.tw);
}
double iI(const Section& s) {
    const IDims g = iDims(s);
    if (s.orientation == 1) return g.tf * cube(g.b) / 6 + (g.d - 2 * g.tf) * cube(g.tw) / 12;
    return (g.b * cube(g.d) - (g.b - g.tw) * cube(g.d - 2 * g.tf)) / 12;
}
double iDepth(const Section& s) {
    const IDims g = iDims(s);
    return s.orientation == 1 ? g.b : g.d;
}
double iYgc(const Section& s) {
    return iDepth(s) / 2;
}

// ---- Angle: d, b, t; 0 and 4 horizontal leg at the bottom, 3 and 7 at the top ----
namespace {
bool angleDegenerate(const Section& s) {
    return p(s, 0) == 0 || p(s, 1) == 0 || p(s, 2) == 0;
}
// Height of the centroid above the outer face of the horizontal leg.
double angleYbar(const Section& s) {
    const double d = p(s, 0), b = p(s, 1), t = p(s, 2);
    return (d * d + (b - t) * t) / (2 * (d + b - t));
}
} // namespace
double angleA(const Section& s) {
    const double d = p(s, 0), b = p(s, 1), t = p(s, 2);
    return t * (b - t) + d * t;
}
double angleI(const Section& s) {
    if (angleDegenerate(s)) return 0;
    const double d = p(s, 0), b = p(s, 1), t = p(s, 2), y = angleYbar(s);
    return (b * cube(y) + t * cube(d - y) - (b - t) * cube(y - t)) / 3;
}
double angleDepth(const Section& s) {
    return p(s, 0);
}
double angleYgc(const Section& s) {
    if (angleDegenerate(s)) return 0;
    const double y = angleYbar(s);
    return s.orientation == 3 || s.orientation == 7 ? p(s, 0) - y : y;
}

// ---- T-shape: d, b, tw, tf; 0 flange up, 1 left, 2 down, 3 right ----
double teeA(const Section& s) {
    const double d = p(s, 0), b = p(s, 1), tw = p(s, 2), tf = p(s, 3);
    return b * tf + (d - tf) * tw;
}
double teeI(const Section& s) {
    const double d = p(s, 0), b = p(s, 1), tw = p(s, 2), tf = p(s, 3), a = teeA(s);
    if (a == 0) return 0;
    if (s.orientation == 1 || s.orientation == 3) return (tf * cube(b) + (d - tf) * cube(tw)) / 12;
    return (b * cube(tf) + tw * cube(d - tf) + 3 * b * tf * tw * (d - tf) * d * d / a) / 12;
}
double teeDepth(const Section& s) {
    return s.orientation == 1 || s.orientation == 3 ? p(s, 1) : p(s, 0);
}
double teeYgc(const Section& s) {
    const double d = p(s, 0), b = p(s, 1), tf = p(s, 3), a = teeA(s);
    if (a == 0) return 0;
    switch (s.orientation) {
    case 1:
    case 3:
        return b / 2;
    case 2:
        return (d + tf - b * d * tf / a) / 2;
    default:
        return (b * d * tf / a + d - tf) / 2;
    }
}

// ---- C-shape: d, b, tw, tf; 0 web at the left, 1 at the bottom, 2 right, 3 top ----
namespace {
// Distance of the centroid from the outer face of the web.
double channelXbar(const Section& s) {
    const double d = p(s, 0), b = p(s, 1), tw = p(s, 2), a = channelA(s);
    return a == 0 ? 0 : (tw + b - d * b * tw / a) / 2;
}
} // namespace
double channelA(const Section& s) {
    const double d = p(s, 0), b = p(s, 1), tw = p(s, 2), tf = p(s, 3);
    return d * tw + 2 * (b - tw) * tf;
}
double channelYgc(const Section& s) {
    switch (s.orientation) {
    case 1:
        return channelXbar(s);
    case 3:
        return p(s, 1) - channelXbar(s);
    default:
        return p(s, 0) / 2;
    }
}
double channelI(const Section& s) {
    const double d = p(s, 0), b = p(s, 1), tw = p(s, 2), tf = p(s, 3);
    if (channelYgc(s) == 0) return 0;
    if (s.orientation == 1 || s.orientation == 3) {
        const double y = channelXbar(s);
        return (d * cube(y) + 2 * tf * cube(b - y) - (d - 2 * tf) * cube(y - tw)) / 3;
    }
    return (cube(d) * b - (b - tw) * cube(d - 2 * tf)) / 12;
}
double channelDepth(const Section& s) {
    return s.orientation == 1 || s.orientation == 3 ? p(s, 1) : p(s, 0);
}

// ---- Z-shape: d, b, t; 0 and 4 web vertical, 1 and 5 web horizontal ----
namespace {
bool zeeLying(const Section& s) {
    return s.orientation == 1 || s.orientation == 5;
}
} // namespace
double zeeA(const Section& s) {
    const double d = p(s, 0), b = p(s, 1), t = p(s, 2);
    return t * (2 * (b - t) + d);
}
// Lying, this is the usual closed form without the t^4/12 that the two
// flange parts inside the web's width add; kept as the established value
// of this section type.
double zeeI(const Section& s) {
    const double d = p(s, 0), b = p(s, 1), t = p(s, 2);
    if (zeeLying(s)) return (cube(t) * (d - 2 * t) + cube(2 * b - t) * t) / 12;
    return (cube(d) * b - cube(d - 2 * t) * (b - t)) / 12;
}
double zeeDepth(const Section& s) {
    return zeeLying(s) ? 2 * p(s, 1) - p(s, 2) : p(s, 0);
}
double zeeYgc(const Section& s) {
    return zeeLying(s) ? p(s, 1) - p(s, 2) / 2 : p(s, 0) / 2;
}

// ---- Circle: d; Ring: d, t ----
double circleA(const Section& s) {
    return kPi * sq(p(s, 0)) / 4;
}
double circleI(const Section& s) {
    return kPi * sq(sq(p(s, 0))) / 64;
}
double roundDepth(const Section& s) {
    return p(s, 0);
}
double roundYgc(const Section& s) {
    return p(s, 0) / 2;
}
double ringA(const Section& s) {
    const double d = p(s, 0), t = p(s, 1);
    return kPi * (sq(d) - sq(d - 2 * t)) / 4;
}
double ringI(const Section& s) {
    const double d = p(s, 0), t = p(s, 1);
    return kPi * (sq(sq(d)) - sq(sq(d - 2 * t))) / 64;
}

// ---- Double Angle: d, b, t, e; codes as the T-shape ----
double dangleA(const Section& s) {
    const double d = p(s, 0), b = p(s, 1), t = p(s, 2);
    return 2 * t * (d - t) + 2 * b * t;
}
double dangleYgc(const Section& s) {
    const double d = p(s, 0), b = p(s, 1), t = p(s, 2), e = p(s, 3), a = dangleA(s);
    if (a <= 0) return 0;
    switch (s.orientation) {
    case 1:
    case 3:
        return b + e / 2;
    case 2:
        return 2 * (t * sq(d - t) / 2 + b * t * (d - t / 2)) / a;
    default:
        return 2 * ((d - t) * t * (t + (d - t) / 2) + b * t * t / 2) / a;
    }
}
double dangleI(const Section& s) {
    const double d = p(s, 0), b = p(s, 1), t = p(s, 2), e = p(s, 3), y = dangleYgc(s);
    if (y <= 0) return 0;
    const double own = cube(t) * b / 6 + cube(d - t) * t / 6;
    switch (s.orientation) {
    case 1:
    case 3:
        return cube(t) * d / 6 + cube(b - t) * t / 6 + d * t * sq(e + t) / 2 +
               (b - t) * t * sq(t + b + e) / 2;
    case 2:
        return 2 * b * t * sq(d - y - t / 2) + own + 2 * t * (d - t) * sq(y - (d - t) / 2);
    default:
        return 2 * b * t * sq(y - t / 2) + own + 2 * t * (d - t) * sq(t + (d - t) / 2 - y);
    }
}
double dangleDepth(const Section& s) {
    const bool lying = s.orientation == 1 || s.orientation == 3;
    return lying ? 2 * p(s, 1) + p(s, 3) : p(s, 0);
}

// ---- Girder Section: d1..d5, b1, b2, tw; codes as the T-shape ----
namespace {
struct Girder {
    double d1, d2, d3, d4, d5, b1, b2, tw;
    double h() const { return d1 + d2 + d3 + d4 + d5; }
    // Centroids of the transition trapezoids above their lower faces.
    double c2() const { return b1 + tw == 0 ? 0 : (2 * b1 + tw) * d2 / (3 * (b1 + tw)); }
    double c4() const { return b2 + tw == 0 ? 0 : (b2 + 2 * tw) * d4 / (3 * (b2 + tw)); }
};
Girder girder(const Section& s) {
    return {p(s, 0), p(s, 1), p(s, 2), p(s, 3), p(s, 4), p(s, 5), p(s, 6), p(s, 7)};
}
// Own moment of inertia of a trapezoid of height h with parallel sides a and b.
double trapezoidI(double h, double a, double b) {
    return a + b == 0 ? 0 : cube(h) * (a * a + 4 * a * b + b * b) / (36 * (a + b));
}
bool girderLying(const Section& s) {
    return s.orientation == 1 || s.orientation == 3;
}
// Height of the centroid above the bottom fibre of the upright girder.
double girderYbar(const Section& s) {
    const Girder g = girder(s);
    const double a = girderA(s);
    const double first = g.b1 * g.d1 * (g.d1 / 2 + g.d2 + g.d3 + g.d4 + g.d5) +
                         (g.b1 + g.tw) * g.d2 / 2 * (g.c2() + g.d3 + g.d4 + g.d5) +
                         g.tw * g.d3 * (g.d3 / 2 + g.d4 + g.d5) +
                         (g.b2 + g.tw) * g.d4 / 2 * (g.c4() + g.d5) + g.b2 * sq(g.d5) / 2;
    return first / a;
}
} // namespace
double girderA(const Section& s) {
    const Girder g = girder(s);
    return g.b1 * g.d1 + (g.b1 + g.tw) * g.d2 / 2 + g.tw * g.d3 + (g.tw + g.b2) * g.d4 / 2 +
           g.b2 * g.d5;
}
double girderYgc(const Section& s) {
    if (girderA(s) <= 0) return 0;
    const Girder g = girder(s);
    switch (s.orientation) {
    case 1:
    case 3:
        return std::max(g.b1, g.b2) / 2;
    case 2:
        return g.h() - girderYbar(s);
    default:
        return girderYbar(s);
    }
}
double girderI(const Section& s) {
    if (girderYgc(s) <= 0) return 0;
    const Girder g = girder(s);
    if (girderLying(s)) {
        const double a1 = (g.b1 - g.tw) / 2, a2 = (g.b2 - g.tw) / 2;
        return g.d1 * cube(g.b1) / 12 + (g.d2 + g.d3 + g.d4) * cube(g.tw) / 12 +
               g.d5 * cube(g.b2) / 12 +
               2 * (g.d2 * cube(a1) / 36 + (g.d2 * a1 / 2) * sq(g.tw / 2 + a1 / 3)) +
               2 * (g.d4 * cube(a2) / 36 + (g.d4 * a2 / 2) * sq(g.tw / 2 + a2 / 3));
    }
    const double y = girderYbar(s);
    const double top =
        g.b1 * cube(g.d1) / 12 + g.b1 * g.d1 * sq(g.d1 / 2 + g.d2 + g.d3 + g.d4 + g.d5 - y);
    const double topTransition = trapezoidI(g.d2, g.b1, g.tw) +
                                 (g.b1 + g.tw) * g.d2 / 2 * sq(g.c2() + g.d3 + g.d4 + g.d5 - y);
    const double web = g.tw * cube(g.d3) / 12 + g.tw * g.d3 * sq(g.d3 / 2 + g.d4 + g.d5 - y);
    const double bottomTransition =
        trapezoidI(g.d4, g.tw, g.b2) + (g.tw + g.b2) * g.d4 / 2 * sq(g.c4() + g.d5 - y);
    const double bottom = g.b2 * cube(g.d5) / 12 + g.b2 * g.d5 * sq(y - g.d5 / 2);
    return top + topTransition + web + bottomTransition + bottom;
}
double girderDepth(const Section& s) {
    const Girder g = girder(s);
    return girderLying(s) ? std::max(g.b1, g.b2) : g.h();
}

// ---- Box: d, b, tw, tf ----
double boxA(const Section& s) {
    const double d = p(s, 0), b = p(s, 1), tw = p(s, 2), tf = p(s, 3);
    return d * b - (d - 2 * tf) * (b - 2 * tw);
}
double boxI(const Section& s) {
    const double d = p(s, 0), b = p(s, 1), tw = p(s, 2), tf = p(s, 3);
    return (b * cube(d) - (b - 2 * tw) * cube(d - 2 * tf)) / 12;
}

} // namespace attrib::props
