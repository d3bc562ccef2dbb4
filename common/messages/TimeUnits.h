#pragma once

#include "device/DeviceVersions.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>

// The time units shared by stopky and zapisnik, read from the table of device versions.
//
// stopky sends counts, not texts: the final times of AM_Cas1/AM_Cas2 in a unit fixed by the
// device version (the number of decimals of its transfer text), the split counts of AM_Mezi in
// the unit of its format choice ("setiny" = 1/100 s, "tisíciny" = 1/1000 s), which it announces
// with AM_Form. zapisnik turns every count into its time text with the decimals its entry check
// requires for the version, converting the unit where the two differ, so no count is ever read
// ten times too small or too large and every received time passes the entry check.
namespace qx {

// A version's row of the table of device versions (DeviceVersions.h).
using VersionUnits = DeviceVersion;

// The row of a version (the row of unlisted numbers for any other value).
const VersionUnits& versionUnits(int verze);

// stopky: the unit of the final-time counts it sends for this version.
TimeUnit finalTimeUnit(int verze);

// stopky: the format index in force for a version; versions that do not offer "tisíciny" are
// held at 0 ("setiny"), and any index but 1 means 0.
int effectiveFormatIndex(int verze, int formatIndex);

// Unit of split counts taken with a format index (0 "setiny", 1 "tisíciny"; other values 0).
// zapisnik passes the index last announced by AM_Form (the index of its CBFormat).
TimeUnit splitUnit(int formatIndex);

// zapisnik: the unit in which its time texts count for a version (its text decimals).
TimeUnit textUnit(int verze);

// A count of the given unit as a time text with 2 or 3 decimals: whole seconds without leading
// zeros ("0" below one second), a comma, the fraction with leading zeros. A coarser count gets
// trailing zeros (hundredths 420 → "4,200"); a finer one is cut, never rounded (thousandths
// 4209 → "4,20"). A negative count gives a leading "-", which no entry check accepts.
QString countToTimeText(qint64 count, TimeUnit unit, int decimals);

// zapisnik: the time text of an AM_Cas1/AM_Cas2 count for its current version.
QString finalTimeText(int verze, qint64 count);

// zapisnik: the time text of an AM_Mezi count for its version and the announced format index.
QString splitTimeText(int verze, int formatIndex, qint64 count);

// zapisnik's valid time text for a version: a comma; before it 1 to textMaxWholeDigits digits,
// after it exactly textDecimals digits.
bool isValidTimeText(int verze, QStringView text);

} // namespace qx
