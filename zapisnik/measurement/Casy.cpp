#include "measurement/Casy.h"

#include "device/DeviceVersions.h"

namespace qx {

namespace {

QString sCarkou(qint64 cele, qint64 zlomek, int desetiny) {
    return QString::number(cele) + u',' + QStringLiteral("%1").arg(zlomek, desetiny, 10, QLatin1Char('0'));
}

} // namespace

std::optional<qint64> ctiCas(QStringView text) {
    if (text.isEmpty()) return std::nullopt;
    const qsizetype comma = text.indexOf(u',');
    const QStringView cele = comma < 0 ? text : text.left(comma);
    const QStringView zlomek = comma < 0 ? QStringView() : text.mid(comma + 1);
    if (cele.isEmpty() && zlomek.isEmpty()) return std::nullopt;
    qint64 hodnota = 0;
    int cislice = 0; // significant digits: leading zeros of a widened result do not count
    for (QChar c : cele) {
        if (c < u'0' || c > u'9') return std::nullopt;
        if (hodnota > 0 || c != u'0') ++cislice;
        if (cislice > 12) return std::nullopt; // beyond any clock, and safe from overflow
        hodnota = hodnota * 10 + (c.unicode() - u'0');
    }
    hodnota *= 1000;
    qint64 tisiciny = 0;
    int zaokrouhlit = 0;
    for (qsizetype i = 0; i < zlomek.size(); ++i) {
        const QChar c = zlomek[i];
        if (c < u'0' || c > u'9') return std::nullopt;
        const int d = c.unicode() - u'0';
        if (i < 3)
            tisiciny = tisiciny * 10 + d;
        else if (i == 3)
            zaokrouhlit = d >= 5 ? 1 : 0;
    }
    for (qsizetype i = zlomek.size(); i < 3; ++i)
        tisiciny *= 10;
    return hodnota + tisiciny + zaokrouhlit;
}

QString celkemText(qint64 tisiciny, int verze) {
    const DeviceVersion& v = deviceVersion(verze);
    const int desetiny = v.textDecimals;
    QString text;
    if (desetiny == 2) {
        const qint64 setiny = (tisiciny + 5) / 10;
        text = sCarkou(setiny / 100, setiny % 100, 2);
    } else {
        text = sCarkou(tisiciny / 1000, tisiciny % 1000, 3);
    }
    const int sirka = v.resultWidth();
    if (text.size() < sirka) text.prepend(QString(sirka - text.size(), u'0'));
    return text;
}

QString orizniCas(qint64 tisiciny, int format) {
    if (format == 1) return sCarkou(tisiciny / 1000, tisiciny % 1000, 3);
    return sCarkou(tisiciny / 1000, (tisiciny % 1000) / 10, 2);
}

QString zobrazCas(QStringView stored, int format) {
    if (stored.isEmpty()) return QString();
    const std::optional<qint64> t = ctiCas(stored);
    return t ? orizniCas(*t, format) : stored.toString();
}

} // namespace qx
