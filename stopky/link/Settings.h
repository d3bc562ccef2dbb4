#pragma once

// The device's settings bytes and what the console shows from them (`Nastav_uPC`, `Nastaveni`),
// and the reading of the device's greeting.

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

namespace stopky {

// nast[0] settings byte, nast[1] second settings byte, nast[2] time-shown byte.
using Nast = std::array<quint8, 3>;

// The measurement mode as the decoder and the result sets distinguish it. It follows the mode
// text of `lblDraha`: Lanes for "Jedna dráha" ... "Čtyři dráhy", OneAttack for "Jeden útok",
// TwoAttacks for "Dva útoky". None is the state before the first settings (the window's initial
// caption "jeden útok" matches neither attack text): status bytes are shown as lanes and an
// attack set shows nothing.
enum class MeasureMode { None, Lanes, OneAttack, TwoAttacks };

// Set size n: nast[0] & 7. Values outside 1..4 are possible; the decoder then stores no times.
inline int setSize(quint8 nast0) {
    return nast0 & 0x07;
}
inline bool attackBit(quint8 nast0) {
    return (nast0 & 0x08) != 0;
}
inline bool validSetSize(int n) {
    return n >= 1 && n <= 4;
}

// The mode text of nast[0] & 0x0F: 1 "Jedna dráha", 2 "Dvě dráhy", 3 "Tři dráhy",
// 4 "Čtyři dráhy", 10 "Jeden útok", 12 "Dva útoky"; any other value: nullopt (text unchanged).
std::optional<QString> modeText(quint8 nast0);
// The mode that goes with modeText(nast0); nullopt when the text stays unchanged.
std::optional<MeasureMode> modeOf(quint8 nast0);

// Everything Nastav_uPC (and the Nastaveni it ends with) derives from the settings bytes.
// nullopt means "leave the label as it is".
struct SettingsOutcome {
    Nast nast{};
    int verze = 0;
    bool lblNCasVisible = false;     // shown where the version's row says so, hidden otherwise
    std::optional<QString> lblNCas;  // "čas: ano" (0xAE) / "čas: ne" (0xAC), only where shown
    std::optional<QString> lblDraha; // mode text
    std::optional<MeasureMode> mode; // the mode that goes with lblDraha
    int n = 0;                       // set size, nast[0] & 7
    bool attack = false;             // attack bit
    qint32 pripravaM = 0;            // preparation minutes
    qint32 pripravaS = 0;            // 30 or 0
    QString lblPriprava;             // "5:00", "2:30", "12:30"
    std::optional<QString> lblTerce; // "rozepínací" (0xA1) / "spínací" (0xA2)
    QString lblFormat;               // "Formát času: " + formatU or formatS
    // The console also: sends AM_Nast (WParam verze, LParam nast[0]) when zapisnik is found, and
    // (Nastaveni) empties lblCas and lblCasD.
};

// Nastav_uPC with the settings bytes, the version, and the current format texts of nastav_typ.
SettingsOutcome Nastav_uPC(const Nast& nast, int verze, const QString& formatU, const QString& formatS);

// The greeting: how many bytes are read of it and how they become nast.
struct Greeting {
    Nast nast{};
    int consumed = 0; // bytes of the input taken by the greeting; the rest go to the decoder
};

// Reads the greeting from the bytes that have arrived (`bytes`, oldest first; the console reads it
// once pocetB_Uvod bytes are waiting, or for a 4-byte greeting also when the fourth byte did not
// arrive in time). `prev` is the current nast: what the greeting does not write keeps its value.
//  - versions with a 4-byte greeting (greetingBytes of the table of device versions): byte 1
//    dropped, byte 2 -> nast[0], byte 3 -> nast[1], byte 4 -> nast[2] (when present; otherwise
//    nast[2] keeps its value). Consumes up to 4 bytes.
//  - all other versions: byte 1 -> nast[0], byte 2 dropped, byte 3 | 0xA0 -> nast[1]; nast[2]
//    unchanged. Consumes 3 bytes; the bytes after them are ordinary decoder input.
// With fewer bytes than the three always read, the missing ones count as 0 (the console never
// calls it so).
Greeting parseGreeting(int verze, QByteArrayView bytes, const Nast& prev);

// Whether the bytes that came first after the port was opened (`bytes`, oldest first, as many as
// have arrived) can be the device's greeting for `verze`. Only the fixed bytes are checked, and
// only those present:
//  - 466 and 468: 01, the settings byte, the target type A1/A2, the time-shown byte AE/AC;
//  - 467: 01, the settings byte, the preparation minutes, the time-shown byte AE/AC;
//  - all other versions: the settings byte, one byte not read, the target type 01/02 (or A1/A2).
// A device that was not switched off while the console restarted sends time frames and the like
// instead: those do not fit (a time frame's BA or a reset's AA in place of the leading 01, a
// time digit in place of the target type) and must not be read as settings.
bool greetingFits(int verze, QByteArrayView bytes);

// Where decoding can safely start in a stream joined at an unknown point: the first reset byte
// (AA) or settings frame (5A). -1 when the bytes hold neither.
qsizetype resumePoint(QByteArrayView bytes);

} // namespace stopky
