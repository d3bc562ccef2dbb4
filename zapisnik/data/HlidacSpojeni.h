#pragma once

// Watches for the database server's return during an outage: every interval it tries a fresh
// connection (SELECT 1) in a thread of its own, so that a server that does not answer never holds
// the window; when one succeeds it reports obnoveno() and stops. Qt Core only.

#include "data/Tdm_QX.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class QThread;

namespace qx {

// One try of a server in a thread of its own (connect, SELECT 1, close): the window never waits on
// it. `hotovo` runs in the owner's thread with the outcome. Destroying the try waits for a thread
// still running (at most the connection's bounded waits) and drops its outcome.
class PokusOSpojeni : public QObject {
    Q_OBJECT
public:
    using Hotovo = std::function<void(bool ok, const std::optional<DbError>& chyba)>;
    explicit PokusOSpojeni(QObject* parent = nullptr) : QObject(parent) {}
    ~PokusOSpojeni() override;

    // A try under way.
    bool bezi() const { return vlakno_ != nullptr; }
    // Starts a try of the server of `settings`, unless one is under way (false then).
    bool zkus(const ConnectionSettings& settings, Hotovo hotovo);

private:
    QThread* vlakno_ = nullptr;
};

class HlidacSpojeni : public QObject {
    Q_OBJECT
public:
    explicit HlidacSpojeni(QObject* parent = nullptr);

    // Starts trying the server of `settings` (again, when it runs: the new settings count).
    void sleduj(const ConnectionSettings& settings);
    void zastav();
    bool bezi() const { return bezi_; }
    // The pause between two tries, in milliseconds.
    void setInterval(int ms) { timer_.setInterval(ms); }

signals:
    // A try succeeded: the server answers again.
    void obnoveno();
    // A try failed with this error (the server still does not answer).
    void nezdar(const qx::DbError& chyba);

private:
    void zkus();

    ConnectionSettings settings_;
    QTimer timer_;
    PokusOSpojeni pokus_;
    bool bezi_ = false;
};

} // namespace qx
