#include "measurement/Kontext.h"

namespace qx {

Kolo koloZTextu(const QString& text) {
    return text == QStringLiteral("1. kolo") ? Kolo::Prvni : Kolo::Druhe;
}

Rezim rezimZIndexu(int index) {
    switch (index) {
    case 2:
        return Rezim::Finalovy;
    case 3:
        return Rezim::Soucet;
    default:
        return Rezim::Lepsi;
    }
}

} // namespace qx
