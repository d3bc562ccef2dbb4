#include "messages/TimeUnits.h"

namespace qx {

namespace {

constexpr TimeUnit H = TimeUnit::Hundredths;
constexpr TimeUnit T = TimeUnit::Thousandths;

// verze, stopky, format offered, final-time unit, text decimals, whole digits.
//
// Final-time unit: the transfer text has three decimals for 456, 458, 466, 467, 468 and two
// for 454, 457, 462, 463 (the 3-byte devices carry no thousandths digit).
// Text decimals: 2 where zapisnik counts hundredths (454, 462, 463, 490), else 3. Version 457
// delivers hundredths but zapisnik keeps three decimals for it, so its counts are scaled by 10;
// 463 delivers hundredths and is counted in hundredths, so its texts have two decimals.
// Whole digits: 2 for the devices whose clock ends at 99,999 s (457, 463), else 3 (467's clock
// runs to 999,999 s like 466's).
constexpr VersionUnits kTable[] = {
    {454, true, false, H, 2, 3},  {456, true, true, T, 3, 3},  {457, true, true, H, 3, 2},
    {458, true, true, T, 3, 3},   {462, true, false, H, 2, 3}, {463, true, false, H, 2, 2},
    {466, true, true, T, 3, 3},   {467, true, true, T, 3, 3},  {468, true, true, T, 3, 3},
    {490, false, false, H, 2, 3}, {0, false, false, T, 3, 2},
};

int unitDivisor(TimeUnit unit) {
    return int(unit);
}

} // namespace

std::span<const VersionUnits> versionUnitsTable() {
    return kTable;
}

const VersionUnits& versionUnits(int verze) {
    for (const auto& row : kTable) {
        if (row.verze == verze && row.verze != 0) return row;
    }
    return kTable[std::size(kTable) - 1];
}

TimeUnit finalTimeUnit(int verze) {
    return versionUnits(verze).finalTimeUnit;
}

int effectiveFormatIndex(int verze, int formatIndex) {
    return (formatIndex == 1 && versionUnits(verze).formatOffered) ? 1 : 0;
}

TimeUnit splitUnit(int formatIndex) {
    return formatIndex == 1 ? TimeUnit::Thousandths : TimeUnit::Hundredths;
}

TimeUnit textUnit(int verze) {
    return versionUnits(verze).textDecimals == 2 ? TimeUnit::Hundredths : TimeUnit::Thousandths;
}

QString countToTimeText(qint64 count, TimeUnit unit, int decimals) {
    const bool negative = count < 0;
    // Magnitude in thousandths; every unit here divides 1000.
    quint64 mag = negative ? quint64(0) - quint64(count) : quint64(count);
    mag *= quint64(1000 / unitDivisor(unit));
    const quint64 whole = mag / 1000;
    quint64 fraction = mag % 1000;
    if (decimals == 2)
        fraction /= 10; // cut, never rounded
    else
        decimals = 3;
    QString text;
    if (negative) text += u'-';
    text += QString::number(whole);
    text += u',';
    text += QStringLiteral("%1").arg(fraction, decimals, 10, QLatin1Char('0'));
    return text;
}

QString finalTimeText(int verze, qint64 count) {
    return countToTimeText(count, finalTimeUnit(verze), versionUnits(verze).textDecimals);
}

QString splitTimeText(int verze, int formatIndex, qint64 count) {
    return countToTimeText(count, splitUnit(formatIndex), versionUnits(verze).textDecimals);
}

bool isValidTimeText(int verze, QStringView text) {
    const VersionUnits& row = versionUnits(verze);
    const qsizetype comma = text.indexOf(u',');
    if (comma < 0) return false;
    const QStringView whole = text.left(comma);
    const QStringView fraction = text.mid(comma + 1);
    auto allDigits = [](QStringView s) {
        for (QChar c : s) {
            if (c < u'0' || c > u'9') return false;
        }
        return true;
    };
    return whole.size() >= 1 && whole.size() <= row.textMaxWholeDigits && allDigits(whole) &&
           fraction.size() == row.textDecimals && allDigits(fraction);
}

} // namespace qx
