#include "link/Settings.h"

#include "device/DeviceVersions.h"
#include "link/VersionTable.h"

namespace stopky {

std::optional<QString> modeText(quint8 nast0) {
    switch (nast0 & 0x0F) {
    case 1:
        return QStringLiteral("Jedna dráha");
    case 2:
        return QStringLiteral("Dvě dráhy");
    case 3:
        return QStringLiteral("Tři dráhy");
    case 4:
        return QStringLiteral("Čtyři dráhy");
    case 10:
        return QStringLiteral("Jeden útok");
    case 12:
        return QStringLiteral("Dva útoky");
    default:
        return std::nullopt;
    }
}

std::optional<MeasureMode> modeOf(quint8 nast0) {
    switch (nast0 & 0x0F) {
    case 1:
    case 2:
    case 3:
    case 4:
        return MeasureMode::Lanes;
    case 10:
        return MeasureMode::OneAttack;
    case 12:
        return MeasureMode::TwoAttacks;
    default:
        return std::nullopt;
    }
}

SettingsOutcome Nastav_uPC(const Nast& nast, int verze, const QString& formatU, const QString& formatS) {
    SettingsOutcome o;
    o.nast = nast;
    o.verze = verze;
    const qx::DeviceVersion& v = qx::deviceVersion(verze);
    o.lblNCasVisible = v.lblNCasShown;
    if (o.lblNCasVisible) {
        if (nast[2] == 0xAE)
            o.lblNCas = QStringLiteral("čas: ano");
        else if (nast[2] == 0xAC)
            o.lblNCas = QStringLiteral("čas: ne");
    }
    o.lblDraha = modeText(nast[0]);
    o.mode = modeOf(nast[0]);
    o.n = setSize(nast[0]);
    o.attack = attackBit(nast[0]);
    if (v.prepFromNast1)
        o.pripravaM = (nast[1] >> 4) * 10 + (nast[1] & 0x0F);
    else
        o.pripravaM = (nast[0] & 0x70) >> 4;
    o.pripravaS = (nast[0] & 0x80) ? 30 : 0;
    o.lblPriprava = QString::number(o.pripravaM) + QLatin1Char(':') +
                    (o.pripravaS == 30 ? QStringLiteral("30") : QStringLiteral("00"));
    if (nast[1] == 0xA1)
        o.lblTerce = QStringLiteral("rozepínací");
    else if (nast[1] == 0xA2)
        o.lblTerce = QStringLiteral("spínací");
    o.lblFormat = lblFormatText(nast[0], formatU, formatS);
    return o;
}

Greeting parseGreeting(int verze, QByteArrayView bytes, const Nast& prev) {
    Greeting g;
    g.nast = prev;
    auto at = [&](qsizetype i) -> quint8 { return i < bytes.size() ? quint8(bytes[i]) : quint8(0); };
    const quint8 first = at(0);
    g.nast[0] = at(1);
    g.nast[1] = at(2);
    if (qx::deviceVersion(verze).greetingBytes == 4) {
        if (bytes.size() >= 4) g.nast[2] = at(3);
        g.consumed = int(qMin<qsizetype>(bytes.size(), 4));
    } else {
        g.nast[0] = first;
        g.nast[1] = quint8(g.nast[1] | 0xA0);
        g.consumed = int(qMin<qsizetype>(bytes.size(), 3));
    }
    return g;
}

bool greetingFits(int verze, QByteArrayView bytes) {
    const auto at = [&](qsizetype i) { return quint8(bytes[i]); };
    const auto targetType = [](quint8 b) { return b == 0xA1 || b == 0xA2; };
    if (qx::deviceVersion(verze).greetingBytes == 4) {
        if (bytes.size() > 0 && at(0) != 0x01) return false;
        if (bytes.size() > 2 && verze != 467 && !targetType(at(2))) return false;
        if (bytes.size() > 3 && at(3) != 0xAE && at(3) != 0xAC) return false;
        return true;
    }
    return bytes.size() < 3 || at(2) == 0x01 || at(2) == 0x02 || targetType(at(2));
}

qsizetype resumePoint(QByteArrayView bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (quint8(bytes[i]) == 0xAA || quint8(bytes[i]) == 0x5A) return i;
    }
    return -1;
}

} // namespace stopky
