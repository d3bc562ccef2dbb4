#include "Casomira.h"

#include "device/DeviceVersions.h"
#include "messages/Messages.h"

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
        s.disciplinaEnabled = false;
    }
    s.splitRowShown = s.nast == 10;
    // The console answers before any device has (settings byte 0): until a settings byte with a
    // known mode arrives, the line says that the timer is not connected yet. The console's lost
    // port (kPortOdpojen) says so.
    if (nastByte == kPortOdpojen || modeText(nastByte & 15).isEmpty()) {
        const QString verzeUvedena = s.lbl_casomira.mid(QStringLiteral("Verze časomíry - ").size());
        s.lbl_casomira = nastByte == kPortOdpojen
                             ? QStringLiteral("Časomíra odpojena")
                             : QStringLiteral("Časomíra je spuštěna, zařízení zatím neodpovědělo");
        if (!verzeUvedena.isEmpty()) s.lbl_casomira += QStringLiteral(" (verze %1)").arg(verzeUvedena);
    }
    return s;
}

} // namespace qx
