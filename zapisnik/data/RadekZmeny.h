#pragma once

// One change of a stored time, split, result or placing, as the history table zmenyqx keeps it.
// Plain values: no database, no widgets.

#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace qx {

// What caused a change (column pricina of zmenyqx).
enum class Pricina {
    Ulozeni,  // "ulozeni": a time of the current team saved from a received entry
    Prepocet, // "prepocet": results recomputed or teams re-ranked
    Rucne,    // "rucne": a time typed by the operator, or the splits saved
};

inline QString pricinaKod(Pricina p) {
    switch (p) {
    case Pricina::Ulozeni:
        return QStringLiteral("ulozeni");
    case Pricina::Prepocet:
        return QStringLiteral("prepocet");
    case Pricina::Rucne:
        break;
    }
    return QStringLiteral("rucne");
}

inline std::optional<Pricina> pricinaZKodu(const QString& kod) {
    for (Pricina p : {Pricina::Ulozeni, Pricina::Prepocet, Pricina::Rucne}) {
        if (pricinaKod(p) == kod) return p;
    }
    return std::nullopt;
}

struct ZaznamZmeny {
    qint64 id_soutez = 0;
    qint64 id_druzstva = 0;
    QString sloupec; // the column of druzstvaqx: cas1R .. cas2S, M1 .. M4, celkem, pozice
    QString stara;   // the value before
    QString nova;    // the value after
    Pricina pricina = Pricina::Ulozeni;

    // Filled when a record is read back from the database.
    qint64 id = 0;
    QDateTime cas;    // when it was stored (the server's clock)
    QString pocitac;  // the computer that stored it
    QString druzstvo; // "nazev_dr (tym) - kategorie"; empty when the team is no longer there

    bool operator==(const ZaznamZmeny&) const = default;
};

} // namespace qx
