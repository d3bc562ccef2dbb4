#pragma once

#include <QList>
#include <QString>

#include <array>
#include <cstdint>

namespace stopky {

// The split times of a run (`mezicas`): rows M0, M1, M2 and MR, filled in this order while the
// running clock runs. A row is taken when its time text is not empty; the rows stay taken until
// `clear` (the device's reset byte), so a second run without a reset continues after the rows the
// previous run took.
//
// The class is pure: the caller passes the elapsed time (from the monotonic run clock), the format
// choice and the four row names as they stand in the console's edit boxes at that moment, and
// shows and sends what comes back.
class SplitTimes {
public:
    enum Row { M0 = 0, M1 = 1, M2 = 2, MR = 3 };

    struct RowState {
        QString name;           // LED name label `lblM0`..`lblMR`: the edit box text when taken
        QString time;           // LED time label `lblCas0`..`lblCas3`: the split-time text
        std::int64_t count = 0; // the split count in units (the label's tag); MR: the difference
        bool taken() const { return !time.isEmpty(); }
    };

    // One `AM_Mezi` message: the row's number (1 = M0, 2 = M1, 3 = M2, 4 = MR) and its count.
    struct AmMezi {
        int row = 0;
        std::int64_t value = 0;
        bool operator==(const AmMezi&) const = default;
    };

    struct Outcome {
        QList<int> rows;        // the rows taken by this press (empty: nothing taken)
        QList<AmMezi> messages; // `AM_Mezi` values, in the order they are sent
    };

    // Count of whole units U (100 for hundredths, 1000 for thousandths) in `elapsedMs`
    // milliseconds, rounded to the nearest unit, a value exactly halfway going to the even one.
    static std::int64_t roundToUnit(std::int64_t elapsedMs, int unit);

    // One press of the space bar while the clock runs. `format` is the format choice in force
    // (0 "setiny", 1 "tisíciny"), read afresh at every split; `names` the texts of `edtM0`,
    // `edtM1`, `edtM2`, `edtMR`. Takes the next free row; M2 takes MR with it (MR = M2 - M1).
    // With MR taken it takes nothing.
    Outcome mezicas(std::int64_t elapsedMs, int format, const std::array<QString, 4>& names);

    // The device's reset byte: all rows empty.
    void clear();

    const RowState& row(int i) const { return m_rows[static_cast<std::size_t>(i)]; }
    // The console's result label (`lblM0C`..`lblMRC`): name, ": ", time; shown only when taken.
    QString consoleText(int i) const;

private:
    void take(int i, const QString& name, std::int64_t count, int format);

    std::array<RowState, 4> m_rows;
};

} // namespace stopky
