#include "link/linkhealth.h"

namespace stopky {

namespace {

QString age(qint64 ms) {
    const qint64 s = ms / 1000;
    if (s < 60) return QStringLiteral("%1 s").arg(s);
    if (s < 3600) return QStringLiteral("%1 min %2 s").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1 h %2 min").arg(s / 3600).arg(s % 3600 / 60, 2, 10, QLatin1Char('0'));
}

} // namespace

QString healthText(PortHealth state, qint64 msSinceByte) {
    switch (state) {
    case PortHealth::NoPort:
        return QStringLiteral("Port nevybrán");
    case PortHealth::Waiting:
        return QStringLiteral("Čeká se na časomíru");
    case PortHealth::NoAnswer:
        return QStringLiteral("Časomíra neodpovídá");
    case PortHealth::Connected:
        if (msSinceByte < 0) return QStringLiteral("Připojeno, zatím bez dat");
        return QStringLiteral("Připojeno, poslední bajt před ") + age(msSinceByte);
    case PortHealth::Lost:
        return QStringLiteral("Port odpojen, čeká se na návrat");
    }
    return {};
}

} // namespace stopky
