#pragma once

// The measurement panel's operations as sequences over MereniData: the current team, storing a
// time or the splits, recomputing results and placings. Everything comes back as values for the
// panel to show; nothing here knows a widget or a statement.

#include "measurement/Kontext.h"
#include "measurement/MereniData.h"
#include "measurement/Zmeny.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>
#include <optional>

namespace qx {

// What load_mereni shows.
struct MereniPohled {
    qint64 id_akt = 0;               // id of the current team's row
    QString lbl_mereni_tym;          // "nazev_dr (tym) - kategorie"
    QString lbl_mereni_poradi;       // "3. místo", empty when not placed
    QString cas;                     // text of the time box CB_mereni_cas
    std::array<QString, 4> mezicasy; // edtM1..edtM4
    QString lbl_mereni_pripravi;     // "Připraví se: A - muži, B - ženy, C - muži", or empty
    bool prevEnabled = false;        // btn_mereni_prev
    bool nextEnabled = false;        // btn_mereni_next
    QString actualRadek1;            // the two lines of "actual.txt"
    QString actualRadek2;
    DruzstvoRadek radek; // the current team's row as it was read (what the operator sees)
};

// One data row of the results grid SG_mereni.
struct VysledekRadek {
    QString pozice;
    QString nazev_dr;
    QString nazev_okresu;
    QString tym;
    QString kategorie;
    QString cas; // the result in its display form
    qint64 id = 0;

    bool operator==(const VysledekRadek&) const = default;
};

// A team left without a result because a stored time of it is not a number with a decimal comma.
struct ChybnyCas {
    qint64 id = 0;
    QString druzstvo;  // "nazev_dr (tym) - kategorie"
    QStringList texty; // the unreadable texts

    bool operator==(const ChybnyCas&) const = default;
};

struct Prepocet {
    QList<VysledekRadek> vysledky; // the results grid after ranking
    QList<ChybnyCas> chybne;       // empty when every time could be read
};

// One message for the operator about the teams left without a result; empty when there are none.
QString zpravaChybnychCasu(const QList<ChybnyCas>& chybne);

class MereniSluzba {
public:
    explicit MereniSluzba(MereniData& data) : data_(data) {}

    // The team at position `poradi` + `kolik` of the start list (kolik 0 redisplays, 1 next,
    // -1 previous). `poradi` gets `kolik` added and is not otherwise changed: beyond the end of
    // the list the last team is shown. The caller writes "actual.txt" from the two lines and
    // sends AM_Text. With an empty start list the team fields are empty and id_akt is 0.
    MereniPohled load_mereni(const MereniKontext& ctx, int kolik, int& poradi);

    // Ranks the competition (or the settings category) by the stored results, writes the
    // placings that changed and returns the results grid.
    QList<VysledekRadek> load_mereni_poradi(const MereniKontext& ctx);

    // Recomputes every result of the competition from one read of its rows, writes the changed
    // results and placings as one batch and returns the results grid. A team whose stored time
    // cannot be read gets no result; the others are computed and ranked, and the team is
    // returned in `chybne`. The caller then runs load_mereni with 0.
    Prepocet zmena_nast(const MereniKontext& ctx);

    // Stores the time box's text for team `id_akt` in the current phase: in attack mode the part
    // before the first space as the first-target part and the part after it as the final time
    // (no space: the whole text is the final time); in relay mode the part after the first space
    // (the whole text when there is none). An empty text clears the phase's time. Then computes
    // that team's result, re-ranks and returns the results grid; the caller then runs
    // load_mereni with 0.
    // The time, the team's result and every placing that moved are written together, with the
    // history of the values that changed: the team's own columns under `pricina` (Ulozeni for a
    // received entry, Rucne for a typed text), the other teams' placings as Prepocet.
    // With `videno` (the row as the operator saw it) the time is stored only while the phase's
    // stored time is still the one seen; otherwise the data layer's conflict error comes out and
    // nothing is written. Storing, computing and ranking are one unit of work of the competition
    // (see MereniData::transakce), as are the recomputations above.
    Prepocet save_cas(const MereniKontext& ctx, qint64 id_akt, const QString& text,
                      Pricina pricina = Pricina::Ulozeni,
                      const std::optional<DruzstvoRadek>& videno = std::nullopt);

    // Stores the four split texts of a team as they are, recorded as a manual change. Nothing is
    // recomputed. With `videno`, only while the stored splits are still the ones seen.
    void ulozMezicasy(qint64 id, const std::array<QString, 4>& mezicasy,
                      const std::optional<DruzstvoRadek>& videno = std::nullopt);

    // The results grid ranked from the stored results, without writing anything: what another
    // computer's change shows on this one.
    QList<VysledekRadek> vysledky(const MereniKontext& ctx);

    // The recorded changes of a team, oldest first.
    QList<ZaznamZmeny> historie(qint64 idDruzstva) { return data_.historie(idDruzstva); }

private:
    QList<VysledekRadek> seradit(const MereniKontext& ctx, const QList<DruzstvoRadek>& radky,
                                 QList<ZmenaVysledku>& zmeny);
    // Writes the batch with the records of what it changes (rows as read before any change).
    void zapisVysledky(const QList<DruzstvoRadek>& puvodni, const QList<ZmenaVysledku>& zmeny);

    MereniData& data_;
};

} // namespace qx
