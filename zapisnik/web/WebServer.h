#pragma once

// The read-only results server: Qt's HTTP server on a thread of its own, serving the pages of the
// last published snapshot and pushing every new snapshot to the open pages as server-sent
// events. The window only publishes values; a slow or stuck client is the server thread's
// business and never the window's.

#include "web/Snimek.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

class QThread;

namespace qx {

class HttpJadro;

// Limits of what a client may send and hold.
struct WebLimity {
    int maxSpojeni = 256;           // open connections at once; more are answered 503 and closed
    qint64 maxPozadavek = 8 * 1024; // bytes of one request (line, headers and body)
    int maxHlavicek = 40;           // header lines of one request
    int necinnostMs = 10000;        // a connection without a whole request for this long is closed
    qint64 maxNeodeslano = 1 << 20; // an update stream whose client lags this many bytes is closed
};

class WebServer : public QObject {
    Q_OBJECT
public:
    explicit WebServer(WebLimity limity = {}, QObject* parent = nullptr);
    ~WebServer() override;

    // Starts listening; false with `chyba` set when the port cannot be opened. A running server is
    // stopped first. Port 0 takes a free port.
    bool spust(const QHostAddress& adresa, quint16 port, QString* chyba = nullptr);
    // Closes the port and every connection.
    void zastav();
    bool bezi() const { return port_ != 0; }
    quint16 port() const { return port_; }
    QHostAddress adresa() const { return adresa_; }

    // Hands a new snapshot to the server (numbered here) and returns at once; the open pages get
    // it within moments.
    void zverejni(Snimek snimek);
    const Snimek& posledni() const { return posledni_; }

    // Open connections and update streams (for tests and the benchmark; asks the server thread).
    int pocetSpojeni() const;
    int pocetOdberatelu() const;

private:
    QThread* vlakno_;
    QObject* kontext_ = nullptr; // lives on the server thread: calls into it run there
    HttpJadro* jadro_ = nullptr;
    quint16 port_ = 0;
    QHostAddress adresa_;
    Snimek posledni_;
    WebLimity limity_;
};

// The address the page is reached at from phones on the ground: the first non-loopback IPv4
// address of an interface that is up, else 127.0.0.1. `naslouchani` is the listening address.
QString adresaProTelefony(const QHostAddress& naslouchani);

} // namespace qx
