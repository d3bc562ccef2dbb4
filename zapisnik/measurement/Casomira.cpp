#include "Casomira.h"

#include "device/DeviceVersions.h"

namespace qx {

QString modeText(int nast) {
    switch (nast) {
    case 1:
        return QStringLiteral("jedna dráha");
    case 2:
        return QStringLiteral("dvě dráhy");
    case 3:
        return QStringLiteral("tři dráhy");
    case 4:
        return QStringLiteral("čtyři dráhy");
    case 10:
        return QStringLiteral("jeden útok");
    case 12:
        return QStringLiteral("dva útoky");
    default:
        return QString();
    }
}

QString casomiraNepripojena() {
    return QStringLiteral("Časomíra není připojena. Disciplínu vyberte na záložce Nastavení!");
}

CasomiraStav amNast(int verze, int nastByte, uint8_t nast) {
    CasomiraStav s;
    const QString verzeText = versionText(verze);
    // A number the table does not know is shown as it came (a known version without a text, 463,
    // keeps the empty text).
    s.lbl_casomira =
        QStringLiteral("Verze časomíry - ") + (listedVersion(verze) ? verzeText : QString::number(verze));
    s.nast = nast;
    if (verzeText == QStringLiteral("QX 4.90")) {
        s.disciplinaEnabled = true;
    } else {
        const int mode = nastByte & 15;
        if (!modeText(mode).isEmpty()) {
            s.nast = uint8_t(mode);
            s.lbl_casomira += QStringLiteral(", ") + modeText(mode);
        }
        // Byte 0: no device answer (not yet, or the console lost its port); the mode stays.
        if (nastByte == 0) s.lbl_casomira += QStringLiteral(", Časomíra odpojena");
        s.disciplinaEnabled = false;
    }
    s.splitRowShown = s.nast == 10;
    return s;
}

} // namespace qx
