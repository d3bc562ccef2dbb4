#include "measurement/Prijem.h"

#include "device/TargetCodes.h"
#include "messages/TimeUnits.h"

namespace qx {

std::optional<QString> PrijemCasu::amCas1(int kod, qint64 pocet, int verze) {
    cas_.clear();
    const QString cas = finalTimeText(verze, pocet);
    if (kod >= 0 && kod <= 5) {
        cas_ = cas + targetCodeText(kod) + u' ';
        return std::nullopt;
    }
    return targetCodeText(kod) + u' ' + cas;
}

QString PrijemCasu::amCas2(qint64 pocet, int verze) {
    return cas_ + finalTimeText(verze, pocet);
}

MezicasZmena amMezi(int cislo, qint64 pocet, int verze, int format) {
    MezicasZmena z;
    if (cislo == 0) {
        z.druh = MezicasZmena::Druh::Vyprazdnit;
    } else if (cislo >= 1 && cislo <= 4) {
        z.druh = MezicasZmena::Druh::Nastavit;
        z.pole = cislo - 1;
        z.text = splitTimeText(verze, format, pocet);
    }
    return z;
}

} // namespace qx
