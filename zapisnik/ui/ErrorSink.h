#pragma once

// The one place where a failed action ends: every handler of the window, its panels and the
// messages from the timer console runs through run(); a database error, a failed file write or
// any other exception ends the action there and is shown by the window's message: for a
// database error a Czech sentence saying what failed (connecting, reading, saving), with the
// server's own text among the details. Nothing escapes into the event loop or the channel's
// dispatch. A failure of the database connection goes to the connection handler instead, when one
// is set: for an outage (the server cannot be reached, the connection broke, it did not answer in
// time) the window shows one lasting notice rather than a box per action.

#include <QString>

#include <functional>

namespace qx {

class DbError;

class ErrorSink {
public:
    // show(text, details); details may be empty.
    explicit ErrorSink(std::function<void(const QString&, const QString&)> show) : show_(std::move(show)) {}

    // Where failures of the connection go instead of the message box.
    void setSpojeni(std::function<void(const DbError&)> spojeni) { spojeni_ = std::move(spojeni); }

    // Runs the action; false when it failed (the message has been shown).
    bool run(const std::function<void()>& action) const;
    // The last failed run ended in an outage (its notice is shown; the action may be done again
    // once the server is back).
    bool posledniVypadek() const { return posledniVypadek_; }
    // Shows a failure that was detected without an exception.
    void show(const QString& text, const QString& details = {}) const { show_(text, details); }

private:
    std::function<void(const QString&, const QString&)> show_;
    std::function<void(const DbError&)> spojeni_;
    mutable bool posledniVypadek_ = false;
};

} // namespace qx
