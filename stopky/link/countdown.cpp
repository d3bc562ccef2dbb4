#include "countdown.h"

namespace stopky {

int StrToPrip(const QString& text) {
    if (text.isEmpty()) return 0;
    QString digits = text.left(1);
    const int colon = text.indexOf(QLatin1Char(':'), 1);
    if (colon > 0)
        digits += text.mid(1, colon - 1);
    else if (text.size() > 2)
        digits += text.mid(1, text.size() - 2);
    bool ok = false;
    const int n = digits.toInt(&ok, 10);
    return ok ? n : 0;
}

Countdown::Countdown(QObject* parent) : QObject(parent) {
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &Countdown::tick);
}

void Countdown::start(const QString& text) {
    m_pripravaM = StrToPrip(text);
    const int colon = text.indexOf(QLatin1Char(':'));
    m_pripravaS = (colon >= 0 && colon + 1 < text.size() && text.at(colon + 1) == QLatin1Char('3')) ? 30 : 0;
    emit textChanged(QString::number(m_pripravaM) +
                     (m_pripravaS == 30 ? QStringLiteral(",30 ") : QStringLiteral(",00 ")));
    if (!m_timer.isActive()) // a running countdown keeps its one-second phase
        m_timer.start();
}

void Countdown::stop() {
    m_timer.stop();
}

void Countdown::tick() {
    if (!m_timer.isActive()) // a tick that was already queued when the countdown stopped
        return;
    --m_pripravaS;
    if (m_pripravaS < 0) {
        --m_pripravaM;
        m_pripravaS = 59;
        if (m_pripravaM < 0) m_timer.stop();
    }
    if (m_timer.isActive()) {
        emit textChanged(QStringLiteral("%1,%2 ").arg(m_pripravaM).arg(m_pripravaS, 2, 10, QLatin1Char('0')));
    } else {
        emit textChanged(QString());
        emit finished();
    }
}

} // namespace stopky
