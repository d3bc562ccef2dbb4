#pragma once

// The checks that decide whether a typed or received time may be saved: the time box of the
// measurement panel (Kontrola_formatu_casu) and its four split fields (Kontrola_formatu_mezicasu).
// The limits of a valid time text come from the one table of time units (isValidTimeText).

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>

namespace qx {

// The time box of the measurement panel. An empty text is accepted (saving it clears the stored
// time of the phase). In attack mode (jeUtok) the text needs a space that is not its first
// character; the part before the first space is "NP" or a valid time text followed by the target
// letter "L" or "P", and the part after the first space is a valid time text ("17,53L 18,01",
// "NP 18,01"). In relay mode the part after the first space (the whole text when there is none)
// is a valid time text ("1 18,23", "18,23").
bool Kontrola_formatu_casu(QStringView text, uint8_t nast, int verze);

// The four split fields, in order M1..M4: the part of each text after its first space (the whole
// text when there is none) is a valid time text. An empty field fails.
bool Kontrola_formatu_mezicasu(const std::array<QString, 4>& mezicasy, int verze);

// The part of a text after its first space, or the whole text when it has none.
QStringView zaPrvniMezerou(QStringView text);

} // namespace qx
