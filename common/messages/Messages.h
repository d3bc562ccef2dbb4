#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

// The messages that stopky and zapisnik exchange, and the names under which the two programs
// can be found. Both programs include this header; nothing else defines these numbers.
namespace qx {

// Message numbers (user-message range, 0x400 + offset).
inline constexpr quint32 AM_Nast = 0x5D2; // 1490: version and settings byte; (0, 0) asks for them
// AM_Nast's settings value while the console has lost the device's port (no settings byte is
// negative): zapisnik's status line says the timer is unplugged.
inline constexpr qint32 kPortOdpojen = -1;
inline constexpr quint32 AM_Cas1 = 0x5D3; // 1491: lane time, or the first half of an attack pair
inline constexpr quint32 AM_Cas2 = 0x5D4; // 1492: final time of an attack pair
inline constexpr quint32 AM_Text = 0x5D5; // 1493: "actual.txt" has been rewritten
inline constexpr quint32 AM_Form = 0x5D6; // 1494: version and format index; (0, 0) asks for them
inline constexpr quint32 AM_Mezi = 0x5D7; // 1495: split time; (0, 0) clears the splits

// Names of the main windows; each program listens on the channel under its own name.
inline const QString StopkyName = QStringLiteral("TfrmCas");
inline const QString ZapisnikName = QStringLiteral("TfrmQX");

// "AM_Nast" ... "AM_Mezi" for the six numbers, the decimal number for any other.
QString messageName(quint32 message);

// Inverse of messageName: accepts "AM_Nast" etc. (any case) or a decimal number.
std::optional<quint32> messageFromName(QStringView name);

} // namespace qx
