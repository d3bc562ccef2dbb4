#include "wavinfo.h"

#include <QFile>
#include <QtEndian>

namespace stopky {

std::optional<WavInfo> readWavInfo(QIODevice& dev) {
    const QByteArray riff = dev.read(12);
    if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE") return std::nullopt;
    WavInfo info;
    bool haveFmt = false;
    for (;;) {
        const QByteArray head = dev.read(8);
        if (head.size() != 8) return std::nullopt; // no data chunk
        const QByteArray id = head.left(4);
        const quint32 size = qFromLittleEndian<quint32>(head.constData() + 4);
        if (id == "fmt ") {
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
            qint64 left = dev.isSequential() ? qint64(size) : dev.size() - dev.pos();
            info.dataBytes = qMin<qint64>(size, left);
            if (size == 0 || size == 0xFFFFFFFFu) info.dataBytes = left;
            qint64 rate = info.byteRate;
            if (rate <= 0) rate = qint64(info.sampleRate) * info.blockAlign;
            if (rate <= 0) return std::nullopt;
            info.durationMs = (info.dataBytes * 1000 + rate - 1) / rate;
            return info;
        } else {
            const qint64 skip = qint64(size) + (size & 1);
            if (dev.isSequential()) {
                if (dev.read(skip).size() != skip) return std::nullopt;
            } else if (!dev.seek(dev.pos() + skip)) {
                return std::nullopt;
            }
        }
    }
}

std::optional<WavInfo> readWavInfo(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return readWavInfo(f);
}

} // namespace stopky
