#include "scroller.h"

#include <algorithm>
#include <cmath>

namespace stopky {

void Scroller::restart(const QString& text, double nowMs) {
    m_text = text;
    m_x = m_width + 0.5;
    m_lastMs = nowMs;
    m_moving = true;
    m_aligned = false;
}

int Scroller::scroll() const {
    return static_cast<int>(std::floor(m_x));
}

void Scroller::advance(double nowMs) {
    if (!m_moving) return;
    const double dt = nowMs - m_lastMs;
    if (dt <= 0) return;
    m_lastMs = nowMs;
    double step = kPixelsPerSecond * dt / 1000.0;
    if (!m_aligned) {
        step = std::round(step);
        m_aligned = true;
    }
    m_x -= step;
    // One full pass: from the right edge down to the last position still drawn, then one more
    // pixel brings the text back to the right edge.
    const double wrapAt = -static_cast<double>(kWrapPixelsPerChar) * m_text.size();
    const double period = m_width - wrapAt + 1.0;
    if (m_x < wrapAt) {
        // Distance moved beyond the middle of the first pixel left of the last drawn position.
        const double past = wrapAt - 0.5 - m_x;
        m_x = m_width + 0.5 - std::fmod(std::max(past, 0.0), period);
    }
}

} // namespace stopky
