#include "measurement/MereniDataDb.h"

#include "data/Tdm_QX.h"

namespace qx {

QList<DruzstvoRadek> MereniDataDb::listina(const QString& idSoutez, const QString& kategorie) {
    return dm_.load_listina(Tdm_QX::key(idSoutez).toLongLong(), kategorie);
}

QList<DruzstvoRadek> MereniDataDb::druzstvaSouteze(const QString& idSoutez) {
    return dm_.readAll<DruzstvoRadek>("SELECT * FROM druzstvaqx WHERE id_soutez=" + Tdm_QX::key(idSoutez) +
                                          " ORDER BY id",
                                      &Tdm_QX::druzstvo);
}

void MereniDataDb::zapisVysledky(const QList<ZmenaVysledku>& zmeny) {
    if (zmeny.isEmpty()) return;
    // One transaction: either every changed result and placing is stored, or none is.
    dm_.begin();
    try {
        for (const ZmenaVysledku& z : zmeny) {
            QByteArray set;
            if (z.celkem) set += "celkem=" + dm_.quoted(*z.celkem);
            if (z.pozice) set += (set.isEmpty() ? "" : ", ") + QByteArray("pozice=") + dm_.quoted(*z.pozice);
            if (set.isEmpty()) continue;
            dm_.exec(dm_.SQLQuery_mereni,
                     "UPDATE druzstvaqx SET " + set + " WHERE id=" + QByteArray::number(z.id));
        }
        dm_.commit();
    } catch (...) {
        dm_.rollback();
        throw;
    }
}

void MereniDataDb::ulozUtok(qint64 id, Kolo kolo, const QString& terc, const QString& cas) {
    const QByteArray R = kolo == Kolo::Prvni ? "cas1R" : "cas2R";
    const QByteArray C = kolo == Kolo::Prvni ? "cas1C" : "cas2C";
    dm_.exec(dm_.SQLQuery_kat, "UPDATE druzstvaqx SET " + R + "=" + dm_.quoted(terc) + ", " + C + "=" +
                                   dm_.quoted(cas) + " WHERE id=" + QByteArray::number(id));
}

void MereniDataDb::ulozStafetu(qint64 id, Kolo kolo, const QString& cas) {
    const QByteArray S = kolo == Kolo::Prvni ? "cas1S" : "cas2S";
    dm_.exec(dm_.SQLQuery_kat,
             "UPDATE druzstvaqx SET " + S + "=" + dm_.quoted(cas) + " WHERE id=" + QByteArray::number(id));
}

void MereniDataDb::ulozMezicasy(qint64 id, const std::array<QString, 4>& m) {
    dm_.exec(dm_.SQLQuery_kat, "UPDATE druzstvaqx SET M1=" + dm_.quoted(m[0]) + ", M2=" + dm_.quoted(m[1]) +
                                   ", M3=" + dm_.quoted(m[2]) + ", M4=" + dm_.quoted(m[3]) +
                                   " WHERE id=" + QByteArray::number(id));
}

} // namespace qx
