#pragma once

// The results server's snapshot: everything the public pages show, as one plain value. The window
// builds it after each change (a stored time, a recomputation, another current team, a received
// time) from what it already holds; the server renders pages from the last snapshot only, so a
// request never reaches the database.

#include "data/Radky.h"
#include "measurement/MereniSluzba.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

namespace qx {

// One ranked result as the measurement grid shows it.
struct SnimekVysledek {
    QString pozice;    // "3." as stored, empty: not placed
    QString nazev_dr;  // brigade
    QString okres;     // district
    QString tym;       // team mark
    QString kategorie; // category
    QString cas;       // the result in its display form ("17,53")
    qint64 id = 0;

    bool operator==(const SnimekVysledek&) const = default;
};

// The results of one category, in the grid's order.
struct SnimekKategorie {
    QString nazev;
    QList<SnimekVysledek> vysledky;

    bool operator==(const SnimekKategorie&) const = default;
};

// One entry of the start list.
struct SnimekStart {
    QString poradi; // start order as typed
    QString nazev_dr;
    QString okres;
    QString tym;
    QString kategorie;

    bool operator==(const SnimekStart&) const = default;
};

struct Snimek {
    quint64 verze = 0; // grows with every published snapshot
    QString soutez;    // the chosen competition's name, empty: none chosen
    int format = 0;    // 0 "setiny", 1 "tisíciny": decimals of the results
    QString radek1;    // "Na základně se připravuje": the lines of "actual.txt"
    QString radek2;
    QList<SnimekKategorie> kategorie; // results by category
    QList<SnimekStart> startovka;     // the start list in start order

    // The speaker's page.
    QString aktualniTym;            // "nazev_dr (tym) - kategorie", empty: none
    QStringList prijateCasy;        // the times received from the timer for it, not yet saved
    QString aktualniUmisteni;       // "3. místo" once saved, else empty
    QList<SnimekStart> dalsi;       // the next three teams
    QList<SnimekVysledek> posledni; // the last five saved results, the newest first, placed as now

    bool operator==(const Snimek&) const = default;
};

// What the window hands over to build a snapshot.
struct VstupSnimku {
    QString soutez;
    int format = 0;
    QList<VysledekRadek> vysledky; // the grid as load_mereni_poradi / save_cas return it
    QList<DruzstvoRadek> listina;  // the start list in start order (the settings category)
    qint64 idAkt = 0;              // the current team's row, 0: none
    QString radek1, radek2;        // the lines of "actual.txt"
    QString aktualniTym;           // lbl_mereni_tym
    QString aktualniUmisteni;      // lbl_mereni_poradi
    QStringList prijateCasy;       // the time box's list
    QList<qint64> ulozene;         // the teams whose time was saved, the newest first (UlozeneCasy)
};

// The teams whose time the operator saved, in the order of saving: the speaker's "last results".
// A team saved again (a correction) moves to the front and is listed once.
class UlozeneCasy {
public:
    static constexpr qsizetype kPamet = 50; // enough to fill five lines when some lost their result
    void zaznamenej(qint64 id);
    void vymaz() { idcka_.clear(); }
    // The newest first.
    const QList<qint64>& idcka() const { return idcka_; }

private:
    QList<qint64> idcka_;
};

// The snapshot of the inputs (verze left 0: the publisher numbers it).
Snimek sestavSnimek(const VstupSnimku& vstup);

// A result's display text as a number ("17,53" → 17.53); nullopt for an empty or other text.
std::optional<double> casJakoCislo(const QString& cas);
// A placing as a number ("3." → 3); nullopt when not placed.
std::optional<int> poziceJakoCislo(const QString& pozice);

} // namespace qx

Q_DECLARE_METATYPE(qx::Snimek)
