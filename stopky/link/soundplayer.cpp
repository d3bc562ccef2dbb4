#include "soundplayer.h"

#include "wavinfo.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace stopky {

namespace {

// One awaited sound: ends at the first of "effect stopped playing", "effect failed", "length over".
class SoundWait : public QObject {
public:
    SoundWait(QSoundEffect* effect, qint64 maxMs, std::function<void()> done, QObject* parent)
        : QObject(parent), m_done(std::move(done)) {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &SoundWait::finish);
        m_timer.start(int(qBound(qint64(0), maxMs, qint64(24 * 3600 * 1000))));
        if (!effect) return;
        connect(effect, &QSoundEffect::playingChanged, this, [this, effect] {
            if (effect->isPlaying())
                m_sawPlaying = true;
            else if (m_sawPlaying)
                finish();
        });
        connect(effect, &QSoundEffect::statusChanged, this, [this, effect] {
            if (effect->status() == QSoundEffect::Error) finish();
        });
        if (effect->status() == QSoundEffect::Error) QTimer::singleShot(0, this, &SoundWait::finish);
    }

    // Never calls `done`; safe from inside a `done` callback.
    void cancel() {
        m_finished = true;
        m_timer.stop();
        m_done = nullptr;
        deleteLater();
    }

private:
    void finish() {
        if (m_finished) return;
        m_finished = true;
        m_timer.stop();
        auto done = std::move(m_done);
        deleteLater();
        if (done) done();
    }

    std::function<void()> m_done;
    QTimer m_timer;
    bool m_sawPlaying = false;
    bool m_finished = false;
};

} // namespace

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() {
    cancelWaits();
}

QString SoundPlayer::pathOf(const QString& fileName) const {
    const QDir dir(m_dir.isEmpty() ? QDir::currentPath() : m_dir);
    return QFileInfo(dir.filePath(fileName)).absoluteFilePath();
}

QSoundEffect* SoundPlayer::effectFor(const QString& path) {
    QSoundEffect*& e = m_effects[path];
    if (!e) {
        e = new QSoundEffect(this);
        e->setSource(QUrl::fromLocalFile(path));
    }
    return e;
}

void SoundPlayer::preload(const QStringList& fileNames) {
    for (const QString& name : fileNames) {
        const QString path = pathOf(name);
        if (QFileInfo(path).isFile() && readWavInfo(path)) effectFor(path);
    }
}

void SoundPlayer::play(const QString& fileName, std::function<void()> done) {
    const QString path = pathOf(fileName);
    const auto info = QFileInfo(path).isFile() ? readWavInfo(path) : std::nullopt;
    if (!info) {
        if (done) new SoundWait(nullptr, 0, std::move(done), this);
        return;
    }
    QSoundEffect* effect = effectFor(path);
    if (done) new SoundWait(effect, info->durationMs, std::move(done), this);
    effect->play();
}

void SoundPlayer::cancelWaits() {
    const auto children = findChildren<QObject*>(QString(), Qt::FindDirectChildrenOnly);
    for (QObject* o : children) {
        if (auto* w = dynamic_cast<SoundWait*>(o)) w->cancel();
    }
}

} // namespace stopky
