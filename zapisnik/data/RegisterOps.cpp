// The register operations: competitions, districts, municipalities, categories
// and the start list of a competition. All run on SQLQuery_kat.

#include "Registers.h"
#include "Tdm_QX.h"

namespace qx {

QList<QStringList> Tdm_QX::load_souteze() {
    SQLQuery& q = SQLQuery_kat;
    open(q, "SELECT * FROM soutezeqx WHERE 1 ORDER BY datum DESC");
    QList<QStringList> rows;
    rows.reserve(q.RecordCount());
    for (; !q.Eof(); q.Next()) {
        rows.append({q.AsString("nazev_souteze"), FormatDateTime_QX(q.AsAscii("datum")), q.AsString("cas"),
                     q.AsAscii("id"), q.AsString("nazev_okresu"), q.AsString("nazev_obce"),
                     q.AsString("telefon"), q.AsString("web_poradatele")});
    }
    return rows;
}

void Tdm_QX::save_soutez(bool vlozit, const Soutez& s, const QString& id) {
    const QByteArray datum = quoted(datumUlozeni(s.datum));
    QByteArray sql;
    if (vlozit) {
        sql = "INSERT INTO soutezeqx "
              "(nazev_souteze,nazev_okresu,nazev_obce,datum,cas,telefon,web_poradatele) VALUES(";
        sql += quoted(s.nazev) + ", " + quoted(s.okres) + ", " + quoted(s.misto) + ", " + datum + ", " +
               quoted(s.cas) + ", " + quoted(s.telefon) + ", " + quoted(s.web) + ")";
    } else {
        sql = "UPDATE soutezeqx SET ";
        sql += "nazev_okresu=" + quoted(s.okres) + ", nazev_souteze=" + quoted(s.nazev) +
               ", nazev_obce=" + quoted(s.misto) + ", datum=" + datum + ", cas=" + quoted(s.cas) +
               ", telefon=" + quoted(s.telefon) + ", web_poradatele=" + quoted(s.web);
        sql += " WHERE id=" + key(id);
    }
    exec(SQLQuery_kat, sql);
}

void Tdm_QX::delete_soutez(const QString& id) {
    exec(SQLQuery_kat, "DELETE FROM soutezeqx WHERE id=" + key(id));
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

QList<QStringList> Tdm_QX::load_kat() {
    SQLQuery& q = SQLQuery_kat;
    open(q, "SELECT * FROM katqx WHERE 1 ORDER BY kategorie ASC");
    QList<QStringList> rows;
    for (; !q.Eof(); q.Next())
        rows.append({q.AsString("kategorie"), q.AsString("zkratka"), q.AsAscii("id")});
    return rows;
}

void Tdm_QX::save_kat(bool vlozit, const QString& nazev, const QString& zkratka, const QString& id) {
    if (vlozit)
        exec(SQLQuery_kat,
             "INSERT INTO katqx (kategorie,zkratka ) VALUES (" + quoted(nazev) + "," + quoted(zkratka) + ")");
    else
        exec(SQLQuery_kat, "UPDATE katqx SET kategorie=" + quoted(nazev) + ", zkratka=" + quoted(zkratka) +
                               " WHERE id=" + key(id));
}

void Tdm_QX::delete_kat(const QString& nazev) {
    exec(SQLQuery_kat, "DELETE FROM katqx WHERE kategorie=" + quoted(nazev));
}

QList<QStringList> Tdm_QX::load_listina(const QString& id_soutez, const QString& kategorie) {
    SQLQuery& q = SQLQuery_kat;
    if (!kategorie.isEmpty())
        open(q, "SELECT * FROM druzstvaqx WHERE id_soutez=" + key(id_soutez) +
                    " and kategorie=" + quoted(kategorie) + " ORDER BY CAST(poradi as unsigned) ASC");
    else
        open(q, "SELECT * FROM druzstvaqx WHERE id_soutez=" + key(id_soutez) +
                    " ORDER BY CAST(poradi as unsigned) ASC");
    QList<QStringList> rows;
    for (; !q.Eof(); q.Next())
        rows.append({q.AsString("poradi"), q.AsString("nazev_dr"), q.AsString("nazev_okresu"),
                     q.AsString("tym"), q.AsString("kategorie"), q.AsString("draha"), q.AsAscii("id")});
    return rows;
}

void Tdm_QX::save_listina(bool vlozit, const QString& id_soutez, const Druzstvo& d, const QString& id) {
    QByteArray sql;
    if (vlozit) {
        sql = "INSERT INTO  druzstvaqx (id_soutez,poradi,nazev_dr,nazev_okresu,tym,kategorie,draha) VALUES (";
        sql += key(id_soutez) + ", " + quoted(d.poradi) + ", " + quoted(d.nazev_dr) + ", " + quoted(d.okres) +
               ", " + quoted(d.tym) + ", " + quoted(d.kategorie) + ", " + quoted(d.draha) + ")";
    } else {
        // Only the seven start-list columns: an entry's times, result,
        // placing and splits survive any edit of it.
        sql = "UPDATE druzstvaqx SET id_soutez=" + key(id_soutez) + ", poradi=" + quoted(d.poradi) +
              ", nazev_dr=" + quoted(d.nazev_dr) + ", nazev_okresu=" + quoted(d.okres) +
              ", tym=" + quoted(d.tym) + ", kategorie=" + quoted(d.kategorie) + ", draha=" + quoted(d.draha) +
              " WHERE id=" + key(id);
    }
    exec(SQLQuery_kat, sql);
}

void Tdm_QX::delete_listina(const QString& id) {
    exec(SQLQuery_kat, "DELETE FROM druzstvaqx WHERE id=" + key(id));
}

bool Tdm_QX::obec_existuje(const QString& okres, const QString& obec) {
    open(SQLQuery_kat,
         "SELECT * FROM obceQX WHERE nazev_okresu=" + quoted(okres) + " and nazev_obce=" + quoted(obec));
    return SQLQuery_kat.RecordCount() > 0;
}

void Tdm_QX::insert_obec(const QString& okres, const QString& obec) {
    exec(SQLQuery_kat, "INSERT INTO  obceqx (nazev_okresu,nazev_obce) VALUES (" + quoted(okres) + ", " +
                           quoted(obec) + ")");
}

void Tdm_QX::delete_obec(const QString& okres, const QString& obec) {
    exec(SQLQuery_kat,
         "DELETE FROM obceqx WHERE nazev_okresu=" + quoted(okres) + " and nazev_obce=" + quoted(obec));
}

} // namespace qx
