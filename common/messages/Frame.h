#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QtGlobal>

// One message on the channel: 12 bytes, the message number, WParam and LParam, each a 32-bit
// little-endian integer (the number unsigned, the two parameters signed).
namespace qx {

inline constexpr int FrameSize = 12;

struct Frame {
    quint32 message = 0;
    qint32 wParam = 0;
    qint32 lParam = 0;

    friend bool operator==(const Frame&, const Frame&) = default;
};

// Writes the 12 bytes of a frame to out.
void encodeFrame(const Frame& frame, char* out);
QByteArray encodeFrame(const Frame& frame);

// Reads a frame from 12 bytes at in.
Frame decodeFrame(const char* in);

// Cuts a byte stream into frames: bytes may arrive in any pieces (a frame split across reads,
// several frames in one read); the bytes of an unfinished frame are kept for the next feed.
class FrameDecoder {
public:
    // Appends the frames completed by these bytes to out, in stream order.
    void feed(QByteArrayView bytes, QList<Frame>& out);
    QList<Frame> feed(QByteArrayView bytes);

    // Bytes of an unfinished frame held back (0 to 11).
    int pendingBytes() const { return m_have; }
    // Forgets an unfinished frame (the stream it came from has ended).
    void reset() { m_have = 0; }

private:
    char m_partial[FrameSize] = {};
    int m_have = 0;
};

} // namespace qx
