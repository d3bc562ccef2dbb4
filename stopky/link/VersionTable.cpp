#include "link/VersionTable.h"

#include "display/TimeRecord.h"

namespace stopky {

const std::array<VersionInfo, 9>& versionTable() {
    static const std::array<VersionInfo, 9> t{{
        {454, "RB454", "4,54", 3, 5, 3, false, 1, false, false, 999999, "888,88L 888,88", "888,88", false},
        {456, "RB456", "4,56", 4, 5, 3, false, 1, false, false, 999999, "888,888L 888,888", "888,888", true},
        {457, "RB457", "4,57", 3, 5, 3, false, 1, false, false, 99999, "88,888L 88,888", "88,888", true},
        {458, "RB458", "4,58", 4, 3, 3, true, 1, false, false, 999999, "888,888L 888,888", "888,888", true},
        {462, "RB462", "4,62", 3, 5, 3, false, 1, false, false, 999999, "888,88L 888,88", "888,88", false},
        {463, "RB463", "4,63", 3, 5, 3, false, 1, false, false, 99999, "88,888L 88,888", "88,888", false},
        {466, "RB466", "4,66", 4, 3, 4, true, 1, false, true, 999999, "888,888L 888,888", "888,888", true},
        {467, "RB467", "4,67", 4, 3, 4, true, 2, true, true, 999999, "888,888L 888,888", "888,888", true},
        {468, "RB468", "4,68", 4, 3, 4, true, 1, false, true, 199999, "188,888L 188,888", "188,888", true},
    }};
    return t;
}

const VersionInfo* findVersion(int verze) {
    for (const VersionInfo& v : versionTable())
        if (v.verze == verze) return &v;
    return nullptr;
}

QString lblFormatText(quint8 nast0, const QString& formatU, const QString& formatS) {
    return QStringLiteral("Formát času: ") + ((nast0 & 0x08) ? formatU : formatS);
}

TypSettings nastav_typ(int verze, int format, const QString& prevFormatU, const QString& prevFormatS,
                       quint8 nast0) {
    TypSettings t;
    t.verze = verze;
    t.formatU = prevFormatU;
    t.formatS = prevFormatS;
    if (const VersionInfo* v = findVersion(verze)) {
        t.known = true;
        t.BCas = v->BCas;
        t.pocetB_Uvod = v->pocetB_Uvod;
        t.maxTime = v->maxTime;
        t.formatU = QString::fromUtf8(v->formatU);
        t.formatS = QString::fromUtf8(v->formatS);
        t.formatOffered = v->formatOffered;
        t.lblNCasShown = v->lblNCasShown;
        t.greetingBytes = v->greetingBytes;
        t.settingsFrameBytes = v->settingsFrameBytes;
        t.targetWholeByte = v->targetWholeByte;
    }
    t.format = effectiveFormat(verze, format);
    t.lblFormat = lblFormatText(nast0, t.formatU, t.formatS);
    return t;
}

} // namespace stopky
