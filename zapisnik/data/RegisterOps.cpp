// The register operations: competitions, districts, municipalities, categories
// and the start list of a competition. All run on SQLQuery_kat.

#include "Registers.h"
#include "Tdm_QX.h"

namespace qx {

namespace {

SoutezRadek soutezZRadku(const SQLQuery& q) {
    return SoutezRadek{q.AsInteger("id"),        q.AsString("nazev_souteze"), q.AsString("nazev_okresu"),
                       q.AsString("nazev_obce"), q.AsAscii("datum"),          q.AsString("cas"),
                       q.AsString("telefon"),    q.AsString("web_poradatele")};
}

// A write of a row as the operator saw it (`sql` names the seen values in its condition), in one
// transaction with the counter `citac` raised first. A row that no longer matches is left as it
// is and the conflict carries it as `jakJe` reads it now (nullopt: deleted meanwhile).
template <class JakJe> void zapisVidene(Tdm_QX& dm, qint64 citac, const QByteArray& sql, JakJe jakJe) {
    dm.transakce([&] {
        dm.zmena(citac);
        dm.exec(dm.SQLQuery_kat, sql);
        if (dm.radkuZasazeno() == 0) throw KonfliktZaznamu(jakJe());
    });
}

QByteArray soutezJeTa(Tdm_QX& dm, const SoutezRadek& v) {
    return "id=" + QByteArray::number(v.id) + dm.stale("nazev_souteze", v.nazev) +
           dm.stale("nazev_okresu", v.okres) + dm.stale("nazev_obce", v.misto) +
           dm.staleAscii("datum", v.datum) + dm.stale("cas", v.cas) + dm.stale("telefon", v.telefon) +
           dm.stale("web_poradatele", v.web);
}

QByteArray katJeTa(Tdm_QX& dm, const KategorieRadek& v) {
    return "id=" + QByteArray::number(v.id) + dm.stale("kategorie", v.nazev) + dm.stale("zkratka", v.zkratka);
}

// The seven start-list columns, which save_listina writes.
QByteArray listinaJeTa(Tdm_QX& dm, const DruzstvoRadek& v) {
    return "id=" + QByteArray::number(v.id) + " and id_soutez=" + QByteArray::number(v.id_soutez) +
           dm.stale("poradi", v.poradi) + dm.stale("nazev_dr", v.nazev_dr) +
           dm.stale("nazev_okresu", v.nazev_okresu) + dm.stale("tym", v.tym) +
           dm.stale("kategorie", v.kategorie) + dm.stale("draha", v.draha);
}

// Every column of an entry: a delete takes away its times and results as well.
QByteArray druzstvoJeTo(Tdm_QX& dm, const DruzstvoRadek& v) {
    return listinaJeTa(dm, v) + dm.staleAscii("cas1R", v.cas1R) + dm.staleAscii("cas1C", v.cas1C) +
           dm.staleAscii("cas2R", v.cas2R) + dm.staleAscii("cas2C", v.cas2C) +
           dm.staleAscii("cas1S", v.cas1S) + dm.staleAscii("cas2S", v.cas2S) +
           dm.staleAscii("celkem", v.celkem) + dm.stale("pozice", v.pozice) + dm.stale("M1", v.M1) +
           dm.stale("M2", v.M2) + dm.stale("M3", v.M3) + dm.stale("M4", v.M4);
}

QByteArray soutezSet(Tdm_QX& dm, const Soutez& s) {
    return "nazev_okresu=" + dm.quoted(s.okres) + ", nazev_souteze=" + dm.quoted(s.nazev) +
           ", nazev_obce=" + dm.quoted(s.misto) + ", datum=" + dm.quotedBytes(s.datum.toLatin1()) +
           ", cas=" + dm.quoted(s.cas) + ", telefon=" + dm.quoted(s.telefon) +
           ", web_poradatele=" + dm.quoted(s.web);
}

QByteArray listinaSet(Tdm_QX& dm, qint64 id_soutez, const Druzstvo& d) {
    return "id_soutez=" + QByteArray::number(id_soutez) + ", poradi=" + dm.quoted(d.poradi) +
           ", nazev_dr=" + dm.quoted(d.nazev_dr) + ", nazev_okresu=" + dm.quoted(d.okres) +
           ", tym=" + dm.quoted(d.tym) + ", kategorie=" + dm.quoted(d.kategorie) +
           ", draha=" + dm.quoted(d.draha);
}

} // namespace

QList<SoutezRadek> Tdm_QX::load_souteze() {
    return readAll<SoutezRadek>("SELECT * FROM soutezeqx WHERE 1 ORDER BY datum DESC", soutezZRadku);
}

std::optional<SoutezRadek> Tdm_QX::soutez(qint64 id) {
    const QList<SoutezRadek> rows =
        readAll<SoutezRadek>("SELECT * FROM soutezeqx WHERE id=" + QByteArray::number(id), soutezZRadku);
    if (rows.isEmpty()) return std::nullopt;
    return rows.first();
}

void Tdm_QX::save_soutez(std::optional<qint64> id, const Soutez& s) {
    // The date column is read byte for byte (SoutezRadek::datum), and written back so.
    const QByteArray datum = quotedBytes(s.datum.toLatin1());
    QByteArray sql;
    if (!id) {
        sql = "INSERT INTO soutezeqx "
              "(nazev_souteze,nazev_okresu,nazev_obce,datum,cas,telefon,web_poradatele) VALUES(";
        sql += quoted(s.nazev) + ", " + quoted(s.okres) + ", " + quoted(s.misto) + ", " + datum + ", " +
               quoted(s.cas) + ", " + quoted(s.telefon) + ", " + quoted(s.web) + ")";
    } else {
        sql = "UPDATE soutezeqx SET " + soutezSet(*this, s) + " WHERE id=" + QByteArray::number(*id);
    }
    transakce([&] {
        zmena(kSdileneZmeny);
        exec(SQLQuery_kat, sql);
    });
}

void Tdm_QX::delete_soutez(qint64 id) {
    transakce([&] {
        zmena(kSdileneZmeny);
        exec(SQLQuery_kat, "DELETE FROM soutezeqx WHERE id=" + QByteArray::number(id));
    });
}

void Tdm_QX::save_soutez(const SoutezRadek& videno, const Soutez& s) {
    zapisVidene(*this, kSdileneZmeny,
                "UPDATE soutezeqx SET " + soutezSet(*this, s) + " WHERE " + soutezJeTa(*this, videno),
                [&] { return soutez(videno.id); });
}

void Tdm_QX::delete_soutez(const SoutezRadek& videno) {
    zapisVidene(*this, kSdileneZmeny, "DELETE FROM soutezeqx WHERE " + soutezJeTa(*this, videno),
                [&] { return soutez(videno.id); });
}

QStringList Tdm_QX::load_okres() {
    SQLQuery& q = SQLQuery_kat;
    open(q, "SELECT * FROM okresyqx WHERE 1 ORDER BY nazev_okresu ASC");
    QStringList out;
    for (; !q.Eof(); q.Next())
        out.append(q.AsString("nazev_okresu"));
    return out;
}

QStringList Tdm_QX::load_obce(const QString& okres) {
    SQLQuery& q = SQLQuery_kat;
    open(q, "SELECT * FROM obceqx WHERE nazev_okresu=" + quoted(okres) + " ORDER BY nazev_obce ASC");
    QStringList out;
    for (; !q.Eof(); q.Next())
        out.append(q.AsString("nazev_obce"));
    return out;
}

QList<KategorieRadek> Tdm_QX::load_kat() {
    return readAll<KategorieRadek>(
        "SELECT * FROM katqx WHERE 1 ORDER BY kategorie ASC", [](const SQLQuery& q) {
            return KategorieRadek{q.AsInteger("id"), q.AsString("kategorie"), q.AsString("zkratka")};
        });
}

void Tdm_QX::save_kat(std::optional<qint64> id, const QString& nazev, const QString& zkratka) {
    transakce([&] {
        zmena(kSdileneZmeny);
        if (!id)
            exec(SQLQuery_kat, "INSERT INTO katqx (kategorie,zkratka ) VALUES (" + quoted(nazev) + "," +
                                   quoted(zkratka) + ")");
        else
            exec(SQLQuery_kat, "UPDATE katqx SET kategorie=" + quoted(nazev) +
                                   ", zkratka=" + quoted(zkratka) + " WHERE id=" + QByteArray::number(*id));
    });
}

void Tdm_QX::delete_kat(qint64 id) {
    transakce([&] {
        zmena(kSdileneZmeny);
        exec(SQLQuery_kat, "DELETE FROM katqx WHERE id=" + QByteArray::number(id));
    });
}

namespace {
std::optional<KategorieRadek> kategorieJakJe(Tdm_QX& dm, qint64 id) {
    for (const KategorieRadek& k : dm.load_kat()) {
        if (k.id == id) return k;
    }
    return std::nullopt;
}
} // namespace

void Tdm_QX::save_kat(const KategorieRadek& videno, const QString& nazev, const QString& zkratka) {
    zapisVidene(*this, kSdileneZmeny,
                "UPDATE katqx SET kategorie=" + quoted(nazev) + ", zkratka=" + quoted(zkratka) + " WHERE " +
                    katJeTa(*this, videno),
                [&] { return kategorieJakJe(*this, videno.id); });
}

void Tdm_QX::delete_kat(const KategorieRadek& videno) {
    zapisVidene(*this, kSdileneZmeny, "DELETE FROM katqx WHERE " + katJeTa(*this, videno),
                [&] { return kategorieJakJe(*this, videno.id); });
}

std::optional<QString> Tdm_QX::kategorie_shodna(const QString& nazev, std::optional<qint64> krome) {
    // Compared by the server under the column's own collation, the same comparison that the
    // start list and the settings category use to find a category by its name.
    QByteArray sql = "SELECT kategorie FROM katqx WHERE kategorie=" + quoted(nazev);
    if (krome) sql += " and id<>" + QByteArray::number(*krome);
    sql += " LIMIT 1";
    open(SQLQuery_kat, sql);
    if (SQLQuery_kat.Eof()) return std::nullopt;
    return SQLQuery_kat.AsString("kategorie");
}

DruzstvoRadek Tdm_QX::druzstvo(const SQLQuery& q) {
    DruzstvoRadek d;
    d.id = q.AsInteger("id");
    d.id_soutez = q.AsInteger("id_soutez");
    d.poradi = q.AsString("poradi");
    d.nazev_dr = q.AsString("nazev_dr");
    d.nazev_okresu = q.AsString("nazev_okresu");
    d.tym = q.AsString("tym");
    d.kategorie = q.AsString("kategorie");
    d.draha = q.AsString("draha");
    d.cas1R = q.AsAscii("cas1R");
    d.cas1C = q.AsAscii("cas1C");
    d.cas2R = q.AsAscii("cas2R");
    d.cas2C = q.AsAscii("cas2C");
    d.cas1S = q.AsAscii("cas1S");
    d.cas2S = q.AsAscii("cas2S");
    d.celkem = q.AsAscii("celkem");
    d.pozice = q.AsString("pozice");
    d.M1 = q.AsString("M1");
    d.M2 = q.AsString("M2");
    d.M3 = q.AsString("M3");
    d.M4 = q.AsString("M4");
    return d;
}

QList<DruzstvoRadek> Tdm_QX::load_listina(qint64 id_soutez, const QString& kategorie) {
    QByteArray sql = "SELECT * FROM druzstvaqx WHERE id_soutez=" + QByteArray::number(id_soutez);
    if (!kategorie.isEmpty()) sql += " and kategorie=" + quoted(kategorie);
    sql += " ORDER BY CAST(poradi as unsigned) ASC";
    return readAll<DruzstvoRadek>(sql, &Tdm_QX::druzstvo);
}

void Tdm_QX::save_listina(std::optional<qint64> id, qint64 id_soutez, const Druzstvo& d) {
    const QByteArray soutez = QByteArray::number(id_soutez);
    QByteArray sql;
    if (!id) {
        sql = "INSERT INTO  druzstvaqx (id_soutez,poradi,nazev_dr,nazev_okresu,tym,kategorie,draha) VALUES (";
        sql += soutez + ", " + quoted(d.poradi) + ", " + quoted(d.nazev_dr) + ", " + quoted(d.okres) + ", " +
               quoted(d.tym) + ", " + quoted(d.kategorie) + ", " + quoted(d.draha) + ")";
    } else {
        // Only the seven start-list columns: an entry's times, result,
        // placing and splits survive any edit of it.
        sql = "UPDATE druzstvaqx SET " + listinaSet(*this, id_soutez, d) +
              " WHERE id=" + QByteArray::number(*id);
    }
    transakce([&] {
        if (id) zmenaRadku(*id); // the competition it leaves, when it moves
        zmena(id_soutez);
        exec(SQLQuery_kat, sql);
    });
}

void Tdm_QX::delete_listina(qint64 id) {
    transakce([&] {
        zmenaRadku(id);
        exec(SQLQuery_kat, "DELETE FROM druzstvaqx WHERE id=" + QByteArray::number(id));
    });
}

std::optional<DruzstvoRadek> Tdm_QX::nacti_druzstvo(qint64 id) {
    const QList<DruzstvoRadek> rows = readAll<DruzstvoRadek>(
        "SELECT * FROM druzstvaqx WHERE id=" + QByteArray::number(id), &Tdm_QX::druzstvo);
    if (rows.isEmpty()) return std::nullopt;
    return rows.first();
}

void Tdm_QX::save_listina(const DruzstvoRadek& videno, const Druzstvo& d) {
    zapisVidene(*this, videno.id_soutez,
                "UPDATE druzstvaqx SET " + listinaSet(*this, videno.id_soutez, d) + " WHERE " +
                    listinaJeTa(*this, videno),
                [&] { return nacti_druzstvo(videno.id); });
}

void Tdm_QX::delete_listina(const DruzstvoRadek& videno) {
    zapisVidene(*this, videno.id_soutez, "DELETE FROM druzstvaqx WHERE " + druzstvoJeTo(*this, videno),
                [&] { return nacti_druzstvo(videno.id); });
}

bool Tdm_QX::obec_existuje(const QString& okres, const QString& obec) {
    open(SQLQuery_kat,
         "SELECT * FROM obceqx WHERE nazev_okresu=" + quoted(okres) + " and nazev_obce=" + quoted(obec));
    return SQLQuery_kat.RecordCount() > 0;
}

void Tdm_QX::insert_obec(const QString& okres, const QString& obec) {
    transakce([&] {
        zmena(kSdileneZmeny);
        exec(SQLQuery_kat, "INSERT INTO  obceqx (nazev_okresu,nazev_obce) VALUES (" + quoted(okres) + ", " +
                               quoted(obec) + ")");
    });
}

void Tdm_QX::delete_obec(const QString& okres, const QString& obec) {
    // A municipality is its name: deleting one that is gone already changes nothing, and there is
    // no other value of it another computer could have changed.
    transakce([&] {
        zmena(kSdileneZmeny);
        exec(SQLQuery_kat,
             "DELETE FROM obceqx WHERE nazev_okresu=" + quoted(okres) + " and nazev_obce=" + quoted(obec));
    });
}

} // namespace qx
