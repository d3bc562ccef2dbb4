#pragma once

// The data the measurement service works on: a few reads and writes of the start-list rows
// (druzstvaqx), in values. The data layer implements it on the database; tests implement it in
// memory. Every method reports a failure by throwing, as the data layer does for any failed
// statement; the service does not catch.

#include "data/RadekZmeny.h"
#include "data/Radky.h"
#include "measurement/Kontext.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>
#include <optional>

namespace qx {

// New stored values of one row; nullopt leaves a column as it is.
struct ZmenaVysledku {
    qint64 id = 0;
    std::optional<QString> celkem;
    std::optional<QString> pozice;

    bool operator==(const ZmenaVysledku&) const = default;
};

class MereniData {
public:
    virtual ~MereniData() = default;

    // The start list of competition `idSoutez` as the start-list panel loads it: in start order
    // (poradi read as an unsigned number, ORDER BY CAST(poradi as unsigned) ASC), only category
    // `kategorie` when it is not empty (compared by the database).
    virtual QList<DruzstvoRadek> listina(const QString& idSoutez, const QString& kategorie) = 0;

    // Every row of competition `idSoutez`, every category, in one read, in the table's order
    // (by id). Rows with equal results keep this order in the ranking.
    virtual QList<DruzstvoRadek> druzstvaSouteze(const QString& idSoutez) = 0;

    // Writes the given results and placings as one batch: all of them or none (one transaction).
    virtual void zapisVysledky(const QList<ZmenaVysledku>& zmeny) = 0;

    // Stores an attack time of a phase: cas1R and cas1C, or cas2R and cas2C.
    virtual void ulozUtok(qint64 id, Kolo kolo, const QString& terc, const QString& cas) = 0;

    // Stores a relay time of a phase: cas1S or cas2S.
    virtual void ulozStafetu(qint64 id, Kolo kolo, const QString& cas) = 0;

    // Stores the split times M1..M4.
    virtual void ulozMezicasy(qint64 id, const std::array<QString, 4>& mezicasy) = 0;

    // The history of stored values. `zapis` runs writes of the above; the records describing
    // them are stored with them, all in one transaction: a write that fails leaves no record,
    // and a record that cannot be stored undoes the write. Data without a history just write.
    virtual void sHistorii(const QList<ZaznamZmeny>& zaznamy, const std::function<void()>& zapis) {
        Q_UNUSED(zaznamy);
        zapis();
    }

    // One row by its id, every column; nullopt when there is none (or the data cannot tell).
    virtual std::optional<DruzstvoRadek> druzstvo(qint64 id) {
        Q_UNUSED(id);
        return std::nullopt;
    }

    // The recorded changes of one team, oldest first; empty without a history.
    virtual QList<ZaznamZmeny> historie(qint64 idDruzstva) {
        Q_UNUSED(idDruzstva);
        return {};
    }

    // The same three for a row the operator saw as `videno`: when the columns written no longer
    // hold what `videno` holds (another computer stored a time meanwhile) nothing is written and
    // the data layer throws its conflict error with the row as it is now. A store that is never
    // shared simply writes.
    virtual void ulozUtok(const DruzstvoRadek& videno, Kolo kolo, const QString& terc, const QString& cas) {
        ulozUtok(videno.id, kolo, terc, cas);
    }
    virtual void ulozStafetu(const DruzstvoRadek& videno, Kolo kolo, const QString& cas) {
        ulozStafetu(videno.id, kolo, cas);
    }
    virtual void ulozMezicasy(const DruzstvoRadek& videno, const std::array<QString, 4>& mezicasy) {
        ulozMezicasy(videno.id, mezicasy);
    }

    // Runs one unit of work (read, compute, write) of competition `idSoutez` as a whole: on a
    // shared database in one transaction, with the competition locked against the other computers'
    // writers until it ends. A store of one user simply runs it.
    virtual void transakce(const QString& idSoutez, const std::function<void()>& prace) {
        (void)idSoutez;
        prace();
    }
};

} // namespace qx
