#pragma once

// The backup of one competition as an SQL file: the competition's row and every row of its start
// list with all their columns, which `mariadb myqx < file.sql` puts back in one transaction. The
// file's name, and which older backups of the competition go when only the newest are kept.
// Qt Core only: the rows come in as the bytes the database stores.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace qx {

// The rows of one table as stored: column names in the table's order, each row's values as bytes.
struct TabulkaZalohy {
    QByteArray nazev;
    QList<QByteArray> sloupce;
    QList<QList<QByteArray>> radky;
};

struct ObsahZalohy {
    qint64 idSoutez = 0;
    QString nazevSouteze;
    TabulkaZalohy souteze;  // soutezeqx: the competition's row
    TabulkaZalohy druzstva; // druzstvaqx: every row of the competition
};

// A value as an SQL string literal in single quotes, backslash escapes for the quote characters,
// the backslash, NUL, line breaks and Ctrl-Z; every other byte (UTF-8 letters too) as it is.
QByteArray sqlRetezec(const QByteArray& hodnota);

// The whole file. A header comment with the time `kdy` and the restore command for database
// `databaze`; then, in one transaction: the competition's start-list rows deleted, the
// competition's row replaced and the start-list rows inserted again with their ids. The session
// takes the bytes as they are (SET NAMES binary) and backslash escapes are on.
QByteArray sqlZalohy(const ObsahZalohy& obsah, const QDateTime& kdy, const QByteArray& databaze);

// "soutez-5-20261210-140500.sql": the competition and the time, so that names sort by time.
QString nazevZalohy(qint64 idSoutez, const QDateTime& kdy);

// Of the file names `jmena`, those of competition `idSoutez`'s backups beyond the newest `ponechat`
// (other files are never named).
QStringList prebytecneZalohy(const QStringList& jmena, qint64 idSoutez, int ponechat);

struct ZapisZalohy {
    bool ok = false;
    QString soubor; // the written file
    QString chyba;  // the operator's message when not ok
};

// Writes `sql` as `jmeno` into folder `slozka` (created when missing) whole or not at all, then
// removes the competition's backups beyond the newest `ponechat`.
ZapisZalohy zapisZalohu(const QString& slozka, const QString& jmeno, const QByteArray& sql, qint64 idSoutez,
                        int ponechat);

} // namespace qx
