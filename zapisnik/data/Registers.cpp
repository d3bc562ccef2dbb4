#include "Registers.h"

namespace qx {

QString FormatDateTime_QX(const QString& datum) {
    if (!datumUlozene(datum).isValid()) return datum;
    QString s;
    if (datum[6] != u'0') s += datum[6];
    s += datum[7];
    s += u'.';
    if (datum[4] != u'0') s += datum[4];
    s += datum[5];
    s += u'.';
    s += datum.left(4);
    return s;
}

QString datumUlozeni(const QDate& d) {
    return d.toString(QStringLiteral("yyyyMMdd"));
}

QDate datumUlozene(const QString& datum) {
    if (datum.size() != 8) return {};
    for (QChar c : datum)
        if (c < u'0' || c > u'9') return {};
    return QDate(datum.left(4).toInt(), datum.mid(4, 2).toInt(), datum.mid(6, 2).toInt());
}

QDate datumZobrazeni(const QString& text) {
    const QStringList parts = text.trimmed().split(u'.');
    if (parts.size() != 3) return {};
    bool okD = false, okM = false, okY = false;
    const int d = parts[0].toInt(&okD);
    const int m = parts[1].toInt(&okM);
    const int y = parts[2].toInt(&okY);
    if (!okD || !okM || !okY || parts[2].size() != 4 || parts[0].isEmpty() || parts[1].isEmpty() ||
        parts[0].size() > 2 || parts[1].size() > 2)
        return {};
    return QDate(y, m, d); // invalid when the day does not exist
}

int load_CB_index(const QStringList& items, const QString& nazev) {
    if (nazev.isEmpty()) return -1;
    const qsizetype i = items.indexOf(nazev);
    return i >= 0 ? static_cast<int>(i) : kChybi;
}

} // namespace qx
