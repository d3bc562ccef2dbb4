#include "windowbounds.h"

#include "placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

WindowBounds::WindowBounds(QWidget* window) : QObject(window), m_window(window) {
    window->installEventFilter(this);
}

QRect WindowBounds::outer() const {
    return m_window->frameGeometry();
}

void WindowBounds::setOuter(const QRect& stored) {
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens())
        screens.append(s->availableGeometry());
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QRect outer =
        stopky::placeOnScreen(stored, screens, primary ? primary->availableGeometry() : QRect());

    const QSize margins = m_window->frameGeometry().size() - m_window->size();
    m_window->move(outer.topLeft());
    m_window->resize(outer.size() - margins);
    m_fixOuter = margins.isNull();
}

void WindowBounds::fixOuterSize() {
    if (!m_fixOuter || !m_window->isVisible()) return;
    const QSize margins = m_window->frameGeometry().size() - m_window->size();
    if (margins.isNull()) return;
    m_fixOuter = false;
    m_window->resize(m_window->size() - margins);
}

bool WindowBounds::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && m_fixOuter) {
        switch (event->type()) {
        case QEvent::Show:
            // The frame may be known only once the window system has mapped the window.
            QTimer::singleShot(0, this, &WindowBounds::fixOuterSize);
            break;
        case QEvent::Move:
        case QEvent::Resize:
            QTimer::singleShot(0, this, &WindowBounds::fixOuterSize);
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
