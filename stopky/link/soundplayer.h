#pragma once

// Sound files through QSoundEffect, looked up by bare name in a folder (the working directory
// unless set). Waiting for a sound never blocks: its end is reported by a callback.

#include "soundoutput.h"

#include <QHash>
#include <QObject>
#include <QString>

class QSoundEffect;

namespace stopky {

class SoundPlayer : public QObject, public SoundOutput {
    Q_OBJECT
public:
    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;

    // The folder the names are looked up in; empty (the default) is the working directory at the
    // time of play().
    void setDirectory(const QString& dir) { m_dir = dir; }

    // Loads the files ahead, so that a later play() starts without the decoding delay (the shot
    // must follow its cue at once). Missing and unreadable files are skipped.
    void preload(const QStringList& fileNames);

    // SoundOutput. A missing file, or one whose WAV header cannot be read (readWavInfo: not a
    // WAV file, or damaged), plays nothing and `done` follows at once (from the event loop); such
    // a file never reaches QSoundEffect, whose decoder can hang on a damaged header. Otherwise
    // `done` comes when QSoundEffect reports the end of the sound, or fails, or at the latest
    // after the sound's length from the WAV header (without an audio device QSoundEffect reports
    // "playing" forever).
    void play(const QString& fileName, std::function<void()> done = {}) override;

    // Forgets every pending `done` (they are never called). The sounds go on playing.
    void cancelWaits();

private:
    QString pathOf(const QString& fileName) const;
    QSoundEffect* effectFor(const QString& path);

    QString m_dir;
    QHash<QString, QSoundEffect*> m_effects;
};

} // namespace stopky
