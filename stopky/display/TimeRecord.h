#pragma once

// The time record: one stopped time as the timing device sends it. How its bytes are read
// depends on the device version (qx::RecordLayout in the table of device versions).

#include <QtGlobal>

#include <array>

namespace stopky {

// Format choice of the console (item index of `CBFormat`).
enum Format : int {
    Setiny = 0,   // "setiny": hundredths
    Tisiciny = 1, // "tisíciny": thousandths
};

// One time record. `b[0]` is byte 1 (the first byte received), `b[3]` byte 4. Devices that send
// 3-byte times (BCas 3) never write b[3]; it keeps its previous content.
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

// The target code of a record: byte 1 where the version's layout is byte-coded, else the high half
// of byte 1 (also for a number that is not one of the versions).
quint8 targetCode(const TimeRecord& rec, int verze);

} // namespace stopky
