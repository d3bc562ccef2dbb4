#include "zaloha/Zaloha.h"

#include "data/Historie.h"
#include "data/Tdm_QX.h"
#include "measurement/Zmeny.h"
#include "ui/QxDbIni.h"

namespace qx {

namespace {

// Every row of `tabulka` matching `podminka`, by id, every column in the table's order.
TabulkaZalohy nactiTabulku(Tdm_QX& dm, const QByteArray& tabulka, const QByteArray& podminka) {
    TabulkaZalohy t;
    t.nazev = tabulka;
    t.sloupce = dm.readAll<QByteArray>("SHOW COLUMNS FROM " + tabulka,
                                       [](const SQLQuery& q) { return q.AsBytes("Field"); });
    SQLQuery q(dm);
    dm.open(q, "SELECT * FROM " + tabulka + " WHERE " + podminka + " ORDER BY id");
    for (; !q.Eof(); q.Next()) {
        QList<QByteArray> radek;
        radek.reserve(t.sloupce.size());
        for (const QByteArray& s : t.sloupce)
            radek.append(q.AsBytes(s.constData()));
        t.radky.append(radek);
    }
    return t;
}

} // namespace

std::optional<ObsahZalohy> nactiZalohu(Tdm_QX& dm, qint64 idSoutez) {
    const QByteArray id = QByteArray::number(idSoutez);
    ObsahZalohy o;
    o.idSoutez = idSoutez;
    // One consistent view of both tables, also while another computer saves.
    dm.begin();
    try {
        o.souteze = nactiTabulku(dm, "soutezeqx", "id = " + id);
        o.druzstva = nactiTabulku(dm, "druzstvaqx", "id_soutez = " + id);
        dm.commit();
    } catch (...) {
        dm.rollback();
        throw;
    }
    if (o.souteze.radky.isEmpty()) return std::nullopt;
    const qsizetype i = o.souteze.sloupce.indexOf("nazev_souteze");
    if (i >= 0) o.nazevSouteze = QString::fromUtf8(o.souteze.radky.first()[i]);
    return o;
}

ZapisZalohy zalohuj(Tdm_QX& dm, qint64 idSoutez, const QString& slozka, int pocet, const QDateTime& kdy) {
    ZapisZalohy v;
    std::optional<ObsahZalohy> obsah;
    try {
        obsah = nactiZalohu(dm, idSoutez);
    } catch (const DbError& e) {
        v.chyba = QStringLiteral("Zálohu nelze vytvořit: %1 %2").arg(e.zprava(), e.podrobnosti()).trimmed();
        return v;
    }
    if (!obsah) {
        v.chyba = QStringLiteral("Soutěž %1 v databázi není.").arg(idSoutez);
        return v;
    }
    return zapisZalohu(slozka, nazevZalohy(idSoutez, kdy), sqlZalohy(*obsah, kdy, dm.settings().database),
                       idSoutez, pocet);
}

int spustSpravu(const SpravaPrikaz& prikaz, Tdm_QX& dm, QTextStream& vystup, QTextStream& chyby) {
    try {
        if (!dm.soutez(prikaz.soutez)) {
            chyby << QStringLiteral("Soutěž %1 v databázi není.").arg(prikaz.soutez) << Qt::endl;
            return 1;
        }
        if (prikaz.druh == SpravaPrikaz::Druh::Historie) {
            vystup << vypisZmen(historieSouteze(dm, prikaz.soutez));
            vystup.flush();
            return 0;
        }
    } catch (const DbError& e) {
        chyby << QStringLiteral("Chyba databáze: %1").arg(e.text()) << Qt::endl;
        return 1;
    }
    ZalohaIni ini = readZalohaIni(qxDbIniPath());
    if (!prikaz.slozka.isEmpty()) ini.slozka = prikaz.slozka;
    const ZapisZalohy z = zalohuj(dm, prikaz.soutez, ini.slozka, ini.pocet);
    if (!z.ok) {
        chyby << z.chyba << Qt::endl;
        return 1;
    }
    vystup << z.soubor << Qt::endl;
    return 0;
}

} // namespace qx
