#include "display/TimeText.h"

#include "device/DeviceVersions.h"
#include "device/TargetCodes.h"
#include "messages/TimeUnits.h"

#include <limits>

namespace stopky {

quint8 targetCode(const TimeRecord& rec, int verze) {
    return qx::deviceVersion(verze).targetWholeByte() ? rec.b[0] : quint8(rec.b[0] >> 4);
}

QString Decode_Terc(quint8 typ) {
    return qx::targetCodeText(typ);
}

namespace {

// A half byte is written as a decimal number; a device that keeps to its protocol only sends 0..9,
// but a value above 9 is written as its two digits rather than as a hex letter.
void appendNum(QString& s, int v) {
    if (v < 10)
        s += QChar(u'0' + v);
    else
        s += QString::number(v);
}

// The common part of the display and transfer texts; `sixth` says whether digit 6 is written.
void appendTime(QString& s, const TimeRecord& r, bool ano, int verze, bool sixth) {
    const qx::RecordLayout layout = qx::deviceVersion(verze).layout;
    if (ano) {
        s += Decode_Terc(targetCode(r, verze));
        s += QLatin1Char(' ');
    }
    if (layout == qx::RecordLayout::ByteCoded) {
        const int d1 = r.b[1] >> 4, d2 = r.b[1] & 0x0F;
        if (r.b[1] != 0) {
            if (d1 != 0) appendNum(s, d1);
            if (d2 != 0 || d1 != 0) appendNum(s, d2);
        }
        appendNum(s, r.b[2] >> 4);
        s += QLatin1Char(',');
        appendNum(s, r.b[2] & 0x0F);
        appendNum(s, r.b[3] >> 4);
        if (sixth) appendNum(s, r.b[3] & 0x0F);
    } else {
        const int d1 = r.b[0] & 0x0F, d2 = r.b[1] >> 4;
        if (d1 != 0) appendNum(s, d1);
        if (layout == qx::RecordLayout::NibbleLong || d1 != 0 || d2 != 0) appendNum(s, d2);
        appendNum(s, r.b[1] & 0x0F);
        s += QLatin1Char(',');
        appendNum(s, r.b[2] >> 4);
        appendNum(s, r.b[2] & 0x0F);
        if (sixth) appendNum(s, r.b[3]);
    }
}

QString timeText(const TimeRecord& r, bool ano, int verze, bool sixth) {
    QString s;
    s.reserve(16);
    appendTime(s, r, ano, verze, sixth);
    return s;
}

// The transfer text has the decimals of the counts stopky sends: the thousandths digit where the
// device sends thousandths, which only a 4-byte frame can carry (byte 4 of a 3-byte device is never
// written).
bool transferSixth(int verze) {
    const qx::DeviceVersion& v = qx::deviceVersion(verze);
    return v.finalTimeUnit == qx::TimeUnit::Thousandths && v.BCas == 4;
}

// A decimal integer as the conversion of the original tool accepts it: an optional sign and at
// least one digit, nothing else, within 32 bits. `t` is read without its first comma (a text
// without a comma is taken whole), so no copy is made.
bool toIntWithoutFirstComma(QStringView t, qint32& out) {
    const qsizetype comma = t.indexOf(u',');
    auto at = [&](qsizetype i) { return comma >= 0 && i >= comma ? t[i + 1] : t[i]; };
    const qsizetype len = comma >= 0 ? t.size() - 1 : t.size();
    if (len == 0) return false;
    qsizetype i = 0;
    bool neg = false;
    if (at(0) == u'+' || at(0) == u'-') {
        neg = at(0) == u'-';
        i = 1;
    }
    if (i == len) return false;
    qint64 v = 0;
    for (; i < len; ++i) {
        const char16_t c = at(i).unicode();
        if (c < u'0' || c > u'9') return false;
        v = v * 10 + (c - u'0');
        if (v > qint64(std::numeric_limits<qint32>::max()) + 1) return false;
    }
    if (neg) v = -v;
    if (v > std::numeric_limits<qint32>::max() || v < std::numeric_limits<qint32>::min()) return false;
    out = qint32(v);
    return true;
}

bool toInt(QStringView t, qint32& out) {
    return t.indexOf(u',') < 0 && toIntWithoutFirstComma(t, out);
}

QString withoutFirstComma(QStringView t) {
    const qsizetype k = t.indexOf(u',');
    if (k < 0) return t.toString();
    return t.left(k).toString().append(t.mid(k + 1));
}

QString notInteger(QStringView t) {
    return QStringLiteral("„%1“ není platné celé číslo.").arg(t);
}

bool decimal(int digit) {
    return digit <= 9;
}

} // namespace

QString CasToStr(const TimeRecord& casy, bool ano, int verze, int format) {
    return timeText(casy, ano, verze, format == Tisiciny);
}

QString CasToStrOut(const TimeRecord& casy, bool ano, int verze) {
    return timeText(casy, ano, verze, transferSixth(verze));
}

bool transferDigitsDecimal(const TimeRecord& r, int verze) {
    const bool sixth = transferSixth(verze);
    if (qx::deviceVersion(verze).layout == qx::RecordLayout::ByteCoded) {
        return decimal(r.b[1] >> 4) && decimal(r.b[1] & 0x0F) && decimal(r.b[2] >> 4) &&
               decimal(r.b[2] & 0x0F) && decimal(r.b[3] >> 4) && (!sixth || decimal(r.b[3] & 0x0F));
    }
    return decimal(r.b[0] & 0x0F) && decimal(r.b[1] >> 4) && decimal(r.b[1] & 0x0F) && decimal(r.b[2] >> 4) &&
           decimal(r.b[2] & 0x0F) && (!sixth || decimal(r.b[3]));
}

QString notATime(QStringView transfer) {
    return QStringLiteral("„%1“ není platný čas.").arg(transfer);
}

QString attackEntryText(const TimeRecord& target, const TimeRecord& result, int verze, int format,
                        bool transfer) {
    const bool sixth = transfer ? transferSixth(verze) : format == Tisiciny;
    QString s;
    s.reserve(32);
    appendTime(s, target, false, verze, sixth);
    s += Decode_Terc(targetCode(target, verze));
    s += QLatin1Char(' ');
    appendTime(s, result, false, verze, sixth);
    return s;
}

PrevedResult preved_cas(QStringView cas) {
    PrevedResult r;
    const qsizetype sp = cas.indexOf(u' ');
    const QStringView head = sp < 0 ? QStringView() : cas.left(sp);
    const QStringView tail = sp < 0 ? cas : cas.mid(sp + 1);
    auto failed = [&](QString bad) {
        r.ok = false;
        r.error = notInteger(bad);
        return r;
    };
    qint32 v = 0;
    if (head.size() < 2) {
        if (!toInt(head, v)) return failed(head.toString());
        r.data_out[0] = qint32(qint64(v) + 5); // one character at most: no overflow
        if (!toIntWithoutFirstComma(tail, v)) return failed(withoutFirstComma(tail));
        r.data_out[1] = v;
        return r;
    }
    const QChar last = head.back();
    r.data_out[0] = last == u'P' ? 1 : 0;
    const QStringView rest = head.chopped(1);
    if (!toIntWithoutFirstComma(rest, v)) return failed(withoutFirstComma(rest));
    r.data_out[1] = v;
    r.data_out[2] = 2;
    if (!toIntWithoutFirstComma(tail, v)) return failed(withoutFirstComma(tail));
    r.data_out[3] = v;
    return r;
}

QString runningTimeText(qint64 ms, int verze, int format) {
    if (ms < 0) ms = 0;
    QString s = QString::number(ms / 1000) + QLatin1Char(',') +
                QStringLiteral("%1").arg(ms % 1000, 3, 10, QLatin1Char('0'));
    if (qx::effectiveFormatIndex(verze, format) == Setiny) s.chop(1);
    return s;
}

int splitUnit(int format) {
    return format == Tisiciny ? 1000 : 100;
}

QString splitTimeText(qint64 q, int format) {
    const int u = splitUnit(format);
    QString sign;
    if (q < 0) {
        sign = QStringLiteral("-");
        q = -q;
    }
    return sign + QString::number(q / u) + QLatin1Char(',') +
           QStringLiteral("%1").arg(q % u, u == 100 ? 2 : 3, 10, QLatin1Char('0'));
}

QString split(const QString& hledej, const QString& zmen, const QString& retezec) {
    if (hledej.size() != 1) return retezec;
    QString out;
    out.reserve(retezec.size());
    for (QChar c : retezec) {
        if (c == hledej[0])
            out += zmen;
        else
            out += c;
    }
    return out;
}

} // namespace stopky
