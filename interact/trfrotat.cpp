// Transformation kind 2: a rotation about a centre, from a first to a second
// arc point (counter-clockwise angles positive).
#include "interact/trfkind.h"

#include <cmath>

namespace interact::trf {

namespace {

// Palette index of the arc of the echo.
constexpr int kArcColor = 12; // red

// The second arc point is pulled onto the circle through the first; a point
// on the centre, or a first point on it, gives no angle.
bool matrix(const ModeState& s, double& x, double& y, Matrix& m) {
    const gfx::Point c = s.pts[0], p1 = s.pts[1];
    const double r = std::hypot(p1.x - c.x, p1.y - c.y);
    const double d = std::hypot(x - c.x, y - c.y);
    if (r == 0 || d == 0) return false;
    x = c.x + (x - c.x) * r / d;
    y = c.y + (y - c.y) * r / d;
    const double angle = rotationAngle(c, p1, {x, y});
    m = compose([&] { rotateAbout(c.x, c.y, angle); });
    return true;
}

Matrix typed(const std::vector<double>& f) {
    return compose([&] { rotateAbout(f[0], f[1], f[2]); });
}

std::string live(const ModeState& s, double x, double y) {
    const double a = rotationAngle(s.pts[0], s.pts[1], {x, y});
    return format(s.english ? "Angle = %7.2f" : "Angulo = %7.2f", a);
}

// The radius to the pointer; with the arc's second point due, the red arc
// from the first arc point to it.
void echo(gfx::Canvas& g, const ModeState& s, double x, double y) {
    const gfx::Point c = s.pts[0];
    g.line(c.x, c.y, x, y);
    if (s.stage != 2) return;
    const gfx::Point p1 = s.pts[1];
    const double r = std::hypot(p1.x - c.x, p1.y - c.y);
    if (r == 0 || (x == c.x && y == c.y)) return;
    const double a1 = directionAngle(p1.x - c.x, p1.y - c.y);
    const double sweep = rotationAngle(c, p1, {x, y});
    const int fg = g.foreground();
    g.setForeground(kArcColor);
    if (sweep >= 0)
        g.arc(c.x, c.y, r, a1, a1 + sweep);
    else
        g.arc(c.x, c.y, r, a1 + sweep, a1);
    g.setForeground(fg);
}

} // namespace

const KindDef& rotateKind() {
    static const KindDef def = {
        3,
        {{"With mouse left button enter rotation center; Mid button => Keyboard.",
          "Com botao esquerdo do mouse entre com centro de rotacao; Botao do meio => Teclado."},
         {"Enter arc first point (counter-clockwise direction); Mid button => Keyboard.",
          "Entre com primeiro ponto do arco (sentido anti-horario); Botao do meio => Teclado."},
         {"Enter arc second point; Mid button => Keyboard; Right button => Cancel.",
          "Entre com segundo ponto do arco; Botao do meio => Teclado; Botao da direita => "
          "Cancela."}},
        {"Rotation parameters:\nCenter X  = %12.12%.3f\nCenter Y  = %12.12%.3f\n"
         "Angle     = %12.12%.3f\nTolerance = %12.12%.3f\n",
         "Parametros da rotacao:\nCentro X   = %12.12%.3f\nCentro Y   = %12.12%.3f\n"
         "Angulo     = %12.12%.3f\nTolerancia = %12.12%.3f\n"},
        {"Use the keyboard to enter rotation data. ",
         "Use o teclado para entrar os dados da rotacao. "},
        matrix,
        typed,
        live,
        echo,
    };
    return def;
}

} // namespace interact::trf
