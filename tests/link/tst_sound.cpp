#include "link/soundplayer.h"
#include "link/wavinfo.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

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

// The file with the 32-bit little-endian value at `offset` replaced (a damaged length).
QByteArray patched(QByteArray file, int offset, quint32 value) {
    qToLittleEndian(value, file.data() + offset);
    return file;
}
constexpr int kFmtSizeAt = 16; // "RIFF" size "WAVE" "fmt " <size>
constexpr int kFirstChunkAfterFmt = 36;

// A file as a stream (a pipe, say): it cannot tell its size or seek.
class Stream : public QIODevice {
public:
    explicit Stream(QByteArray bytes) : m_bytes(std::move(bytes)) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_bytes.size() - m_pos + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 max) override {
        const qint64 n = qMin(max, qint64(m_bytes.size()) - m_pos);
        std::memcpy(data, m_bytes.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_pos = 0;
};

// While it lives the process may map at most `extra` bytes more than it has now: a read of the
// size a damaged header claims (gigabytes) fails instead of going through.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(qint64 extra) {
        ::getrlimit(RLIMIT_AS, &m_saved);
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly)) return;
        const qint64 pages = statm.readAll().split(' ').value(0).toLongLong();
        rlimit r = m_saved;
        r.rlim_cur = rlim_t(pages * ::sysconf(_SC_PAGESIZE) + extra);
        m_set = ::setrlimit(RLIMIT_AS, &r) == 0;
    }
    ~AddressSpaceLimit() {
        if (m_set) ::setrlimit(RLIMIT_AS, &m_saved);
    }
    bool isSet() const { return m_set; }

private:
    rlimit m_saved{};
    bool m_set = false;
};

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

    // Damaged headers: unreadable, and never a read the size of a damaged length, whether the
    // file can tell its size or is read as a stream. The sound player takes such a file too.
    void damagedHeader_data() {
        QTest::addColumn<QByteArray>("file");
        const QByteArray good = wav(8000, 1, 16, 1600, 1600);
        const QByteArray withList =
            wav(8000, 1, 8, 800, 800, QByteArray("LIST") + le32(4) + QByteArray("abcd"));
        QTest::newRow("fmt size 0x7FFFFFF0") << patched(good, kFmtSizeAt, 0x7FFFFFF0u);
        QTest::newRow("fmt size 0xFFFFFFFF") << patched(good, kFmtSizeAt, 0xFFFFFFFFu);
        QTest::newRow("fmt size past the end") << patched(good, kFmtSizeAt, quint32(good.size()));
        QTest::newRow("fmt size 1500, within a long file")
            << patched(wav(8000, 1, 16, 8000, 8000), kFmtSizeAt, 1500u);
        QTest::newRow("fmt shorter than 16") << patched(good, kFmtSizeAt, 12u);
        QTest::newRow("chunk before data 0x7FFFFFF0")
            << patched(withList, kFirstChunkAfterFmt + 4, 0x7FFFFFF0u);
        QTest::newRow("chunk before data past the end")
            << patched(withList, kFirstChunkAfterFmt + 4, quint32(withList.size()));
    }
    void damagedHeader() {
        QFETCH(QByteArray, file);
        const QString path = write(QStringLiteral("damaged.wav"), file);
        {
            AddressSpaceLimit limit(256 << 20);
            QVERIFY(limit.isSet());
            QVERIFY(!readWavInfo(path));
            Stream stream(file);
            QVERIFY(!readWavInfo(stream));
        }
        SoundPlayer p;
        p.setDirectory(m_dir.path());
        p.preload({QStringLiteral("damaged.wav")});
        int done = 0;
        p.play(QStringLiteral("damaged.wav"), [&] { ++done; });
        QTRY_COMPARE_WITH_TIMEOUT(done, 1, 5000);
    }

    // The same files undamaged are read, also as a stream.
    void streamedFile() {
        Stream stream(wav(8000, 1, 8, 800, 800, QByteArray("LIST") + le32(3) + QByteArray("abc\0", 4)));
        const auto info = readWavInfo(stream);
        QVERIFY(info);
        QCOMPARE(info->durationMs, qint64(100));
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
