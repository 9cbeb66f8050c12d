// Curve creation, kind 0: a point.
#include "interact/cllkind.h"

namespace interact::cll {

const KindDef& pointKind() {
    static const KindDef def = {
        1,
        {{"With mouse left button enter a point; Mid button => Keyboard.",
          "Com o botao esquerdo do mouse entre um ponto; Botao do meio => Teclado."}},
        {{"Enter with point coordinates:\nPoint X = %12.12%.3f\nPoint Y = %12.12%.3f\n",
          "Entre com as coordenadas do ponto:\nPonto X = %12.12%.3f\nPonto Y = %12.12%.3f\n"}},
        {0},
        {"Enter with point coordinates:\nPoint X   = %12.12%.3f\nPoint Y   = %12.12%.3f\n"
         "Tolerance = %12.12%.3f\n",
         "Entre com as coordenadas do ponto:\nPonto X    = %12.12%.3f\nPonto Y    = %12.12%.3f\n"
         "Tolerancia = %12.12%.3f\n"},
        {"Use the keyboard to enter point data. ", "Use o teclado para entrar os dados do ponto. "},
        nullptr,
        nullptr,
    };
    return def;
}

} // namespace interact::cll
