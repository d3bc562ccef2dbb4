#include "data/Historie.h"

#include "data/Tdm_QX.h"

#include <QSysInfo>

namespace qx {

void zalozHistorii(Tdm_QX& dm) {
    dm.exec(dm.SQLQuery_kat, "CREATE TABLE IF NOT EXISTS zmenyqx ("
                             " id          INT UNSIGNED NOT NULL AUTO_INCREMENT,"
                             " id_soutez   INT UNSIGNED NOT NULL DEFAULT 0,"
                             " id_druzstva INT UNSIGNED NOT NULL DEFAULT 0,"
                             " cas         DATETIME(3)  NOT NULL,"
                             " sloupec     VARCHAR(10)  NOT NULL DEFAULT '',"
                             " stara       VARCHAR(255) NOT NULL DEFAULT '',"
                             " nova        VARCHAR(255) NOT NULL DEFAULT '',"
                             " pricina     VARCHAR(10)  NOT NULL DEFAULT '',"
                             " pocitac     VARCHAR(64)  NOT NULL DEFAULT '',"
                             " PRIMARY KEY (id),"
                             " KEY soutez (id_soutez, id),"
                             " KEY druzstvo (id_druzstva, id)"
                             ") ENGINE=InnoDB DEFAULT CHARSET=utf8mb4");
}

QString nazevPocitace() {
    const QString jmeno = QSysInfo::machineHostName();
    return jmeno.isEmpty() ? QStringLiteral("?") : jmeno.left(64);
}

void zapisHistorii(Tdm_QX& dm, const QList<ZaznamZmeny>& zaznamy) {
    if (zaznamy.isEmpty()) return;
    const QByteArray pocitac = dm.quoted(nazevPocitace());
    QByteArray sql =
        "INSERT INTO zmenyqx (id_soutez, id_druzstva, cas, sloupec, stara, nova, pricina, pocitac) VALUES ";
    bool prvni = true;
    for (const ZaznamZmeny& z : zaznamy) {
        if (!prvni) sql += ", ";
        prvni = false;
        sql += '(' + QByteArray::number(z.id_soutez) + ", " + QByteArray::number(z.id_druzstva) +
               ", NOW(3), " + dm.quoted(z.sloupec) + ", " + dm.quoted(z.stara) + ", " + dm.quoted(z.nova) +
               ", " + dm.quoted(pricinaKod(z.pricina)) + ", " + pocitac + ')';
    }
    dm.exec(dm.SQLQuery_mereni, sql);
}

namespace {

ZaznamZmeny zaznam(const SQLQuery& q) {
    ZaznamZmeny z;
    z.id = q.AsInteger("id");
    z.id_soutez = q.AsInteger("id_soutez");
    z.id_druzstva = q.AsInteger("id_druzstva");
    z.cas = QDateTime::fromString(q.AsAscii("cas"), QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    z.sloupec = q.AsString("sloupec");
    z.stara = q.AsString("stara");
    z.nova = q.AsString("nova");
    z.pricina = pricinaZKodu(q.AsString("pricina")).value_or(Pricina::Rucne);
    z.pocitac = q.AsString("pocitac");
    const QString nazev = q.AsString("nazev_dr");
    if (!q.AsBytes("dr_id").isEmpty())
        z.druzstvo = nazev + QStringLiteral(" (") + q.AsString("tym") + QStringLiteral(") - ") +
                     q.AsString("kategorie");
    return z;
}

QList<ZaznamZmeny> historie(Tdm_QX& dm, const QByteArray& podminka) {
    try {
        return dm.readAll<ZaznamZmeny>(
            "SELECT z.*, d.id AS dr_id, d.nazev_dr, d.tym, d.kategorie FROM zmenyqx z"
            " LEFT JOIN druzstvaqx d ON d.id = z.id_druzstva WHERE " +
                podminka + " ORDER BY z.id",
            &zaznam);
    } catch (const DbError& e) {
        if (e.code() == ER_NO_SUCH_TABLE) return {};
        throw;
    }
}

} // namespace

QList<ZaznamZmeny> historieDruzstva(Tdm_QX& dm, qint64 idDruzstva) {
    return historie(dm, "z.id_druzstva = " + QByteArray::number(idDruzstva));
}

QList<ZaznamZmeny> historieSouteze(Tdm_QX& dm, qint64 idSoutez) {
    return historie(dm, "z.id_soutez = " + QByteArray::number(idSoutez));
}

} // namespace qx
