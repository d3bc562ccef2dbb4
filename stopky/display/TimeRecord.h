#pragma once

// The time record: one stopped time as the timing device sends it, and the device-version
// groups that decide how its bytes are read.

#include <QtGlobal>

#include <array>

namespace stopky {

// Format choice of the console (item index of `CBFormat`).
enum Format : int {
    Setiny = 0,   // "setiny": hundredths
    Tisiciny = 1, // "tisíciny": thousandths
};

// How a device version lays out a time record.
//  - ByteCoded (458, 466, 467, 468): byte 1 is the whole target code; bytes 2..4 hold digits
//    1..6, two per byte (high half first).
//  - NibbleShort (454, 462, 463) and NibbleLong (456, 457): the high half of byte 1 is the target
//    code, its low half digit 1; bytes 2 and 3 hold digits 2..5; byte 4 as a whole is digit 6.
// Any number that is not one of the nine versions is read like the short nibble group (the target
// code in the high half, no forced digit 2, no third decimal in the transfer text); the console
// can only end up there with an unknown "Typ" in qx.ini.
enum class VersionGroup { ByteCoded, NibbleShort, NibbleLong };

VersionGroup versionGroup(int verze);

// True for 454, 456, 457, 458, 462, 463, 466, 467, 468.
bool isKnownVersion(int verze);

// True where the console offers the choice between "setiny" and "tisíciny" (456, 457, 458, 466,
// 467, 468). Elsewhere the choice is hidden and held at "setiny".
bool formatOffered(int verze);

// The format that is actually in force: `format` where offered, else Setiny.
int effectiveFormat(int verze, int format);

// One time record. `b[0]` is byte 1 (the first byte received), `b[3]` byte 4. Devices that send
// 3-byte times (454, 457, 462, 463) never write b[3]; it keeps its previous content.
struct TimeRecord {
    std::array<quint8, 4> b{};

    // The record as one 32-bit word: byte 1 is the least significant byte.
    quint32 word() const {
        return quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16) | (quint32(b[3]) << 24);
    }
    static TimeRecord fromWord(quint32 w) {
        return TimeRecord{{quint8(w), quint8(w >> 8), quint8(w >> 16), quint8(w >> 24)}};
    }
    // Bytes in reception order: fromBytes(0x01, 0x01, 0x23, 0x45) is byte 1 = 0x01 ... byte 4 = 0x45.
    static TimeRecord fromBytes(quint8 b1, quint8 b2, quint8 b3, quint8 b4) {
        return TimeRecord{{b1, b2, b3, b4}};
    }

    friend bool operator==(const TimeRecord&, const TimeRecord&) = default;
};

// The target code of a record: byte 1 for byte-coded versions, else the high half of byte 1.
quint8 targetCode(const TimeRecord& rec, int verze);

} // namespace stopky
