#pragma once

// Playing the starter's sound files. The automatic start talks to this interface; SoundPlayer
// plays through QtMultimedia, tests put a recorder here.

#include <QString>

#include <functional>

namespace stopky {

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Starts the sound file `fileName`. When `done` is given, it is called once the sound is over
    // (a "synchronous" sound), always later from the event loop, never from inside play().
    virtual void play(const QString& fileName, std::function<void()> done = {}) = 0;
};

} // namespace stopky
