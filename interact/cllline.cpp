// Curve creation, kind 1: a line from a first to an end point.
#include "interact/cllkind.h"

#include <cmath>

namespace interact::cll {

namespace {

std::string live(const CllState& s, double x, double y) {
    if (s.stage != 1) return {};
    const double len = std::hypot(x - s.pts[0].x, y - s.pts[0].y);
    return format(s.english ? "Length = %10.3f" : "Comprimento = %10.3f", len);
}

void echo(gfx::Canvas& c, const CllState& s, double x, double y) {
    if (s.stage == 1) c.line(s.pts[0].x, s.pts[0].y, x, y);
}

} // namespace

const KindDef& lineKind() {
    static const KindDef def = {
        2,
        {{"Enter first point with mouse left button; Mid button => Keyboard.",
          "Entre com primeiro ponto com botao esquerdo do mouse; Botao do meio => Teclado."},
         {"Enter end point; Mid button => Keyboard; Right button => Cancel.",
          "Entre com ponto final; Botao do meio => Teclado; Botao da direita => Cancela."}},
        {{"Enter with first point coordinates:\nPoint 1 X = %12.12%.3f\nPoint 1 Y = %12.12%.3f\n",
          "Entre com as coordenadas do primeiro ponto:\nPonto 1 X = %12.12%.3f\n"
          "Ponto 1 Y = %12.12%.3f\n"},
         {"Enter with line coordinates:\nPoint 1 X = %12.12%.3f\nPoint 1 Y = %12.12%.3f\n"
          "Point 2 X = %12.12%.3f\nPoint 2 Y = %12.12%.3f\n",
          "Entre com as coordenadas da linha:\nPonto 1 X = %12.12%.3f\nPonto 1 Y = %12.12%.3f\n"
          "Ponto 2 X = %12.12%.3f\nPonto 2 Y = %12.12%.3f\n"}},
        {0, 0},
        {"Enter with line coordinates:\nPoint 1 X = %12.12%.3f\nPoint 1 Y = %12.12%.3f\n"
         "Point 2 X = %12.12%.3f\nPoint 2 Y = %12.12%.3f\nTolerance = %12.12%.3f\n",
         "Entre com as coordenadas da linha:\nPonto 1 X  = %12.12%.3f\nPonto 1 Y  = %12.12%.3f\n"
         "Ponto 2 X  = %12.12%.3f\nPonto 2 Y  = %12.12%.3f\nTolerancia = %12.12%.3f\n"},
        {"Use the keyboard to enter line data. ", "Use o teclado para entrar os dados da linha. "},
        live,
        echo,
    };
    return def;
}

} // namespace interact::cll
