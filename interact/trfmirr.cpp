// Transformation kind 1: a mirror about the line through two points.
#include "interact/trfkind.h"

namespace interact::trf {

namespace {

// Two coincident points give no line.
bool matrix(const ModeState& s, double& x, double& y, Matrix& m) {
    const gfx::Point p = s.pts[0];
    if (x == p.x && y == p.y) return false;
    m = compose([&] { mirrorAbout(p.x, p.y, x, y); });
    return true;
}

Matrix typed(const std::vector<double>& f) {
    return compose([&] { mirrorAbout(f[0], f[1], f[2], f[3]); });
}

} // namespace

const KindDef& mirrorKind() {
    static const KindDef def = {
        2,
        {{"Enter first point with mouse left button; Mid button => Keyboard.",
          "Entre com primeiro ponto com botao esquerdo do mouse; Botao do meio => Teclado."},
         {"Enter end point; Mid button => Keyboard; Right button => Cancel.",
          "Entre com ponto final; Botao do meio => Teclado; Botao da direita => Cancela."},
         {"", ""}},
        {"Enter with mirror line coordinates:\nPoint 1 X = %12.12%.3f\nPoint 1 Y = %12.12%.3f\n"
         "Point 2 X = %12.12%.3f\nPoint 2 Y = %12.12%.3f\nTolerance = %12.12%.3f\n",
         "Entre com as coordenadas da linha de espelho:\nPonto 1 X  = %12.12%.3f\n"
         "Ponto 1 Y  = %12.12%.3f\nPonto 2 X  = %12.12%.3f\nPonto 2 Y  = %12.12%.3f\n"
         "Tolerancia = %12.12%.3f\n"},
        {"Use the keyboard to enter mirror data. ",
         "Use o teclado para entrar os dados do espelho. "},
        matrix,
        typed,
        nullptr,
        nullptr,
    };
    return def;
}

} // namespace interact::trf
