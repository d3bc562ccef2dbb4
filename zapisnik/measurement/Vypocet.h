#pragma once

// A team's result ("celkem") from its stored times and the settings of the competition phase,
// computed on integer thousandths, and the start-up widening of stored results.

#include "data/Radky.h"
#include "measurement/Kontext.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace qx {

// The result of one team in thousandths of a second, or none.
//
// Relay part: the better (smaller non-zero) of cas1S and cas2S. Attack part: cas1C in the first
// phase; in the second phase by the result mode: "finálový" cas2C, "součet" cas1C + cas2C (none
// without cas2C), "lepší" the better of the two. An empty time counts as 0, i.e. missing. In lane
// (relay) mode (jeStafeta) the relay part is the result; otherwise the result is the attack part
// plus the relay part. No result when the attack part (in lane mode: the relay part) is 0.
//
// A time text that this computation reads and that is not a number with a decimal comma gives no
// result; chybneCasy names it.
std::optional<qint64> vypoctiCelkem(const DruzstvoRadek& radek, const MereniKontext& ctx);

// The texts that vypoctiCelkem reads for this row and cannot read as a number, in the order it
// reads them (cas1S, cas2S, cas1C, cas2C). Empty when the result is computed.
QStringList chybneCasy(const DruzstvoRadek& radek, const MereniKontext& ctx);

// The stored form of vypoctiCelkem: celkemText for the version, empty when there is no result.
QString celkemRadku(const DruzstvoRadek& radek, const MereniKontext& ctx);

// Width of a stored result for a version: 4 + its decimals (6 for 454, 462, 463, 490, else 7).
int sirkaCelkem(int verze);

// The start-up widening of a stored result: a non-empty text shorter than the version's width
// gets "0" characters in front up to the width; anything else is returned unchanged.
QString rozsirCelkem(const QString& celkem, int verze);

} // namespace qx
