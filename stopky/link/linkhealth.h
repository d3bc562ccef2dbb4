#pragma once

// The console's line about the device link: the port's state and how long ago the device's last
// byte came, so the operator sees at once whether the device is still heard.

#include <QString>
#include <QtGlobal>

namespace stopky {

enum class PortHealth {
    NoPort,    // no port chosen, or it could not be opened
    Waiting,   // port open, the greeting awaited
    NoAnswer,  // port open, the device did not answer
    Connected, // the device is heard
    Lost,      // the port disappeared; it is reopened when it comes back
};

// The line's text (Czech): the port's state, and for a connected device the age of its last byte
// (`msSinceByte`; negative: nothing came since the greeting).
//   NoPort     "Port nevybrán"
//   Waiting    "Čeká se na časomíru"
//   NoAnswer   "Časomíra neodpovídá"
//   Connected  "Připojeno, poslední bajt před 12 s" / "před 3 min 05 s" / "před 1 h 02 min",
//              "Připojeno, zatím bez dat"
//   Lost       "Port odpojen, čeká se na návrat"
QString healthText(PortHealth state, qint64 msSinceByte);

} // namespace stopky
