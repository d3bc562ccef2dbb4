#include "autostart.h"

#include <QPointer>
#include <QRandomGenerator>

namespace stopky {

AutoStart::AutoStart(SoundOutput* sound, DtrLine* dtr, QObject* parent)
    : QObject(parent), m_sound(sound), m_pulse(dtr), m_caption(captionStart()) {
    m_pause.setSingleShot(true);
    m_pause.setTimerType(Qt::PreciseTimer);
    connect(&m_pause, &QTimer::timeout, this, &AutoStart::shoot);
    m_random = [] { return int(QRandomGenerator::global()->bounded(500)); };
}

QString AutoStart::captionStart() {
    return QStringLiteral("Automatický start");
}
QString AutoStart::captionPozor() {
    return QStringLiteral("Pozor!!!");
}
QString AutoStart::captionStarted() {
    return QStringLiteral("Odstartováno!!!");
}

void AutoStart::setCaption(const QString& c) {
    if (m_caption == c) return;
    m_caption = c;
    emit captionChanged(c);
}

void AutoStart::setEnabled(bool e) {
    if (m_enabled == e) return;
    m_enabled = e;
    emit enabledChanged(e);
}

void AutoStart::click() {
    if (!m_enabled) return;
    if (m_cueSounding) {
        m_clickQueued = true;
        return;
    }
    if (m_caption == captionPozor()) {
        setEnabled(false);
        const quint64 gen = m_gen;
        QPointer<AutoStart> self(this);
        playSound(QStringLiteral("pozor.wav"), [self, gen] {
            if (self) self->afterPozor(gen);
        });
        return;
    }
    if (m_caption == captionStart()) {
        setCaption(captionPozor());
        m_cueSounding = true;
        const quint64 gen = m_gen;
        QPointer<AutoStart> self(this);
        playSound(QStringLiteral("zacatek.wav"), [self, gen] {
            if (!self || gen != self->m_gen) return;
            self->m_cueSounding = false;
            if (self->m_clickQueued) {
                self->m_clickQueued = false;
                self->click();
            }
        });
    }
}

void AutoStart::playSound(const QString& name, std::function<void()> done) {
    if (m_sound) {
        m_sound->play(name, std::move(done));
    } else if (done) {
        QTimer::singleShot(0, this, std::move(done)); // no sound output: over at once
    }
}

void AutoStart::afterPozor(quint64 gen) {
    if (gen != m_gen) return;
    const int r = qBound(0, m_random ? m_random() : 0, 499);
    m_pause.start(100 + r);
}

void AutoStart::shoot() {
    playSound(QStringLiteral("vystrel.wav"));
    setCaption(captionStarted());
    m_pulse.start();
    emit fired();
}

void AutoStart::cancel() {
    ++m_gen;
    m_pause.stop();
    m_pulse.cancel();
    m_cueSounding = false;
    m_clickQueued = false;
}

void AutoStart::reset() {
    cancel();
    setCaption(captionStart());
    setEnabled(true);
}

} // namespace stopky
