#pragma once

#include <QDateTime>

#include <cstdint>
#include <functional>

namespace stopky {

// The run's clock: when the start byte arrived and how long ago that was.
//
// The running time and the split counts are measured on a monotonic clock, so a change of the
// system's wall clock during a run (a time synchronisation, a daylight-saving step) cannot move
// them. The local date and time of the start (`StartQX`) is kept only for showing it.
//
// Both clocks are injected so that tests control time without sleeping.
class RunClock {
public:
    using MonotonicMs = std::function<std::int64_t()>; // milliseconds on a clock that never steps
    using LocalNow = std::function<QDateTime()>;       // local wall-clock date and time

    // Empty functions select the real clocks (QElapsedTimer and QDateTime::currentDateTime).
    explicit RunClock(MonotonicMs monotonic = {}, LocalNow localNow = {});

    // The start byte: the count restarts from zero whatever the state.
    void start();
    // End of the run (result set, reset byte, limit, version or format change).
    void stop() { m_running = false; }

    bool running() const { return m_running; } // `t_cas`
    QDateTime startQX() const { return m_startQX; }

    // Highest time the clock may show (`maxTime`, set per device version by the version set-up).
    void setMaxTime(int ms) { m_maxTime = ms; }
    int maxTime() const { return m_maxTime; }

    // Whole milliseconds since the last start (also after a stop: the time of the last run so far).
    std::int64_t elapsedMs() const;

    // One frame of the running clock. While running: the time to show, and the limit check
    // (a time above maxTime stops the clock and shows maxTime; maxTime itself still runs on).
    struct Frame {
        std::int64_t ms = 0;       // the time to show
        bool limitReached = false; // this frame stopped the clock at its limit
    };
    Frame frame();

    std::int64_t nowMs() const { return m_monotonic(); }

private:
    MonotonicMs m_monotonic;
    LocalNow m_localNow;
    bool m_running = false;
    std::int64_t m_startMs = 0;
    QDateTime m_startQX;
    int m_maxTime = 999999;
};

} // namespace stopky
