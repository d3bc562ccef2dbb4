#pragma once

// The one place where a failed action ends: every handler of the window, its panels and the
// messages from the timer console runs through run(); a database error, a failed file write or
// any other exception ends the action there and is shown by the window's message: for a
// database error a Czech sentence saying what failed (connecting, reading, saving), with the
// server's own text among the details. Nothing escapes into the event loop or the channel's
// dispatch.

#include <QString>

#include <functional>

namespace qx {

class ErrorSink {
public:
    // show(text, details); details may be empty.
    explicit ErrorSink(std::function<void(const QString&, const QString&)> show) : show_(std::move(show)) {}

    // Runs the action; false when it failed (the message has been shown).
    bool run(const std::function<void()>& action) const;
    // Shows a failure that was detected without an exception.
    void show(const QString& text, const QString& details = {}) const { show_(text, details); }

private:
    std::function<void(const QString&, const QString&)> show_;
};

} // namespace qx
