// Curve creation, kind 7: a dimension line, given by the two points it
// measures and a reference point through which the dimension line passes.
#include "interact/cllkind.h"

#include <cmath>

namespace interact::cll {

namespace {

// Signed distance of (x, y) from the line through the first two points,
// positive on the left of the first-to-second direction.
double extension(const CllState& s, double x, double y) {
    const double dx = s.pts[1].x - s.pts[0].x, dy = s.pts[1].y - s.pts[0].y;
    const double len = std::hypot(dx, dy);
    if (len == 0) return std::hypot(x - s.pts[0].x, y - s.pts[0].y);
    return (dx * (y - s.pts[0].y) - dy * (x - s.pts[0].x)) / len;
}

std::string live(const CllState& s, double x, double y) {
    const bool en = s.english;
    if (s.stage == 1)
        return format(en ? "Length = %10.3f" : "Comprimento = %10.3f",
                      std::hypot(x - s.pts[0].x, y - s.pts[0].y));
    if (s.stage == 2)
        return format(en ? "Length = %10.3f;  Extension = %10.3f"
                         : "Comprimento = %10.3f;  Extensao = %10.3f",
                      std::hypot(s.pts[1].x - s.pts[0].x, s.pts[1].y - s.pts[0].y),
                      extension(s, x, y));
    return {};
}

// While the reference point moves: the two extension lines and the
// dimension line between them, offset perpendicular to the measured points.
void echo(gfx::Canvas& c, const CllState& s, double x, double y) {
    const gfx::Point& a = s.pts[0];
    if (s.stage == 1) {
        c.line(a.x, a.y, x, y);
        return;
    }
    if (s.stage != 2) return;
    const gfx::Point& b = s.pts[1];
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len = std::hypot(dx, dy);
    if (len == 0) {
        c.line(a.x, a.y, x, y);
        return;
    }
    const double e = extension(s, x, y);
    const double ox = -dy / len * e, oy = dx / len * e;
    c.polyline({{a.x, a.y}, {a.x + ox, a.y + oy}, {b.x + ox, b.y + oy}, {b.x, b.y}});
}

} // namespace

const KindDef& dimLineKind() {
    static const KindDef def = {
        3,
        {{"With mouse left button enter first line pt.; Mid button => Keyboard.",
          "Com o botao esquerdo do mouse entre primeiro pt. da linha; Botao do meio => Teclado."},
         {"Enter line second point; Mid button => Keyboard.",
          "Entre com segundo ponto da linha; Botao do meio => Teclado."},
         {"Enter line reference point; Mid button => Keyboard; Right button => Cancel.",
          "Entre com ponto de referencia da linha; Botao do meio => Teclado; "
          "Botao da direita => Cancela."}},
        {{"Enter first line point coordinates:\nPoint 1 X = %12.12%.3f\nPoint 1 Y = %12.12%.3f\n",
          "Entre com as coordenadas do primeiro ponto da linha:\nPonto 1 X = %12.12%.3f\n"
          "Ponto 1 Y = %12.12%.3f\n"},
         {"Enter second line point coordinates:\nPoint 2 X = %12.12%.3f\nPoint 2 Y = %12.12%.3f\n",
          "Entre com as coordenadas do segundo ponto da linha:\nPonto 2 X = %12.12%.3f\n"
          "Ponto 2 Y = %12.12%.3f\n"},
         {"Enter dimension line points:\nPoint 1 X = %12.12%.3f\nPoint 1 Y = %12.12%.3f\n"
          "Point 2 X = %12.12%.3f\nPoint 2 Y = %12.12%.3f\nRef.Pt. X = %12.12%.3f\n"
          "Ref.Pt. Y = %12.12%.3f\n",
          "Entre com os pontos da linha de cota:\nPonto 1 X = %12.12%.3f\nPonto 1 Y = %12.12%.3f\n"
          "Ponto 2 X = %12.12%.3f\nPonto 2 Y = %12.12%.3f\nPt.Ref. X = %12.12%.3f\n"
          "Pt.Ref. Y = %12.12%.3f\n"}},
        {0, 1, 0},
        {"Line parameters:\nPoint 1 X = %12.12%.3f\nPoint 1 Y = %12.12%.3f\n"
         "Point 2 X = %12.12%.3f\nPoint 2 Y = %12.12%.3f\nRef.Pt. X = %12.12%.3f\n"
         "Ref.Pt. Y = %12.12%.3f\nTolerance = %12.12%.3f\n",
         "Parametros da linha:\nPonto 1 X  = %12.12%.3f\nPonto 1 Y  = %12.12%.3f\n"
         "Ponto 2 X  = %12.12%.3f\nPonto 2 Y  = %12.12%.3f\nPt.Ref. X  = %12.12%.3f\n"
         "Pt.Ref. Y  = %12.12%.3f\nTolerancia = %12.12%.3f\n"},
        {"Use the keyboard to enter dimension line. ",
         "Use o teclado para entrar a linha de cota. "},
        live,
        echo,
    };
    return def;
}

} // namespace interact::cll
