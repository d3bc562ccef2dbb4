#pragma once

#include "display/runclock.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>

// The frame clock shared by the running clock and the LED window's scrolling line.
//
// It ticks at the display's refresh interval, but only while some user needs frames; with no
// user it runs no timer at all, so an idle program costs nothing. Each tick passes the monotonic
// time of the frame, from which the users compute what to draw (they never count ticks).
class FrameClock : public QObject {
    Q_OBJECT
public:
    using MonotonicMs = std::function<std::int64_t()>;

    // An empty function selects the frame clock's own QElapsedTimer. The interval defaults to the primary
    // screen's refresh interval (16 ms when it is unknown).
    explicit FrameClock(QObject* parent = nullptr, MonotonicMs monotonic = {});

    // A user (any object address) says whether it needs frames; the timer runs while anyone does.
    void setNeeded(const void* user, bool needed);
    // Some user needs frames: the timer is armed (between frames) or a frame is being served.
    bool active() const { return !m_users.isEmpty(); }

    // Frame period in milliseconds; fractions are kept (60 Hz ticks at 16, 17, 17, ... ms).
    void setPeriod(double ms);
    double period() const { return m_period; }
    int interval() const { return static_cast<int>(m_period + 0.5); }

    std::int64_t nowMs() const { return m_monotonic(); }
    // Number of frames ticked so far.
    std::int64_t frames() const { return m_frames; }

    // One frame at the current time (tests call it directly). The timer's frames are stamped with
    // their due time instead (within half a period of the current time).
    void tick();

signals:
    // nowMs: monotonic milliseconds of the frame, with fractions when the frame clock keeps its
    // own clock.
    void frame(double nowMs);

private:
    MonotonicMs m_monotonic;
    bool m_ownClock = false; // m_monotonic reads m_pace: frames are stamped with their due time
    void onTimer();
    void armNext();

    QTimer m_timer;
    QElapsedTimer m_pace; // real time for pacing the timer, whatever clock the frames report
    double m_period = 1000.0 / 60.0;
    double m_next = 0; // pacing time of the next frame
    QSet<const void*> m_users;
    std::int64_t m_frames = 0;
};

// The running clock, drawn over the console's time label (`DXCas1`): the time since the start
// byte in red Arial bold 34 pt on black, roughly right-aligned by the rule
// x = 25 * (9 - number of characters) + 14. It asks for frames only while the clock runs.
class ClockWidget : public QWidget {
    Q_OBJECT
public:
    // `clock` may be null: the widget then keeps its own RunClock on the real clocks.
    ClockWidget(FrameClock* frames, stopky::RunClock* clock = nullptr, QWidget* parent = nullptr);
    ~ClockWidget() override;

    // Device version and format choice (item index of `CBFormat`) for the running-time text.
    void setVersion(int verze, int format);
    // `maxTime`: the highest time shown (per device version).
    void setMaxTime(int ms) { m_clock->setMaxTime(ms); }

    // The start byte: the count restarts from zero, the surface shows, the caption becomes
    // "0,000" (textChanged) until the first frame.
    void startRun();
    // End of the run. With hideSurface false (a version or format change) the last frame stays.
    void stopRun(bool hideSurface = true);

    bool running() const { return m_clock->running(); } // `t_cas`
    stopky::RunClock& runClock() { return *m_clock; }
    const stopky::RunClock& runClock() const { return *m_clock; }
    QString text() const { return m_text; }

    // Left edge of the text: 64 for "123,456", 89 for "12,345", 114 for "1,234", 139 for "1,23".
    static int textX(const QString& text);

    // One frame (connected to the frame clock); the clock reads its own run clock.
    void onFrame(double nowMs);

signals:
    // The running-time text changed: the console puts it into `lblCas`, so that it stays there
    // when the surface hides.
    void textChanged(const QString& text);
    // The time passed `maxTime`: the clock stopped and shows the limit.
    void limitReached();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void setText(const QString& text);

    FrameClock* m_frames;
    stopky::RunClock* m_clock;
    std::unique_ptr<stopky::RunClock> m_ownClock;
    int m_verze = 454;
    int m_format = 0;
    QString m_text;
    QFont m_font;
};
