#include "messages/Frame.h"

#include <QtEndian>

#include <cstring>

namespace qx {

void encodeFrame(const Frame& frame, char* out) {
    qToLittleEndian<quint32>(frame.message, out);
    qToLittleEndian<qint32>(frame.wParam, out + 4);
    qToLittleEndian<qint32>(frame.lParam, out + 8);
}

QByteArray encodeFrame(const Frame& frame) {
    QByteArray bytes(FrameSize, Qt::Uninitialized);
    encodeFrame(frame, bytes.data());
    return bytes;
}

Frame decodeFrame(const char* in) {
    Frame f;
    f.message = qFromLittleEndian<quint32>(in);
    f.wParam = qFromLittleEndian<qint32>(in + 4);
    f.lParam = qFromLittleEndian<qint32>(in + 8);
    return f;
}

void FrameDecoder::feed(QByteArrayView bytes, QList<Frame>& out) {
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    if (m_have > 0) {
        const qsizetype take = qMin<qsizetype>(FrameSize - m_have, left);
        std::memcpy(m_partial + m_have, p, size_t(take));
        m_have += int(take);
        p += take;
        left -= take;
        if (m_have < FrameSize) return;
        out.append(decodeFrame(m_partial));
        m_have = 0;
    }
    while (left >= FrameSize) {
        out.append(decodeFrame(p));
        p += FrameSize;
        left -= FrameSize;
    }
    if (left > 0) {
        std::memcpy(m_partial, p, size_t(left));
        m_have = int(left);
    }
}

QList<Frame> FrameDecoder::feed(QByteArrayView bytes) {
    QList<Frame> out;
    feed(bytes, out);
    return out;
}

} // namespace qx
