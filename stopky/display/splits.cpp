#include "splits.h"

#include "display/TimeText.h"

namespace stopky {

std::int64_t SplitTimes::roundToUnit(std::int64_t elapsedMs, int unit) {
    if (elapsedMs < 0) elapsedMs = 0;
    const std::int64_t den = 1000;
    const std::int64_t num = elapsedMs * unit;
    std::int64_t q = num / den;
    const std::int64_t rest = num % den;
    if (rest * 2 > den || (rest * 2 == den && (q % 2) != 0)) ++q;
    return q;
}

void SplitTimes::take(int i, const QString& name, std::int64_t count, int format) {
    RowState& r = m_rows[static_cast<std::size_t>(i)];
    r.name = name;
    r.count = count;
    r.time = splitTimeText(count, format);
}

SplitTimes::Outcome SplitTimes::mezicas(std::int64_t elapsedMs, int format,
                                        const std::array<QString, 4>& names) {
    Outcome out;
    if (m_rows[MR].taken()) return out;

    const std::int64_t q = roundToUnit(elapsedMs, splitUnit(format));
    for (int i : {M0, M1}) {
        if (!m_rows[static_cast<std::size_t>(i)].taken()) {
            take(i, names[static_cast<std::size_t>(i)], q, format);
            out.rows = {i};
            out.messages = {{i + 1, q}};
            return out;
        }
    }
    if (!m_rows[M2].taken()) {
        take(M2, names[M2], q, format);
        const std::int64_t d = q - m_rows[M1].count;
        take(MR, names[MR], d, format);
        out.rows = {M2, MR};
        out.messages = {{3, q}, {4, d}};
    }
    return out;
}

void SplitTimes::clear() {
    m_rows = {};
}

QString SplitTimes::consoleText(int i) const {
    const RowState& r = row(i);
    return r.name + QStringLiteral(": ") + r.time;
}

} // namespace stopky
