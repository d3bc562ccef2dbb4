#include "measurement/MereniDataDb.h"

#include "data/Historie.h"
#include "data/Tdm_QX.h"

#include <algorithm>

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
    // A few statements, each for up to kDavka rows (UPDATE ... SET col = CASE id WHEN ...), in one
    // transaction: either every changed result and placing is stored, or none is.
    constexpr qsizetype kDavka = 500;
    dm_.begin();
    try {
        dm_.zmenaRadku(zmeny.first().id);
        for (qsizetype od = 0; od < zmeny.size(); od += kDavka) {
            QByteArray celkem, pozice, ids;
            for (qsizetype i = od; i < std::min(zmeny.size(), od + kDavka); ++i) {
                const ZmenaVysledku& z = zmeny[i];
                if (!z.celkem && !z.pozice) continue;
                const QByteArray id = QByteArray::number(z.id);
                if (z.celkem) celkem += " WHEN " + id + " THEN " + dm_.quoted(*z.celkem);
                if (z.pozice) pozice += " WHEN " + id + " THEN " + dm_.quoted(*z.pozice);
                ids += (ids.isEmpty() ? "" : ",") + id;
            }
            if (ids.isEmpty()) continue;
            QByteArray set;
            if (!celkem.isEmpty()) set += "celkem=CASE id" + celkem + " ELSE celkem END";
            if (!pozice.isEmpty())
                set += QByteArray(set.isEmpty() ? "" : ", ") + "pozice=CASE id" + pozice + " ELSE pozice END";
            dm_.exec(dm_.SQLQuery_mereni, "UPDATE druzstvaqx SET " + set + " WHERE id IN (" + ids + ")");
        }
        dm_.commit();
    } catch (...) {
        dm_.rollback();
        throw;
    }
}

namespace {

QByteArray sloupecUtoku(Kolo kolo, bool terc) {
    if (kolo == Kolo::Prvni) return terc ? "cas1R" : "cas1C";
    return terc ? "cas2R" : "cas2C";
}

// One store of a row's columns (`set`) in its own transaction, the competition's change counter
// raised first. With a condition (the columns still hold what the operator saw) a row that no
// longer matches gets nothing written and the conflict carries it as it is now.
void uloz(Tdm_QX& dm, qint64 id, const QByteArray& set, const QByteArray& podminka = {}) {
    dm.transakce([&] {
        dm.zmenaRadku(id);
        dm.exec(dm.SQLQuery_kat,
                "UPDATE druzstvaqx SET " + set + " WHERE id=" + QByteArray::number(id) + podminka);
        if (!podminka.isEmpty() && dm.radkuZasazeno() == 0) throw KonfliktZaznamu(dm.nacti_druzstvo(id));
    });
}

QByteArray setUtoku(Tdm_QX& dm, Kolo kolo, const QString& terc, const QString& cas) {
    return sloupecUtoku(kolo, true) + "=" + dm.quoted(terc) + ", " + sloupecUtoku(kolo, false) + "=" +
           dm.quoted(cas);
}

QByteArray sloupecStafety(Kolo kolo) {
    return kolo == Kolo::Prvni ? "cas1S" : "cas2S";
}

QByteArray setMezicasu(Tdm_QX& dm, const std::array<QString, 4>& m) {
    return "M1=" + dm.quoted(m[0]) + ", M2=" + dm.quoted(m[1]) + ", M3=" + dm.quoted(m[2]) +
           ", M4=" + dm.quoted(m[3]);
}

} // namespace

void MereniDataDb::ulozUtok(qint64 id, Kolo kolo, const QString& terc, const QString& cas) {
    uloz(dm_, id, setUtoku(dm_, kolo, terc, cas));
}

void MereniDataDb::ulozUtok(const DruzstvoRadek& videno, Kolo kolo, const QString& terc, const QString& cas) {
    const QString& tercVideny = kolo == Kolo::Prvni ? videno.cas1R : videno.cas2R;
    const QString& casVideny = kolo == Kolo::Prvni ? videno.cas1C : videno.cas2C;
    uloz(dm_, videno.id, setUtoku(dm_, kolo, terc, cas),
         dm_.staleAscii(sloupecUtoku(kolo, true), tercVideny) +
             dm_.staleAscii(sloupecUtoku(kolo, false), casVideny));
}

void MereniDataDb::ulozStafetu(qint64 id, Kolo kolo, const QString& cas) {
    uloz(dm_, id, sloupecStafety(kolo) + "=" + dm_.quoted(cas));
}

void MereniDataDb::ulozStafetu(const DruzstvoRadek& videno, Kolo kolo, const QString& cas) {
    uloz(dm_, videno.id, sloupecStafety(kolo) + "=" + dm_.quoted(cas),
         dm_.staleAscii(sloupecStafety(kolo), kolo == Kolo::Prvni ? videno.cas1S : videno.cas2S));
}

void MereniDataDb::ulozMezicasy(qint64 id, const std::array<QString, 4>& m) {
    uloz(dm_, id, setMezicasu(dm_, m));
}

void MereniDataDb::ulozMezicasy(const DruzstvoRadek& videno, const std::array<QString, 4>& m) {
    uloz(dm_, videno.id, setMezicasu(dm_, m),
         dm_.stale("M1", videno.M1) + dm_.stale("M2", videno.M2) + dm_.stale("M3", videno.M3) +
             dm_.stale("M4", videno.M4));
}

void MereniDataDb::transakce(const QString& idSoutez, const std::function<void()>& prace) {
    // The history's table is made before the transaction: the server commits whatever is open at
    // a CREATE TABLE, which would end the transaction and its lock half-way.
    if (!historie_) pripravHistorii();
    dm_.transakce([&] {
        bool ok = false;
        const qint64 id = idSoutez.trimmed().toLongLong(&ok);
        if (ok) dm_.zamkniSoutez(id);
        prace();
    });
}

std::optional<DruzstvoRadek> MereniDataDb::druzstvo(qint64 id) {
    const QList<DruzstvoRadek> r = dm_.readAll<DruzstvoRadek>(
        "SELECT * FROM druzstvaqx WHERE id=" + QByteArray::number(id), &Tdm_QX::druzstvo);
    if (r.isEmpty()) return std::nullopt;
    return r.first();
}

QList<ZaznamZmeny> MereniDataDb::historie(qint64 idDruzstva) {
    return historieDruzstva(dm_, idDruzstva);
}

bool MereniDataDb::pripravHistorii(QString* chyba) {
    try {
        zalozHistorii(dm_);
        historie_ = true;
    } catch (const DbError& e) {
        historie_ = false;
        if (chyba)
            *chyba = QStringLiteral("Tabulku historie změn (zmenyqx) se nepodařilo založit, změny časů se "
                                    "nebudou zaznamenávat.\n") +
                     e.podrobnosti();
    }
    return *historie_;
}

void MereniDataDb::sHistorii(const QList<ZaznamZmeny>& zaznamy, const std::function<void()>& zapis) {
    // Not inside a transaction (see transakce): then the history is known already.
    if (!zaznamy.isEmpty() && !historie_ && !dm_.vTransakci()) pripravHistorii();
    const bool sZaznamy = !zaznamy.isEmpty() && historie_.value_or(false);
    bool zaznamyZapsany = false;
    dm_.begin();
    try {
        // The records first: a write that fails after them takes them back with it.
        if (sZaznamy) {
            zapisHistorii(dm_, zaznamy);
            zaznamyZapsany = true;
        }
        zapis();
        dm_.commit();
    } catch (const DbError& e) {
        dm_.rollback();
        if (!sZaznamy || zaznamyZapsany || e.code() != ER_NO_SUCH_TABLE) throw;
        // The table went away while the program ran: the change is stored without its history.
        historie_ = false;
        sHistorii({}, zapis);
    } catch (...) {
        dm_.rollback();
        throw;
    }
}

} // namespace qx
