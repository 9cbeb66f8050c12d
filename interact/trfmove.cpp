// Transformation kind 0: a translation from a first point to an end point.
#include "interact/trfkind.h"

namespace interact::trf {

namespace {

bool matrix(const ModeState& s, double& x, double& y, Matrix& m) {
    const double dx = x - s.pts[0].x, dy = y - s.pts[0].y;
    m = compose([&] { translate(dx, dy); });
    return true;
}

Matrix typed(const std::vector<double>& f) {
    return compose([&] { translate(f[0], f[1]); });
}

std::string live(const ModeState& s, double x, double y) {
    return format("DX = %10.3f;   DY = %10.3f", x - s.pts[0].x, y - s.pts[0].y);
}

} // namespace

const KindDef& moveKind() {
    static const KindDef def = {
        2,
        {{"Enter first point with mouse left button; Mid button => Keyboard.",
          "Entre com primeiro ponto com botao esquerdo do mouse; Botao do meio => Teclado."},
         {"Enter end point; Mid button => Keyboard; Right button => Cancel.",
          "Entre com ponto final; Botao do meio => Teclado; Botao da direita => Cancela."},
         {"", ""}},
        {"Enter with the translat. vector:\nDX     = %12.12%.3f\nDY     = %12.12%.3f\n"
         "Toler. = %12.12%.3f\n",
         "Entre com o vetor de translacao:\nDX     = %12.12%.3f\nDY     = %12.12%.3f\n"
         "Toler. = %12.12%.3f\n"},
        {"Use the keyboard to enter translation data. ",
         "Use o teclado para entrar os dados da translacao. "},
        matrix,
        typed,
        live,
        nullptr,
    };
    return def;
}

} // namespace interact::trf
