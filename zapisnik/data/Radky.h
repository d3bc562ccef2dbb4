#pragma once

// Typed rows of zapisnik's tables, as the data layer returns them. Plain values: no database, no
// widgets. Texts are decoded from UTF-8; times, results and placings stay the texts they are
// stored as (an empty text means "none"), and are read into integers by the measurement rules.

#include <QString>
#include <QtGlobal>

namespace qx {

// One entry of a start list (a row of druzstvaqx).
struct DruzstvoRadek {
    qint64 id = 0;
    qint64 id_soutez = 0;
    QString poradi;       // start order as typed
    QString nazev_dr;     // brigade (SDH)
    QString nazev_okresu; // its district
    QString tym;          // team mark
    QString kategorie;
    QString draha;
    QString cas1R;          // first target, first phase: "17,53L", "NP" or empty
    QString cas1C;          // final time, first phase
    QString cas2R;          // first target, second phase
    QString cas2C;          // final time, second phase
    QString cas1S;          // relay time, first phase
    QString cas2S;          // relay time, second phase
    QString celkem;         // stored result, fixed width ("018,01"), empty: none
    QString pozice;         // stored placing ("3."), empty: not placed
    QString M1, M2, M3, M4; // split times
};

// One competition (a row of soutezeqx).
struct SoutezRadek {
    qint64 id = 0;
    QString nazev;
    QString okres;
    QString misto;
    QString datum; // as stored: yyyymmdd, or whatever an older database holds
    QString cas;
    QString telefon;
    QString web;
};

// One category (a row of katqx).
struct KategorieRadek {
    qint64 id = 0;
    QString nazev;
    QString zkratka;
};

} // namespace qx
