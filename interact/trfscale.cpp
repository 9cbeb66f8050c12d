// Transformation kind 3: a uniform scaling about a centre, the factor measured
// along the line from the centre through a first point.
#include "interact/trfkind.h"

namespace interact::trf {

namespace {

bool matrix(const ModeState& s, double& x, double& y, Matrix& m) {
    const gfx::Point c = s.pts[0];
    double f = 0;
    if (!scalingFactor(c, s.pts[1], {x, y}, f)) return false;
    m = compose([&] { scaleAbout(c.x, c.y, f, f); });
    return true;
}

Matrix typed(const std::vector<double>& f) {
    return compose([&] { scaleAbout(f[0], f[1], f[2], f[2]); });
}

std::string live(const ModeState& s, double x, double y) {
    double f = 0;
    scalingFactor(s.pts[0], s.pts[1], {x, y}, f);
    return format(s.english ? "Scaling factor = %7.2f" : "Fator de escala = %7.2f", f);
}

void echo(gfx::Canvas& g, const ModeState& s, double x, double y) {
    g.line(s.pts[0].x, s.pts[0].y, x, y);
}

} // namespace

const KindDef& scaleKind() {
    static const KindDef def = {
        3,
        {{"With mouse left button enter scaling center; Mid button => Keyboard.",
          "Com botao esquerdo do mouse entre com centro de escala; Botao do meio => Teclado."},
         {"Enter first scaling line point Mid button => Keyboard.",
          "Entre com primeiro ponto da linha de escala Botao do meio => Teclado."},
         {"Enter second point; Mid button => Keyboard; Right button => Cancel.",
          "Entre com segundo ponto; Botao do meio => Teclado; Botao da direita => Cancela."}},
        {"Scaling parameters:\nCenter X  = %12.12%.3f\nCenter Y  = %12.12%.3f\n"
         "Factor    = %12.12%.3f\nTolerance = %12.12%.3f\n",
         "Parametros da escala:\nCentro X   = %12.12%.3f\nCentro Y   = %12.12%.3f\n"
         "Fator      = %12.12%.3f\nTolerancia = %12.12%.3f\n"},
        {"Use the keyboard to enter scaling data. ",
         "Use o teclado para entrar os dados da escala. "},
        matrix,
        typed,
        live,
        echo,
    };
    return def;
}

} // namespace interact::trf
