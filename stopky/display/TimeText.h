#pragma once

// Text forms of times: the display text and transfer text of a time record, the target text, the
// message values made from a transfer text, the running-clock text, the split-time text, and the
// one-character replacement used for the clipboard.
//
// All functions are pure: the device version `verze` and the format choice (`Format`, the item
// index of `CBFormat`) are plain arguments. Nothing here throws.

#include "display/TimeRecord.h"

#include <QString>
#include <QStringView>

#include <array>

namespace stopky {

// Text of a target code, from the table both programs share (qx::targetCodeText): 0,3 "L"; 1,4 "P";
// 2,6 "1"; 5,7 "2"; 8 "3"; 9 "4"; anything else "".
QString Decode_Terc(quint8 typ);

// Display text of a record (console time lines, times list). With `ano` it starts with the target
// text and one blank. `format` is the format in force (qx::effectiveFormatIndex); with Tisiciny the
// sixth digit is written.
//   466, 01 01 23 45: "P 12,34" (Setiny), "P 12,345" (Tisiciny)
//   456, 00 05 67 08: "L 05,67" / "L 05,678";  454, 80 05 67 00: "3 5,67"
QString CasToStr(const TimeRecord& casy, bool ano, int verze, int format);

// Transfer text of a record: as CasToStr, but the number of decimals is fixed by the version: three
// where the device sends thousandths in 4-byte frames (finalTimeUnit of the table of device
// versions), else two (also for a number that is not one of the versions).
QString CasToStrOut(const TimeRecord& casy, bool ano, int verze);

// Whether every digit the transfer text of a record writes is a decimal digit 0..9. Line noise can
// put a half byte above 9 into a record (or a byte 4 above 9 where a nibble record has it as one
// digit); its texts then write the value as two digits, which reads as another, believable time
// ("ba 06 01 2f 45" as 12,1545). Such a time must not be handed over. Byte 4 of a 3-byte device is
// not part of the time and is not looked at.
bool transferDigitsDecimal(const TimeRecord& casy, int verze);

// The operator's message for a time whose digits are not all decimal: "„1 12,1545“ není platný čas."
QString notATime(QStringView transfer);

// The text of an attack: the target time without prefix, directly followed by the target's text, a
// blank and the final time without prefix ("12,34L 13,45"). With `transfer` both times are transfer
// texts (`format` is then not used), else display texts in `format`.
QString attackEntryText(const TimeRecord& target, const TimeRecord& result, int verze, int format,
                        bool transfer);

// The four message values made from a transfer text (or a joined attack text).
struct PrevedResult {
    bool ok = true;
    // data_out[0..3]. On failure it holds what the steps before the failing one had set.
    std::array<qint32, 4> data_out{};
    // On failure: the operator's message, e.g. "„L“ není platné celé číslo." (empty when ok).
    QString error;
};

// preved_cas: split `cas` at its first blank into head and tail (no blank: empty head, tail = the
// whole text).
//  - head shorter than 2 characters (a lane text): data_out = {head + 5, tail without its first
//    comma, 0, 0}; "2 105,67" -> 7, 10567, 0, 0.
//  - otherwise (an attack text "12,345L 13,456"): data_out[0] = 0 for a last head character "L",
//    1 for "P", 0 for any other; that character is dropped; data_out[1] = the rest without its
//    first comma; data_out[2] = 2; data_out[3] = the tail without its first comma
//    -> 0, 12345, 2, 13456.
// A part that is not a decimal integer (optional sign, digits, within 32 bits) fails: ok = false.
PrevedResult preved_cas(QStringView cas);

// Running-clock text of `ms` elapsed whole milliseconds (0 or more): "5,042", "0,000"; the last
// digit is cut off (never rounded) unless "tisíciny" is in force (chosen, and offered by the
// version): "5,04". Negative input is treated as 0.
QString runningTimeText(qint64 ms, int verze, int format);

// Unit of a split count: 100 for Setiny, 1000 for Tisiciny.
int splitUnit(int format);

// Split-time text of a count `q` of 1/U s, U = splitUnit(format): q div U, ",", q mod U with two
// (U = 100) or three (U = 1000) digits: 1205 -> "12,05", 12005 -> "12,005", 7 -> "0,07"/"0,007".
// A negative count (possible for a difference of splits after a wall-clock change) is written as
// "-" and the text of its magnitude.
QString splitTimeText(qint64 q, int format);

// Every character of `retezec` that equals the whole text `hledej` is replaced by `zmen`; a
// `hledej` that is not exactly one character never matches. split(" ", "\t", "12,34L 13,45")
// gives "12,34L\t13,45".
QString split(const QString& hledej, const QString& zmen, const QString& retezec);

} // namespace stopky
