#pragma once

// The rules of the settings panel, free of widgets: the measurement mode a
// chosen discipline sets, when the second-phase result mode may be chosen and
// when the split row of the measurement panel is shown.

#include <QString>

#include <cstdint>

namespace qx {

inline const QString kDisciplinaUtok = QStringLiteral("útok");
inline const QString kKolo2 = QStringLiteral("2. kolo");

// The measurement mode for a discipline chosen by the operator: 10 (one
// attack) for "útok", 1 (one relay lane) for anything else.
uint8_t nastZDiscipliny(const QString& disciplina);

// Whether the split row of the measurement panel is shown in a mode: only in
// the one-attack mode 10.
bool radekMezicasu(uint8_t nast);

// Whether the result mode (CB_nast_cas) may be chosen in a phase: only in
// "2. kolo". Otherwise the list is disabled and shows its empty entry.
bool vyslednyCasVolitelny(const QString& kolo);

} // namespace qx
