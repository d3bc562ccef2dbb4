#pragma once

// What the console does with a completed result set and with the recall byte: the texts of the two
// time lines, the times-list entries, the values handed to zapisnik, and the rotation of the
// second time line. Pure functions of the slots, the settings byte, the mode, the version and the
// format; the console applies the outcome.

#include "display/TimeRecord.h"
#include "link/Settings.h"
#include "messages/Messages.h"

#include <QString>
#include <QtGlobal>

#include <array>

#include <optional>
#include <vector>

namespace stopky {

// Numbers of the messages between the programs: one table for both programs.
using qx::AM_Cas1;
using qx::AM_Cas2;
using qx::AM_Form;
using qx::AM_Mezi;
using qx::AM_Nast;
using qx::AM_Text;

// One message to zapisnik: number, WParam, LParam.
struct AmSend {
    quint32 msg = 0;
    qint32 wParam = 0;
    qint32 lParam = 0;
    friend bool operator==(const AmSend&, const AmSend&) = default;
};

// One entry of the times list (CBCas) and the messages that hand it over, in sending order:
// a lane time gives AM_Cas1 (lane + 5, time); an attack gives AM_Cas1 (0 "L" / 1 "P", target time)
// then AM_Cas2 (2, final time).
struct ResultEntry {
    QString text;                 // the list entry, e.g. "1 12,34" or "12,34L 13,45"
    QString transfer;             // the transfer text the values are made from
    std::vector<AmSend> messages; // empty when the transfer text could not be converted
    bool ok = true;
    QString error; // the conversion error for the operator when !ok
};

// Slots 1..4 of a result set; slot i is casy[i - 1].
using TimeSlots = std::array<TimeRecord, 4>;

// What to do for a completed set or a recall. nullopt: leave the line as it is.
struct ResultSetOutcome {
    std::optional<QString> lblCas;    // first time line
    std::optional<QString> lblCasD;   // second time line ("" empties it)
    std::vector<ResultEntry> entries; // append in order; send each entry's messages right after
                                      // adding it (when zapisnik is found). Empty for a recall.
    std::optional<quint8> pcas;       // new slot number of the rotation, when it is set
    bool startRotation = false;       // start tmrPrep (2000 ms) when not running
    bool hasErrors() const {
        for (const ResultEntry& e : entries)
            if (!e.ok) return true;
        return false;
    }
};

// A completed set (the last step of the decoder's end of set).
//  - attack bit of nast0 clear (lanes, whatever the mode): lblCas = slot n without prefix; lblCasD =
//    slot n-1 with prefix, or "" for n = 1; one entry per slot 1..n; pcas = n-1; rotation when
//    n-1 > 1.
//  - attack bit set, mode TwoAttacks: slots 1..4 are scanned by target code; the first final time
//    (code 2 or 5) in slot order goes to lblCas, a later one to lblCasD (with prefix); entries for
//    attack 1 (codes 0/1 + 2), then attack 2 (codes 3/4 + 5). An attack whose target or final time
//    is missing gives no entry.
//  - attack bit set, mode OneAttack: slots 1 and 2 by position: lblCas = slot 2, lblCasD = slot 1
//    with prefix, one attack entry (1, 2).
//  - attack bit set, any other mode: nothing.
// A transfer text that cannot be converted, or a time whose digits are not all decimal (line noise,
// transferDigitsDecimal), makes an entry with ok = false and no messages; the other entries and the
// rotation are unaffected. With n outside 1..4 in the lane case nothing is
// shown or listed.
ResultSetOutcome completeSet(const TimeSlots& casy, quint8 nast0, MeasureMode mode, int verze, int format);

// The recall byte 0xA5: TwoAttacks shows the two final times as above; any other mode shows slot n
// on the first line, slot n-1 (with prefix, or "" when n = 1) on the second, sets pcas = n-1 and
// starts the rotation when n-1 > 1. Nothing is listed or sent. Nothing at all for n outside 1..4
// (outside the TwoAttacks case).
ResultSetOutcome recallSet(const TimeSlots& casy, quint8 nast0, MeasureMode mode, int verze, int format);

// The attack entry texts for target slot t and final slot r (1-based): display and transfer.
QString attackText(const TimeSlots& casy, int t, int r, int verze, int format);
QString attackTransfer(const TimeSlots& casy, int t, int r, int verze);

// One tick of the rotation (tmrPrep): pcas - 1, and n - 1 when that reaches 0. nullopt when the
// resulting slot number is not in 1..4 (a set size changed to 1 or to a value outside 1..4 while
// rotating): then nothing is shown and the rotation should stop.
std::optional<quint8> rotationStep(quint8 pcas, int n);

} // namespace stopky
