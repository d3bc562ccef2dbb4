#pragma once

// Plain helpers of the register views: no database, no widgets.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace qx {

// The displayed form of a stored date "yyyymmdd": day.month.year without
// leading zeros ("20210905" -> "5.9.2021"). A value that is not a date in that
// form ("20251301", "abc", empty) is shown as stored.
QString FormatDateTime_QX(const QString& datum);

// The stored form "yyyymmdd" of a date.
QString datumUlozeni(const QDate& d);

// The date of a stored "yyyymmdd" (eight digits of a real day); an invalid QDate otherwise.
QDate datumUlozene(const QString& datum);

// Reads a date back from its displayed form (day.month.year, with or without
// leading zeros). Invalid QDate when the text is not such a date.
QDate datumZobrazeni(const QString& text);

// Where a drop-down list should stand for the value nazev: -1 for an empty
// value (nothing selected), else the index of the first item equal to nazev,
// else kChybi (the value is not in the list).
inline constexpr int kChybi = -2;
int load_CB_index(const QStringList& items, const QString& nazev);

// Number of rows of a grid with a title row: the minimum, or one more than the
// data rows when there are more.
inline int gridRowCount(int minimum, qsizetype dataRows) {
    return std::max(minimum, static_cast<int>(dataRows) + 1);
}

} // namespace qx
