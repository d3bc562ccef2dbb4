#pragma once

// Stored time texts as integers and back: every result, sum and cut is done on integer
// thousandths of a second, never through a binary floating-point value, so a stored 16,06 always
// shows as 16,06 and 17,50 + 18,01 is exactly 35,51.

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace qx {

// A stored decimal text with a decimal comma ("18,01", "0017,53", "17,529", "18") as thousandths
// of a second. More than three decimals are rounded half up to thousandths. nullopt for an empty
// text or one that is not such a number (a sign, a point, a letter, blanks).
std::optional<qint64> ctiCas(QStringView text);

// The stored result form: rounded (half up) to the version's decimals (textDecimals of the table
// of device versions), comma, filled on the left with "0" to its result width ("018,01",
// "018,010"); 1000 s or more is not filled.
QString celkemText(qint64 tisiciny, int verze);

// The result display form: format 1 ("tisíciny") three decimals, anything else two decimals cut
// after the second digit, never rounded (18,019 → "18,01").
QString orizniCas(qint64 tisiciny, int format);

// A stored time text in its display form: empty stays empty; a text that is not a number is
// returned unchanged.
QString zobrazCas(QStringView stored, int format);

} // namespace qx
