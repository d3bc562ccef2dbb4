#include "wavinfo.h"

#include <QFile>
#include <QtEndian>

namespace stopky {

namespace {

// The "fmt " chunk holds 16 bytes for PCM, 18 or 40 for other formats; a larger one is damage.
constexpr quint32 kMaxFmtBytes = 1024;

// Bytes left in the file; -1 when the device cannot tell (a stream).
qint64 bytesLeft(const QIODevice& dev) {
    return dev.isSequential() ? -1 : dev.size() - dev.pos();
}

} // namespace

std::optional<WavInfo> readWavInfo(QIODevice& dev) {
    // Every length in the header is checked against what the file holds before it is used, so
    // that a damaged header cannot make a read or a skip larger than the file.
    const QByteArray riff = dev.read(12);
    if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE") return std::nullopt;
    WavInfo info;
    bool haveFmt = false;
    for (;;) {
        const QByteArray head = dev.read(8);
        if (head.size() != 8) return std::nullopt; // no data chunk
        const QByteArray id = head.left(4);
        const quint32 size = qFromLittleEndian<quint32>(head.constData() + 4);
        const qint64 left = bytesLeft(dev);
        if (id == "fmt ") {
            if (size < 16 || size > kMaxFmtBytes || (left >= 0 && qint64(size) > left)) return std::nullopt;
            const QByteArray fmt = dev.read(size);
            if (fmt.size() < 16 || fmt.size() != qint64(size)) return std::nullopt;
            const char* p = fmt.constData();
            info.formatTag = qFromLittleEndian<quint16>(p);
            info.channels = qFromLittleEndian<quint16>(p + 2);
            info.sampleRate = int(qFromLittleEndian<quint32>(p + 4));
            info.byteRate = int(qFromLittleEndian<quint32>(p + 8));
            info.blockAlign = qFromLittleEndian<quint16>(p + 12);
            info.bitsPerSample = qFromLittleEndian<quint16>(p + 14);
            haveFmt = true;
            if (size & 1) dev.read(1);
        } else if (id == "data") {
            if (!haveFmt) return std::nullopt;
            // A file cut short, or written while streaming (length 0 or 0xFFFFFFFF), plays only
            // what it holds.
            const qint64 held = left >= 0 ? left : qint64(size);
            info.dataBytes = qMin<qint64>(size, held);
            if (size == 0 || size == 0xFFFFFFFFu) info.dataBytes = held;
            qint64 rate = info.byteRate;
            if (rate <= 0) rate = qint64(info.sampleRate) * info.blockAlign;
            if (rate <= 0) return std::nullopt;
            info.durationMs = (info.dataBytes * 1000 + rate - 1) / rate;
            return info;
        } else {
            const qint64 skip = qint64(size) + (size & 1);
            if (left >= 0 && skip > left) return std::nullopt; // a chunk longer than the file
            // skip() reads a stream in small pieces, never the whole chunk at once.
            if (dev.skip(skip) != skip) return std::nullopt;
        }
    }
}

std::optional<WavInfo> readWavInfo(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return readWavInfo(f);
}

} // namespace stopky
