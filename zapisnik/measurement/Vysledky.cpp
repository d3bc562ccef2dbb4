#include "Vysledky.h"

#include "data/Tdm_QX.h"
#include "measurement/Vypocet.h"

namespace qx {

void change_des(Tdm_QX& dm, int verze) {
    struct Vysledek {
        qint64 id;
        QString celkem;
    };
    // Every row is read first; the updates follow.
    const QList<Vysledek> radky =
        dm.readAll<Vysledek>("SELECT * FROM druzstvaqx WHERE 1", [](const SQLQuery& q) {
            return Vysledek{q.AsInteger("id"), q.AsAscii("celkem")};
        });
    for (const Vysledek& r : radky) {
        const QString novy = rozsirCelkem(r.celkem, verze);
        if (novy == r.celkem) continue; // nothing to widen; the row stays as it is
        dm.exec(dm.SQLQuery_mereni,
                "UPDATE druzstvaqx SET celkem=" + dm.quoted(novy) + " WHERE id=" + QByteArray::number(r.id));
    }
}

} // namespace qx
