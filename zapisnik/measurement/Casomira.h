#pragma once

// What zapisnik makes of the timer console's announcement AM_Nast (device version, settings
// byte): the status line at the bottom of the main window, the measurement mode and whether the
// operator chooses the discipline himself. Plain data in and out.

#include <QString>

#include <cstdint>

namespace qx {

// "jedna dráha", "dvě dráhy", "tři dráhy", "čtyři dráhy", "jeden útok", "dva útoky" for the modes
// 1, 2, 3, 4, 10, 12; empty for any other value.
QString modeText(int nast);

// The status line before the timer console has reported.
QString casomiraNepripojena(); // "Časomíra není připojena. Disciplínu vyberte na záložce Nastavení!"

struct CasomiraStav {
    QString lbl_casomira;           // "Verze časomíry - QX 4.66, jeden útok"
    uint8_t nast = 0;               // the measurement mode after the announcement
    bool disciplinaEnabled = false; // CB_nast_disciplina: the operator sets the mode (version 490)
    bool splitRowShown = false;     // the split row of the measurement panel (one attack only)
};

// AM_Nast (verze, nastByte) with the current mode `nast`. The status line names the version by
// its text ("QX 4.66"), or by its number when the table of device versions does not know it
// ("471"). For version 490 the mode stays and the operator chooses it. Otherwise the mode is the low
// four bits of the settings byte, but only a mode zapisnik knows is taken: a settings byte of 0 (no
// device connected yet) or any value outside the mode table leaves the mode as it was. Such a byte
// is no device's answer: the status line then says that the console runs but no device has
// answered yet, with the version chosen there ("Časomíra je spuštěna, zařízení zatím neodpovědělo
// (verze QX 4.54)").
CasomiraStav amNast(int verze, int nastByte, uint8_t nast);

} // namespace qx
