#pragma once

// The header of a WAV (RIFF/WAVE) file: enough to know how long the sound plays.

#include <QString>
#include <QtGlobal>

#include <optional>

class QIODevice;

namespace stopky {

struct WavInfo {
    int formatTag = 0; // 1 = PCM
    int channels = 0;
    int sampleRate = 0;
    int byteRate = 0; // bytes per second
    int blockAlign = 0;
    int bitsPerSample = 0;
    qint64 dataBytes = 0;  // length of the "data" chunk (cut to what the file really holds)
    qint64 durationMs = 0; // dataBytes / byteRate, in ms, rounded up
};

// Reads the "RIFF" header, the "fmt " chunk and the "data" chunk's length; other chunks are
// skipped. nullopt when the file is missing, not a RIFF/WAVE file, has no usable byte rate, or
// its header is damaged (a "fmt " chunk shorter than 16 or longer than 1024 bytes, a chunk
// before "data" longer than the rest of the file). No read is larger than the file.
std::optional<WavInfo> readWavInfo(QIODevice& device);
std::optional<WavInfo> readWavInfo(const QString& path);

} // namespace stopky
