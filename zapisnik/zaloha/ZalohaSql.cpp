#include "zaloha/ZalohaSql.h"

#include "settings/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace qx {

QByteArray sqlRetezec(const QByteArray& hodnota) {
    QByteArray out;
    out.reserve(hodnota.size() + 2);
    out += '\'';
    for (const char c : hodnota) {
        switch (c) {
        case '\0':
            out += "\\0";
            break;
        case '\'':
            out += "\\'";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\x1a':
            out += "\\Z";
            break;
        default:
            out += c;
        }
    }
    out += '\'';
    return out;
}

namespace {

QByteArray sloupce(const TabulkaZalohy& t) {
    QByteArray s;
    for (const QByteArray& n : t.sloupce)
        s += (s.isEmpty() ? "`" : ", `") + n + '`';
    return s;
}

QByteArray hodnoty(const QList<QByteArray>& radek) {
    QByteArray s;
    for (const QByteArray& v : radek)
        s += (s.isEmpty() ? "" : ", ") + sqlRetezec(v);
    return s;
}

// A comment line's text: no line breaks.
QByteArray doKomentare(const QString& text) {
    QString t = text;
    t.replace(u'\n', u' ').replace(u'\r', u' ');
    return t.toUtf8();
}

} // namespace

QByteArray sqlZalohy(const ObsahZalohy& o, const QDateTime& kdy, const QByteArray& databaze) {
    const QByteArray id = QByteArray::number(o.idSoutez);
    QByteArray sql;
    sql += "-- Záloha soutěže " + id + " „" + doKomentare(o.nazevSouteze) + "“ z programu zapisnik, " +
           kdy.toString(QStringLiteral("d. M. yyyy HH:mm:ss")).toUtf8() + ".\n";
    sql += "-- Obsahuje řádek soutěže a celou startovní listinu se všemi časy, výsledky a pořadím.\n";
    sql += "-- Obnovení (soutěž " + id + " v databázi se nahradí touto zálohou):\n";
    sql += "--   mariadb " + databaze + " < soubor.sql\n\n";
    sql += "SET NAMES binary;\n";
    sql += "SET SESSION sql_mode = 'STRICT_TRANS_TABLES,NO_ENGINE_SUBSTITUTION';\n";
    sql += "START TRANSACTION;\n";
    sql += "DELETE FROM `druzstvaqx` WHERE `id_soutez` = " + id + ";\n";
    for (const QList<QByteArray>& r : o.souteze.radky)
        sql += "REPLACE INTO `soutezeqx` (" + sloupce(o.souteze) + ") VALUES (" + hodnoty(r) + ");\n";
    for (const QList<QByteArray>& r : o.druzstva.radky)
        sql += "INSERT INTO `druzstvaqx` (" + sloupce(o.druzstva) + ") VALUES (" + hodnoty(r) + ");\n";
    sql += "COMMIT;\n";
    return sql;
}

QString nazevZalohy(qint64 idSoutez, const QDateTime& kdy) {
    return QStringLiteral("soutez-%1-%2.sql")
        .arg(idSoutez)
        .arg(kdy.toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

QStringList prebytecneZalohy(const QStringList& jmena, qint64 idSoutez, int ponechat) {
    const QRegularExpression vzor(QStringLiteral("^soutez-%1-\\d{8}-\\d{6}\\.sql$").arg(idSoutez));
    QStringList zalohy;
    for (const QString& j : jmena) {
        if (vzor.match(j).hasMatch()) zalohy.append(j);
    }
    std::sort(zalohy.begin(), zalohy.end(), std::greater<>()); // newest first
    return zalohy.mid(std::max(ponechat, 1));
}

ZapisZalohy zapisZalohu(const QString& slozka, const QString& jmeno, const QByteArray& sql, qint64 idSoutez,
                        int ponechat) {
    ZapisZalohy v;
    QDir dir(slozka);
    if (!dir.mkpath(QStringLiteral("."))) {
        v.chyba = QStringLiteral("Složku záloh „%1“ nelze vytvořit.").arg(QDir::toNativeSeparators(slozka));
        return v;
    }
    v.soubor = dir.filePath(jmeno);
    if (const int err = replaceFile(v.soubor, sql); err != 0) {
        v.chyba = replaceFileError(v.soubor, err);
        return v;
    }
    v.ok = true;
    for (const QString& stara : prebytecneZalohy(dir.entryList(QDir::Files), idSoutez, ponechat))
        QFile::remove(dir.filePath(stara));
    return v;
}

} // namespace qx
