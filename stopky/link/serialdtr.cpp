#include "serialdtr.h"

namespace stopky {

DtrPulse::DtrPulse(DtrLine* line, QObject* parent) : QObject(parent), m_line(line) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &DtrPulse::end);
}

void DtrPulse::setLine(DtrLine* line) {
    cancel();
    m_line = line;
}

void DtrPulse::setWidth(int ms) {
    m_timer.setInterval(ms);
}

void DtrPulse::start() {
    if (m_timer.isActive()) return;
    if (m_line) m_line->setDtr(true);
    m_timer.start();
}

void DtrPulse::cancel() {
    if (!m_timer.isActive()) return;
    m_timer.stop();
    if (m_line) m_line->setDtr(false);
}

void DtrPulse::end() {
    if (m_line) m_line->setDtr(false);
    emit finished();
}

} // namespace stopky
