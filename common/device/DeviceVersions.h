#pragma once

// The one table of timing-device versions, read by both programs.
//
// stopky can be set to nine versions (454 ... 468); zapisnik also knows its own 490. Every fact
// that depends on the version lives in one row here: how stopky reads the device's bytes, what the
// console shows, the unit of the final-time counts stopky sends, and how zapisnik writes, checks
// and stores time texts. Any other number gets the last row, which holds what each reader did for
// a number it does not know: stopky's defaults of the port-choice panel (3-byte times, the greeting
// read at 5 waiting bytes, the code in the high half of byte 1, no format choice, format texts
// kept) and zapisnik's thousandths with at most two whole digits and no version text.

#include <QString>
#include <QtGlobal>

#include <span>

namespace qx {

enum class TimeUnit : int {
    Hundredths = 100,
    Thousandths = 1000,
};

// How the four bytes of a time record are laid out.
//  - ByteCoded: byte 1 is the whole target code; bytes 2..4 hold digits 1..6, two per byte.
//  - NibbleShort, NibbleLong: the high half of byte 1 is the target code, its low half digit 1;
//    bytes 2 and 3 hold digits 2..5; byte 4 as a whole is digit 6. The long form always writes
//    digit 2 (05,67), the short one drops it after a zero digit 1 (5,67).
enum class RecordLayout { ByteCoded, NibbleShort, NibbleLong };

struct DeviceVersion {
    int verze;               // the version number; 0 in the row that serves every other number
    const char* versionText; // zapisnik's status line: "QX 4.54"; "" where it has none

    // stopky's port-choice panel.
    bool stopkyVersion;    // stopky can be set to it (it has a radio button)
    const char* radioName; // "RB454"; "" without a radio button
    const char* caption;   // "4,54"

    // The device's bytes as stopky reads them.
    quint8 BCas;            // data bytes per time frame: 3 or 4
    quint8 pocetB_Uvod;     // waiting bytes at which the greeting is read: 5 or 3
    int greetingBytes;      // bytes the greeting takes: 3, or 4 (with the time-shown byte)
    RecordLayout layout;    // time record layout, and so where the target code lies
    int settingsFrameBytes; // data bytes of a settings frame: 1 or 2
    bool prepFromNast1;     // preparation minutes from nast[1] as two decimal digits
    bool lblNCasShown;      // the console shows the time-shown label

    // What the console shows.
    qint32 maxTime;      // running-clock limit in ms
    const char* formatU; // time-format text of the attack modes; nullptr: the texts stay as they are
    const char* formatS; // time-format text of the lane modes
    bool formatOffered;  // "tisíciny" can be chosen; otherwise the choice is held at "setiny"

    // Units and time texts.
    TimeUnit finalTimeUnit; // unit of the AM_Cas1/AM_Cas2 counts (decimals of stopky's transfer text)
    int textDecimals;       // zapisnik's time texts and stored results: digits after the comma
    int textMaxWholeDigits; // zapisnik's entry check: most digits before the comma

    // Width of a stored result: whole digits filled to three, the comma, the decimals.
    int resultWidth() const { return 4 + textDecimals; }
    // The target code is the whole byte 1 (else its upper four bits).
    bool targetWholeByte() const { return layout == RecordLayout::ByteCoded; }
};

// Every row: 454, 456, 457, 458, 462, 463, 466, 467, 468 (stopky's order of radio buttons), 490,
// and last the row for every other number.
std::span<const DeviceVersion> deviceVersions();

// The row of a version number; the last row for any number that has no row of its own.
const DeviceVersion& deviceVersion(int verze);

// Whether the number has a row of its own (0 has not: it marks the last row).
bool listedVersion(int verze);

// zapisnik's text of a version ("QX 4.66"); empty where the table has none.
QString versionText(int verze);

} // namespace qx
