#pragma once

// The settings snapshot: the settings panel's choices and the device state as one value, made in
// one place (the settings panel) and handed to the measurement, results and export rules.

#include <QString>
#include <QStringList>

#include <cstdint>

namespace qx {

enum class Kolo { Prvni, Druhe };             // CB_nast_kolo: "1. kolo", anything else
enum class Rezim { Lepsi, Finalovy, Soucet }; // CB_nast_cas: 2 "finálový", 3 "součet", else "lepší"
enum class Pohled { Listina, Mereni };        // which list the export prints

struct MereniKontext {
    QString idSoutez;   // chosen competition, empty: none
    QString kategorie;  // settings category, empty: all
    uint8_t nast = 170; // measurement mode (1..4 lanes, 10 one attack, 12 two attacks; 170 at start)
    int verze = 466;    // device version
    Kolo kolo = Kolo::Prvni;
    Rezim rezim = Rezim::Lepsi;
    int format = 0;             // CBFormat: 0 "setiny", 1 "tisíciny"
    bool stafetaExport = false; // CB_nast_stafeta
    bool mezicasy = false;      // CB_mezicas shows "Ano"
    QStringList mezicasTitulky{QStringLiteral("Koš"), QStringLiteral("Voda"), QStringLiteral("Vys."),
                               QStringLiteral("Tla.")};
    QString poradatel; // organiser's name printed on the export
};

// Attack mode: nast AND 8 is not 0 (the start-up value 170 counts as an attack).
inline bool jeUtok(uint8_t nast) {
    return (nast & 8) != 0;
}
// Lane (relay) mode: nast AND 15 is below 5.
inline bool jeStafeta(uint8_t nast) {
    return (nast & 15) < 5;
}

// The phase of a CB_nast_kolo text: "1. kolo" is the first, anything else the second.
Kolo koloZTextu(const QString& text);
// The result mode of a CB_nast_cas index: 2 "finálový", 3 "součet", anything else "lepší".
Rezim rezimZIndexu(int index);

} // namespace qx
