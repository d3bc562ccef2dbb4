#include "link/VersionTable.h"

#include "messages/TimeUnits.h"

namespace stopky {

QString lblFormatText(quint8 nast0, const QString& formatU, const QString& formatS) {
    return QStringLiteral("Formát času: ") + ((nast0 & 0x08) ? formatU : formatS);
}

TypSettings nastav_typ(int verze, int format, const QString& prevFormatU, const QString& prevFormatS,
                       quint8 nast0) {
    const qx::DeviceVersion& v = qx::deviceVersion(verze);
    TypSettings t;
    t.verze = verze;
    t.known = v.stopkyVersion;
    t.BCas = v.BCas;
    t.pocetB_Uvod = v.pocetB_Uvod;
    t.maxTime = v.maxTime;
    t.formatU = v.formatU ? QString::fromUtf8(v.formatU) : prevFormatU;
    t.formatS = v.formatS ? QString::fromUtf8(v.formatS) : prevFormatS;
    t.formatOffered = v.formatOffered;
    t.lblNCasShown = v.lblNCasShown;
    t.greetingBytes = v.greetingBytes;
    t.settingsFrameBytes = v.settingsFrameBytes;
    t.targetWholeByte = v.targetWholeByte();
    t.format = qx::effectiveFormatIndex(verze, format);
    t.lblFormat = lblFormatText(nast0, t.formatU, t.formatS);
    return t;
}

VersionArgument versionArgument(const QStringList& arguments) {
    VersionArgument a;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (arg == QLatin1String("--version")) {
            a.given = true;
            a.text = i + 1 < arguments.size() ? arguments.at(i + 1) : QString();
            break;
        }
        if (arg.startsWith(QLatin1String("--version="))) {
            a.given = true;
            a.text = arg.mid(10);
            break;
        }
    }
    if (a.text.isEmpty()) return a;
    for (const qx::DeviceVersion& v : qx::deviceVersions()) {
        if (v.stopkyVersion &&
            (a.text == QString::number(v.verze) || a.text == QString::fromLatin1(v.caption))) {
            a.verze = v.verze;
            break;
        }
    }
    return a;
}

} // namespace stopky
