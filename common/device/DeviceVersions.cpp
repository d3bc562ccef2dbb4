#include "device/DeviceVersions.h"

namespace qx {

namespace {

constexpr TimeUnit H = TimeUnit::Hundredths;
constexpr TimeUnit T = TimeUnit::Thousandths;
constexpr RecordLayout Byte = RecordLayout::ByteCoded;
constexpr RecordLayout Short = RecordLayout::NibbleShort;
constexpr RecordLayout Long = RecordLayout::NibbleLong;

// Notes on the columns that are not plain device facts:
//  - finalTimeUnit: stopky's transfer text has three decimals where the device sends thousandths in
//    a 4-byte frame (456, 458, 466, 467, 468), two where it sends 3-byte frames.
//  - textDecimals: 2 where zapisnik counts hundredths (454, 462, 463, 490), else 3. Version 457
//    delivers hundredths but zapisnik keeps three decimals for it, so its counts are scaled by 10.
//  - textMaxWholeDigits: 2 for the devices whose clock ends at 99,999 s (457, 463), else 3 (467's
//    clock runs to 999,999 s like 466's).
//  - 463 has no version text of its own in zapisnik's status line.
//  - 490 is zapisnik's only: stopky reads it like any other number.
constexpr DeviceVersion kTable[] = {
    // verze, text, stopky, radio, caption,
    //   BCas, pocetB_Uvod, greeting, layout, settings frame, prep from nast[1], lblNCas,
    //   maxTime, formatU, formatS, format offered,
    //   final-time unit, text decimals, whole digits
    {454, "QX 4.54", true, "RB454", "4,54", //
     3, 5, 3, Short, 1, false, false,       //
     999999, "888,88L 888,88", "888,88", false, H, 2, 3},
    {456, "QX 4.56", true, "RB456", "4,56", //
     4, 5, 3, Long, 1, false, false,        //
     999999, "888,888L 888,888", "888,888", true, T, 3, 3},
    {457, "QX 4.57", true, "RB457", "4,57", //
     3, 5, 3, Long, 1, false, false,        //
     99999, "88,888L 88,888", "88,888", true, H, 3, 2},
    {458, "QX 4.58", true, "RB458", "4,58", //
     4, 3, 3, Byte, 1, false, false,        //
     999999, "888,888L 888,888", "888,888", true, T, 3, 3},
    {462, "QX 4.62", true, "RB462", "4,62", //
     3, 5, 3, Short, 1, false, false,       //
     999999, "888,88L 888,88", "888,88", false, H, 2, 3},
    {463, "", true, "RB463", "4,63",  //
     3, 5, 3, Short, 1, false, false, //
     99999, "88,888L 88,888", "88,888", false, H, 2, 2},
    {466, "QX 4.66", true, "RB466", "4,66", //
     4, 3, 4, Byte, 1, false, true,         //
     999999, "888,888L 888,888", "888,888", true, T, 3, 3},
    {467, "QX 4.67", true, "RB467", "4,67", //
     4, 3, 4, Byte, 2, true, true,          //
     999999, "888,888L 888,888", "888,888", true, T, 3, 3},
    {468, "QX 4.68", true, "RB468", "4,68", //
     4, 3, 4, Byte, 1, false, true,         //
     199999, "188,888L 188,888", "188,888", true, T, 3, 3},
    {490, "QX 4.90", false, "", "",   //
     3, 5, 3, Short, 1, false, false, //
     999999, nullptr, nullptr, false, H, 2, 3},
    {0, "", false, "", "",            //
     3, 5, 3, Short, 1, false, false, //
     999999, nullptr, nullptr, false, T, 3, 2},
};

} // namespace

std::span<const DeviceVersion> deviceVersions() {
    return kTable;
}

const DeviceVersion& deviceVersion(int verze) {
    for (const DeviceVersion& row : kTable) {
        if (row.verze == verze && row.verze != 0) return row;
    }
    return kTable[std::size(kTable) - 1];
}

bool listedVersion(int verze) {
    return verze != 0 && deviceVersion(verze).verze == verze;
}

QString versionText(int verze) {
    return QString::fromLatin1(deviceVersion(verze).versionText);
}

} // namespace qx
