#include "clockwidget.h"

#include "display/TimeText.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <memory>

FrameClock::FrameClock(QObject* parent, MonotonicMs monotonic)
    : QObject(parent), m_monotonic(std::move(monotonic)) {
    m_pace.start();
    if (!m_monotonic) {
        m_ownClock = true;
        m_monotonic = [this] { return static_cast<std::int64_t>(m_pace.elapsed()); };
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const qreal hz = screen->refreshRate();
        if (hz >= 10 && hz <= 500) m_period = 1000.0 / hz;
    }
    // One-shot, re-armed for each frame against a running deadline, so that a period that is no
    // whole number of milliseconds is kept on average.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &FrameClock::onTimer);
}

void FrameClock::setNeeded(const void* user, bool needed) {
    if (needed)
        m_users.insert(user);
    else
        m_users.remove(user);
    if (m_users.isEmpty()) {
        m_timer.stop();
    } else if (!m_timer.isActive()) {
        m_next = static_cast<double>(m_pace.nsecsElapsed()) / 1e6;
        armNext();
    }
}

void FrameClock::setPeriod(double ms) {
    m_period = std::clamp(ms, 1.0, 1000.0);
}

void FrameClock::armNext() {
    const double now = static_cast<double>(m_pace.nsecsElapsed()) / 1e6;
    m_next += m_period;
    if (m_next < now) m_next = now + m_period; // late (a long handler, a busy machine): no catching up
    m_timer.start(std::max(1, static_cast<int>(std::lround(m_next - now))));
}

void FrameClock::onTimer() {
    // The frame is stamped with its due time rather than the moment the timer happened to fire,
    // so that motion stays even when the timer fires a millisecond early or late.
    const double pace = static_cast<double>(m_pace.nsecsElapsed()) / 1e6;
    const double lateness = std::clamp(pace - m_next, -m_period / 2, m_period / 2);
    const double now = m_ownClock ? pace : static_cast<double>(m_monotonic());
    ++m_frames;
    emit frame(now - lateness);
    if (!m_users.isEmpty() && !m_timer.isActive()) armNext();
}

void FrameClock::tick() {
    ++m_frames;
    emit frame(static_cast<double>(m_monotonic()));
}

ClockWidget::ClockWidget(FrameClock* frames, stopky::RunClock* clock, QWidget* parent)
    : QWidget(parent), m_frames(frames), m_clock(clock) {
    if (!m_clock) {
        m_ownClock = std::make_unique<stopky::RunClock>();
        m_clock = m_ownClock.get();
    }
    setObjectName(QStringLiteral("DXCas1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_font = QFont(QStringLiteral("Arial"));
    m_font.setBold(true);
    m_font.setPointSize(34);
    connect(m_frames, &FrameClock::frame, this, &ClockWidget::onFrame);
}

ClockWidget::~ClockWidget() {
    m_frames->setNeeded(this, false);
}

void ClockWidget::setVersion(int verze, int format) {
    m_verze = verze;
    m_format = format;
}

int ClockWidget::textX(const QString& text) {
    return 25 * (9 - static_cast<int>(text.size())) + 14;
}

void ClockWidget::setText(const QString& text) {
    if (text == m_text) return;
    m_text = text;
    update();
    emit textChanged(text);
}

void ClockWidget::startRun() {
    m_clock->start();
    // Always announced: the console may have emptied its label since the last run.
    m_text = QStringLiteral("0,000");
    update();
    emit textChanged(m_text);
    show();
    m_frames->setNeeded(this, true);
}

void ClockWidget::stopRun(bool hideSurface) {
    m_clock->stop();
    m_frames->setNeeded(this, false);
    if (hideSurface) hide();
}

void ClockWidget::onFrame(double) {
    if (!m_clock->running()) return;
    const stopky::RunClock::Frame f = m_clock->frame();
    setText(stopky::runningTimeText(f.ms, m_verze, m_format));
    if (f.limitReached) {
        stopRun(true);
        emit limitReached();
    }
}

void ClockWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (m_text.isEmpty()) return;
    p.setFont(m_font);
    p.setPen(QColor(255, 0, 0));
    p.drawText(QRect(textX(m_text), 0, width(), height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
               m_text);
}
