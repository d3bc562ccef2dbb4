#include "link/soundplayer.h"
#include "link/wavinfo.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace stopky;

namespace {

QByteArray le32(quint32 v) {
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray le16(quint16 v) {
    QByteArray b(2, 0);
    qToLittleEndian(v, b.data());
    return b;
}

// A PCM WAV file. `dataSize` is what the header claims, `dataBytes` what follows it.
QByteArray wav(int rate, int channels, int bits, quint32 dataSize, int dataBytes,
               const QByteArray& extraChunk = {}, int byteRate = -1) {
    const int align = channels * bits / 8;
    QByteArray fmt = le16(1) + le16(quint16(channels)) + le32(quint32(rate)) +
                     le32(quint32(byteRate < 0 ? rate * align : byteRate)) + le16(quint16(align)) +
                     le16(quint16(bits));
    QByteArray body = "WAVE" + QByteArray("fmt ") + le32(quint32(fmt.size())) + fmt + extraChunk +
                      QByteArray("data") + le32(dataSize) + QByteArray(dataBytes, '\0');
    return "RIFF" + le32(quint32(body.size())) + body;
}

} // namespace

class TestSound : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes) {
        QFile f(m_dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly)) return {};
        f.write(bytes);
        return f.fileName();
    }

private slots:
    void duration_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qint64>("ms"); // -1: no length
        QTest::newRow("8 kHz mono 16 bit, 0.2 s") << wav(8000, 1, 16, 3200, 3200) << qint64(200);
        QTest::newRow("44.1 kHz stereo, 0.5 s") << wav(44100, 2, 16, 88200, 88200) << qint64(500);
        QTest::newRow("odd chunk before data")
            << wav(8000, 1, 8, 800, 800, QByteArray("LIST") + le32(3) + QByteArray("abc\0", 4))
            << qint64(100);
        QTest::newRow("partial ms rounds up") << wav(8000, 1, 8, 801, 801) << qint64(101);
        QTest::newRow("cut short") << wav(8000, 1, 16, 32000, 3200) << qint64(200);
        QTest::newRow("streamed length") << wav(8000, 1, 16, 0xFFFFFFFFu, 1600) << qint64(100);
        QTest::newRow("byte rate missing") << wav(8000, 1, 16, 1600, 1600, {}, 0) << qint64(100);
        QTest::newRow("not RIFF") << QByteArray("ID3\x03junkjunkjunkjunk") << qint64(-1);
        QTest::newRow("no data chunk") << wav(8000, 1, 16, 0, 0).left(36) << qint64(-1);
        QTest::newRow("empty") << QByteArray() << qint64(-1);
    }
    void duration() {
        QFETCH(QByteArray, file);
        QFETCH(qint64, ms);
        const QString path = write(QStringLiteral("t.wav"), file);
        const auto info = readWavInfo(path);
        QCOMPARE(info.has_value(), ms >= 0);
        if (info) QCOMPARE(info->durationMs, ms);
        QVERIFY(!readWavInfo(m_dir.filePath(QStringLiteral("missing.wav"))));
    }

    void missingFileCompletesAtOnce() {
        SoundPlayer p;
        p.setDirectory(m_dir.path());
        int done = 0;
        p.play(QStringLiteral("zacatek.wav"), [&] { ++done; });
        QCOMPARE(done, 0); // never from inside play()
        QTRY_COMPARE_WITH_TIMEOUT(done, 1, 200);
        QTest::qWait(50);
        QCOMPARE(done, 1);
    }

    // Whatever the audio device does (plays, fails, or reports "playing" forever when there is
    // none), the wait ends once, and no later than the sound's length (plus scheduling).
    void syncSoundEndsByItsLength() {
        write(QStringLiteral("pozor.wav"), wav(8000, 1, 16, 4800, 4800)); // 300 ms
        SoundPlayer p;
        p.setDirectory(m_dir.path());
        p.preload({QStringLiteral("pozor.wav"), QStringLiteral("nothing.wav")});
        int done = 0;
        QElapsedTimer t;
        t.start();
        p.play(QStringLiteral("pozor.wav"), [&] { ++done; });
        QTRY_COMPARE_WITH_TIMEOUT(done, 1, 3000);
        QVERIFY2(t.elapsed() < 1500, qPrintable(QString::number(t.elapsed())));
        QTest::qWait(400);
        QCOMPARE(done, 1);
    }

    void cancelledWaitNeverCompletes() {
        write(QStringLiteral("pozor.wav"), wav(8000, 1, 16, 1600, 1600));
        SoundPlayer p;
        p.setDirectory(m_dir.path());
        int done = 0;
        p.play(QStringLiteral("pozor.wav"), [&] { ++done; });
        p.play(QStringLiteral("missing.wav"), [&] { ++done; });
        p.cancelWaits();
        QTest::qWait(400);
        QCOMPARE(done, 0);
    }
};

QTEST_GUILESS_MAIN(TestSound)
#include "tst_sound.moc"
