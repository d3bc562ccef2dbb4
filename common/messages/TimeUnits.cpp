#include "messages/TimeUnits.h"

namespace qx {

namespace {

int unitDivisor(TimeUnit unit) {
    return int(unit);
}

} // namespace

const VersionUnits& versionUnits(int verze) {
    return deviceVersion(verze);
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
