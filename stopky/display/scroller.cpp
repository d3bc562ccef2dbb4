#include "scroller.h"

#include <algorithm>
#include <cmath>

namespace stopky {

void Scroller::restart(const QString& text, std::int64_t nowMs) {
    m_text = text;
    m_x = m_width;
    m_lastMs = nowMs;
    m_moving = true;
}

int Scroller::scroll() const { return static_cast<int>(std::floor(m_x)); }

void Scroller::advance(std::int64_t nowMs) {
    if (!m_moving) return;
    const std::int64_t dt = nowMs - m_lastMs;
    m_lastMs = nowMs;
    if (dt <= 0) return;
    m_x -= kPixelsPerSecond * static_cast<double>(dt) / 1000.0;
    // One full pass: from the right edge down to the last position still drawn, then one more
    // pixel brings the text back to the right edge.
    const double wrapAt = -static_cast<double>(kWrapPixelsPerChar) * m_text.size();
    const double period = m_width - wrapAt + 1.0;
    if (m_x < wrapAt) {
        const double past = wrapAt - m_x - 1.0; // distance moved beyond the first re-entry
        m_x = m_width - std::fmod(std::max(past, 0.0), period);
    }
}

} // namespace stopky
