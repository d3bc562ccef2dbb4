#include "clockwidget.h"

#include "display/TimeText.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <memory>

FrameClock::FrameClock(QObject* parent, MonotonicMs monotonic) : QObject(parent), m_monotonic(std::move(monotonic)) {
    if (!m_monotonic) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        m_monotonic = [timer] { return static_cast<std::int64_t>(timer->elapsed()); };
    }
    int interval = 16;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const qreal hz = screen->refreshRate();
        if (hz >= 10 && hz <= 500) interval = std::clamp(static_cast<int>(std::lround(1000.0 / hz)), 2, 100);
    }
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(interval);
    connect(&m_timer, &QTimer::timeout, this, &FrameClock::tick);
}

void FrameClock::setNeeded(const void* user, bool needed) {
    if (needed)
        m_users.insert(user);
    else
        m_users.remove(user);
    if (m_users.isEmpty())
        m_timer.stop();
    else if (!m_timer.isActive())
        m_timer.start();
}

void FrameClock::setInterval(int ms) { m_timer.setInterval(std::max(1, ms)); }

void FrameClock::tick() {
    ++m_frames;
    emit frame(m_monotonic());
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

ClockWidget::~ClockWidget() { m_frames->setNeeded(this, false); }

void ClockWidget::setVersion(int verze, int format) {
    m_verze = verze;
    m_format = format;
}

int ClockWidget::textX(const QString& text) { return 25 * (9 - static_cast<int>(text.size())) + 14; }

void ClockWidget::setText(const QString& text) {
    if (text == m_text) return;
    m_text = text;
    update();
    emit textChanged(text);
}

void ClockWidget::startRun() {
    m_clock->start();
    setText(QStringLiteral("0,000"));
    show();
    m_frames->setNeeded(this, true);
}

void ClockWidget::stopRun(bool hideSurface) {
    m_clock->stop();
    m_frames->setNeeded(this, false);
    if (hideSurface) hide();
}

void ClockWidget::onFrame(std::int64_t) {
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
    p.drawText(QRect(textX(m_text), 0, width(), height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_text);
}
