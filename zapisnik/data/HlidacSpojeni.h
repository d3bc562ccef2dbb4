#pragma once

// Watches for the database server's return during an outage: every interval it tries a fresh
// connection (SELECT 1) in a thread of its own, so that a server that does not answer never holds
// the window; when one succeeds it reports obnoveno() and stops. Qt Core only.

#include "data/Tdm_QX.h"

#include <QObject>
#include <QTimer>

#include <memory>

class QThread;

namespace qx {

class HlidacSpojeni : public QObject {
    Q_OBJECT
public:
    explicit HlidacSpojeni(QObject* parent = nullptr);
    ~HlidacSpojeni() override;

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
    QThread* pokus_ = nullptr; // the try under way
    bool bezi_ = false;
};

} // namespace qx
