#include "runclock.h"

#include <QElapsedTimer>

#include <memory>

namespace stopky {

RunClock::RunClock(MonotonicMs monotonic, LocalNow localNow)
    : m_monotonic(std::move(monotonic)), m_localNow(std::move(localNow)) {
    if (!m_monotonic) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        m_monotonic = [timer] { return static_cast<std::int64_t>(timer->elapsed()); };
    }
    if (!m_localNow) m_localNow = [] { return QDateTime::currentDateTime(); };
}

void RunClock::start() {
    m_startMs = m_monotonic();
    m_startQX = m_localNow();
    m_running = true;
}

std::int64_t RunClock::elapsedMs() const {
    const std::int64_t d = m_monotonic() - m_startMs;
    return d < 0 ? 0 : d;
}

RunClock::Frame RunClock::frame() {
    Frame f;
    f.ms = elapsedMs();
    if (m_running && f.ms > m_maxTime) {
        m_running = false;
        f.ms = m_maxTime;
        f.limitReached = true;
    }
    return f;
}

} // namespace stopky
