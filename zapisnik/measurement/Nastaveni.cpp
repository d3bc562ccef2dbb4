#include "Nastaveni.h"

namespace qx {

uint8_t nastZDiscipliny(const QString& disciplina) {
    return disciplina == kDisciplinaUtok ? 10 : 1;
}

bool radekMezicasu(uint8_t nast) {
    return nast == 10;
}

bool vyslednyCasVolitelny(const QString& kolo) {
    return kolo == kKolo2;
}

} // namespace qx
