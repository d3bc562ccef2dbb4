#include "link/ResultSet.h"

#include "display/TimeText.h"

#include <initializer_list>

namespace stopky {

namespace {

const TimeRecord& slot(const TimeSlots& casy, int i) {
    return casy[size_t(i - 1)];
}

// One list entry of the records `times` (one lane time, or an attack's target and final time).
ResultEntry makeEntry(QString text, QString transfer, bool attack,
                      std::initializer_list<const TimeRecord*> times, int verze) {
    ResultEntry e;
    e.text = std::move(text);
    e.transfer = std::move(transfer);
    for (const TimeRecord* t : times) {
        if (!transferDigitsDecimal(*t, verze)) {
            e.ok = false;
            e.error = notATime(e.transfer);
            return e;
        }
    }
    const PrevedResult p = preved_cas(e.transfer);
    if (!p.ok) {
        e.ok = false;
        e.error = p.error;
        return e;
    }
    e.messages.push_back({AM_Cas1, p.data_out[0], p.data_out[1]});
    if (attack) e.messages.push_back({AM_Cas2, p.data_out[2], p.data_out[3]});
    return e;
}

// The two-attack scan: shows the final times and finds the slots of both attacks.
struct Scan {
    int a1t = 0, a1 = 0, a2t = 0, a2 = 0;
};

Scan scanTwoAttacks(const TimeSlots& casy, int verze, int format, ResultSetOutcome& o) {
    Scan s;
    bool shown = false;
    for (int i = 1; i <= 4; ++i) {
        const quint8 code = targetCode(slot(casy, i), verze);
        switch (code) {
        case 0:
        case 1:
            s.a1t = i;
            break;
        case 2:
            s.a1 = i;
            break;
        case 3:
        case 4:
            s.a2t = i;
            break;
        case 5:
            s.a2 = i;
            break;
        default:
            break;
        }
        if (code == 2 || code == 5) {
            if (!shown)
                o.lblCas = CasToStr(slot(casy, i), false, verze, format);
            else
                o.lblCasD = CasToStr(slot(casy, i), true, verze, format);
            shown = true;
        }
    }
    return s;
}

void laneLines(const TimeSlots& casy, int n, int verze, int format, ResultSetOutcome& o) {
    o.lblCas = CasToStr(slot(casy, n), false, verze, format);
    o.lblCasD = n > 1 ? CasToStr(slot(casy, n - 1), true, verze, format) : QString();
    o.pcas = quint8(n - 1);
    o.startRotation = n - 1 > 1;
}

} // namespace

QString attackText(const TimeSlots& casy, int t, int r, int verze, int format) {
    return attackEntryText(slot(casy, t), slot(casy, r), verze, format, false);
}

QString attackTransfer(const TimeSlots& casy, int t, int r, int verze) {
    return attackEntryText(slot(casy, t), slot(casy, r), verze, Setiny, true);
}

ResultSetOutcome completeSet(const TimeSlots& casy, quint8 nast0, MeasureMode mode, int verze, int format) {
    ResultSetOutcome o;
    const int n = setSize(nast0);
    if (!attackBit(nast0)) {
        if (!validSetSize(n)) return o;
        laneLines(casy, n, verze, format, o);
        o.entries.reserve(size_t(n));
        for (int i = 1; i <= n; ++i)
            o.entries.push_back(makeEntry(CasToStr(slot(casy, i), true, verze, format),
                                          CasToStrOut(slot(casy, i), true, verze), false, {&slot(casy, i)},
                                          verze));
        return o;
    }
    if (mode == MeasureMode::TwoAttacks) {
        const Scan s = scanTwoAttacks(casy, verze, format, o);
        if (s.a1t && s.a1)
            o.entries.push_back(makeEntry(attackText(casy, s.a1t, s.a1, verze, format),
                                          attackTransfer(casy, s.a1t, s.a1, verze), true,
                                          {&slot(casy, s.a1t), &slot(casy, s.a1)}, verze));
        if (s.a2t && s.a2)
            o.entries.push_back(makeEntry(attackText(casy, s.a2t, s.a2, verze, format),
                                          attackTransfer(casy, s.a2t, s.a2, verze), true,
                                          {&slot(casy, s.a2t), &slot(casy, s.a2)}, verze));
    } else if (mode == MeasureMode::OneAttack) {
        o.lblCas = CasToStr(slot(casy, 2), false, verze, format);
        o.lblCasD = CasToStr(slot(casy, 1), true, verze, format);
        o.entries.push_back(makeEntry(attackText(casy, 1, 2, verze, format),
                                      attackTransfer(casy, 1, 2, verze), true,
                                      {&slot(casy, 1), &slot(casy, 2)}, verze));
    }
    return o;
}

ResultSetOutcome recallSet(const TimeSlots& casy, quint8 nast0, MeasureMode mode, int verze, int format) {
    ResultSetOutcome o;
    if (mode == MeasureMode::TwoAttacks) {
        scanTwoAttacks(casy, verze, format, o);
        return o;
    }
    const int n = setSize(nast0);
    if (!validSetSize(n)) return o;
    laneLines(casy, n, verze, format, o);
    return o;
}

std::optional<quint8> rotationStep(quint8 pcas, int n) {
    int p = int(pcas) - 1;
    if (p == 0) p = n - 1;
    if (p < 1 || p > 4) return std::nullopt;
    return quint8(p);
}

} // namespace stopky
