#pragma once

// The automatic start (btnAutomat): two clicks. The first shows "Pozor!!!" and plays
// "zacatek.wav"; the second disables the button, plays "pozor.wav" to its end, waits a random
// 100 to 599 ms, plays "vystrel.wav" without waiting, shows "Odstartováno!!!" and pulses DTR for
// 5 ms, which the device takes as its start signal. The device's reset byte makes the button
// "Automatický start" and enabled again, and cancels whatever of the sequence is still to come
// (no DTR pulse after a reset). Nothing here blocks the event loop: the sounds are awaited through
// callbacks, the pause and the pulse are timers.

#include "serialdtr.h"
#include "soundoutput.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace stopky {

class AutoStart : public QObject {
    Q_OBJECT
public:
    // `sound` and `dtr` must outlive this object; either may be null (no sound, no DTR).
    AutoStart(SoundOutput* sound, DtrLine* dtr, QObject* parent = nullptr);

    static QString captionStart();   // "Automatický start"
    static QString captionPozor();   // "Pozor!!!"
    static QString captionStarted(); // "Odstartováno!!!"

    // The button's state: its caption is the state. At creation "Automatický start", disabled.
    QString caption() const { return m_caption; }
    bool isEnabled() const { return m_enabled; }

    // The random part r of the pause 100 + r ms, 0 to 499. Default: QRandomGenerator::global().
    void setRandom(std::function<int()> random) { m_random = std::move(random); }
    // Other seams (tests); the state and caption stay. A pulse in progress ends on the old line.
    void setSoundOutput(SoundOutput* sound) { m_sound = sound; }
    void setDtrLine(DtrLine* dtr) { m_pulse.setLine(dtr); }
    // The DTR pulse width (5 ms).
    void setPulseWidth(int ms) { m_pulse.setWidth(ms); }

public slots:
    // btnAutomatClick. Ignored while the button is disabled. A second click that comes while
    // "zacatek.wav" still plays is taken when it has ended.
    void click();
    // Reset byte 0xAA: cancel() and then caption "Automatický start", enabled.
    void reset();
    // Drops every step still to come: sound ends, the pause and a queued click are forgotten; a DTR
    // pulse in progress ends at once (DTR low). The caption and enabled state stay.
    void cancel();

signals:
    void captionChanged(const QString& caption);
    void enabledChanged(bool enabled);
    // The shot: "vystrel.wav" has been started and DTR raised.
    void fired();

private:
    void setCaption(const QString& c);
    void setEnabled(bool e);
    void playSound(const QString& name, std::function<void()> done = {});
    void afterPozor(quint64 gen);
    void shoot();

    SoundOutput* m_sound;
    DtrPulse m_pulse;
    QTimer m_pause;
    std::function<int()> m_random;
    QString m_caption;
    bool m_enabled = false;
    bool m_cueSounding = false; // "zacatek.wav" still plays
    bool m_clickQueued = false;
    quint64 m_gen = 0; // advances at every cancel; late callbacks of older steps are ignored
};

} // namespace stopky
