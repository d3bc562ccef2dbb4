#include "web/WebServer.h"

#include "web/Stranky.h"

#include <QAbstractHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QNetworkInterface>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrlQuery>

#include <map>

namespace qx {

namespace {

// Closes a connection that has not sent a whole request for a while (a slow or stuck client, or
// a request larger than the read buffer, which then never completes).
QTimer* casovacNecinnosti(QTcpSocket* s) {
    return s->findChild<QTimer*>(QStringLiteral("necinnost"), Qt::FindDirectChildrenOnly);
}

// Accepts at most `max` connections; each gets a read buffer of the largest request and an
// inactivity timer. A connection over the limit is answered 503 and closed.
class OmezenyTcpServer : public QTcpServer {
public:
    OmezenyTcpServer(const WebLimity& limity, QObject* parent) : QTcpServer(parent), limity_(limity) {}
    int aktivni() const { return aktivni_; }

protected:
    void incomingConnection(qintptr handle) override {
        auto* s = new QTcpSocket(this);
        if (!s->setSocketDescriptor(handle)) {
            delete s;
            return;
        }
        if (aktivni_ >= limity_.maxSpojeni) {
            static const QByteArray text =
                QStringLiteral("Server je přetížen, zkuste to za chvíli.\n").toUtf8();
            s->write("HTTP/1.1 503 Service Unavailable\r\nContent-Type: text/plain; charset=utf-8\r\n"
                     "Connection: close\r\nRetry-After: 2\r\nContent-Length: " +
                     QByteArray::number(text.size()) + "\r\n\r\n" + text);
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            s->disconnectFromHost();
            return;
        }
        ++aktivni_;
        connect(s, &QObject::destroyed, this, [this] { --aktivni_; });
        s->setReadBufferSize(limity_.maxPozadavek);
        auto* t = new QTimer(s);
        t->setObjectName(QStringLiteral("necinnost"));
        t->setSingleShot(true);
        connect(t, &QTimer::timeout, s, [s] { s->abort(); });
        t->start(limity_.necinnostMs);
        addPendingConnection(s);
    }

private:
    WebLimity limity_;
    int aktivni_ = 0;
};

} // namespace

// The server itself, living on the server thread.
class HttpJadro : public QAbstractHttpServer {
public:
    explicit HttpJadro(const WebLimity& limity) : limity_(limity) {}

    bool naslouchej(const QHostAddress& adresa, quint16 port, quint16* skutecny, QString* chyba) {
        tcp_ = new OmezenyTcpServer(limity_, this);
        if (!tcp_->listen(adresa, port)) {
            *chyba = tcp_->errorString();
            delete tcp_;
            tcp_ = nullptr;
            return false;
        }
        *skutecny = tcp_->serverPort();
        bind(tcp_);
        return true;
    }

    void novySnimek(const Snimek& s) {
        snimek_ = s;
        cache_.clear();
        for (auto it = odberatele_.begin(); it != odberatele_.end();) {
            QTcpSocket* sock = it->first;
            if (sock->state() != QAbstractSocket::ConnectedState) {
                it = odberatele_.erase(it);
                continue;
            }
            if (sock->bytesToWrite() > limity_.maxNeodeslano) {
                // A client that does not read its updates: closed, its page reconnects when it can.
                it = odberatele_.erase(it);
                sock->abort();
                continue;
            }
            sock->write(udalost(it->second));
            ++it;
        }
    }

    int pocetSpojeni() const { return tcp_ ? tcp_->aktivni() : 0; }
    int pocetOdberatelu() const { return int(odberatele_.size()); }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override {
        if (QTimer* t = casovacNecinnosti(socket)) t->start(limity_.necinnostMs); // a kept-alive connection
        QHttpServerResponder r = makeResponder(request, socket);
        if (request.headers().size() > limity_.maxHlavicek) {
            text(r, QHttpServerResponder::StatusCode::RequestHeaderFieldsTooLarge,
                 QStringLiteral("Příliš mnoho hlaviček."));
            return true;
        }
        if (request.method() != QHttpServerRequest::Method::Get) {
            r.writeStatusLine(QHttpServerResponder::StatusCode::MethodNotAllowed);
            r.writeHeader("Allow", "GET");
            const QByteArray t = QStringLiteral("Server jen zobrazuje, povolen je pouze GET.\n").toUtf8();
            r.writeHeader("Content-Type", "text/plain; charset=utf-8");
            r.writeHeader("Content-Length", QByteArray::number(t.size()));
            r.writeBody(t);
            return true;
        }
        const QString cesta = request.url().path();
        if (const std::optional<Stranka> s = strankaCesty(cesta)) {
            odpoved(r, "text/html; charset=utf-8", stranka(*s));
        } else if (cesta == u"/vysledky.json") {
            odpoved(r, "application/json; charset=utf-8", json());
        } else if (cesta == u"/udalosti") {
            const std::optional<Stranka> s =
                strankaJmena(request.query().queryItemValue(QStringLiteral("stranka")));
            if (!s) {
                text(r, QHttpServerResponder::StatusCode::NotFound, QStringLiteral("Neznámá stránka."));
                return true;
            }
            r.writeStatusLine(QHttpServerResponder::StatusCode::Ok);
            r.writeHeader("Content-Type", "text/event-stream; charset=utf-8");
            r.writeHeader("Cache-Control", "no-store");
            r.writeBody(QByteArray("retry: 1000\n\n") + udalost(*s));
            // The stream stays open: no inactivity limit, updates as they come.
            if (QTimer* t = casovacNecinnosti(socket)) t->stop();
            odberatele_.emplace(socket, *s);
            connect(socket, &QObject::destroyed, this, [this, socket] { odberatele_.erase(socket); });
        } else {
            text(r, QHttpServerResponder::StatusCode::NotFound, QStringLiteral("Stránka nenalezena."));
        }
        return true;
    }

    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override {
        QHttpServerResponder r = makeResponder(request, socket);
        text(r, QHttpServerResponder::StatusCode::NotFound, QStringLiteral("Stránka nenalezena."));
    }

private:
    static void odpoved(QHttpServerResponder& r, const QByteArray& typ, const QByteArray& telo,
                        QHttpServerResponder::StatusCode status = QHttpServerResponder::StatusCode::Ok) {
        r.writeStatusLine(status);
        r.writeHeader("Content-Type", typ);
        r.writeHeader("Cache-Control", "no-store");
        r.writeHeader("X-Content-Type-Options", "nosniff");
        r.writeHeader("Content-Security-Policy",
                      "default-src 'none'; style-src 'unsafe-inline'; "
                      "script-src 'unsafe-inline'; connect-src 'self'; img-src 'self'");
        r.writeHeader("Content-Length", QByteArray::number(telo.size()));
        r.writeBody(telo);
    }
    static void text(QHttpServerResponder& r, QHttpServerResponder::StatusCode status, const QString& t) {
        odpoved(r, "text/plain; charset=utf-8", (t + u'\n').toUtf8(), status);
    }

    // Rendered once per snapshot, whoever asks.
    const QByteArray& stranka(Stranka s) {
        const int klic = int(s);
        auto it = cache_.find(klic);
        if (it == cache_.end()) it = cache_.emplace(klic, qx::stranka(s, snimek_)).first;
        return it->second;
    }
    const QByteArray& json() {
        auto it = cache_.find(10);
        if (it == cache_.end()) it = cache_.emplace(10, vysledkyJson(snimek_)).first;
        return it->second;
    }
    const QByteArray& udalost(Stranka s) {
        const int klic = 20 + int(s);
        auto it = cache_.find(klic);
        if (it == cache_.end()) it = cache_.emplace(klic, sseUdalost(s, snimek_)).first;
        return it->second;
    }

    WebLimity limity_;
    OmezenyTcpServer* tcp_ = nullptr;
    Snimek snimek_;
    std::map<int, QByteArray> cache_;
    std::map<QTcpSocket*, Stranka> odberatele_;
};

WebServer::WebServer(WebLimity limity, QObject* parent)
    : QObject(parent), vlakno_(new QThread(this)), limity_(limity) {
    qRegisterMetaType<Snimek>();
    vlakno_->setObjectName(QStringLiteral("web"));
    kontext_ = new QObject;
    kontext_->moveToThread(vlakno_);
    connect(vlakno_, &QThread::finished, kontext_, &QObject::deleteLater);
    vlakno_->start();
}

WebServer::~WebServer() {
    zastav();
    vlakno_->quit();
    vlakno_->wait();
}

bool WebServer::spust(const QHostAddress& adresa, quint16 port, QString* chyba) {
    zastav();
    bool ok = false;
    quint16 skutecny = 0;
    QString text;
    HttpJadro* jadro = nullptr;
    const Snimek snimek = posledni_;
    const WebLimity limity = limity_;
    // Made, started and later deleted on the server thread; the window waits only for the port.
    QMetaObject::invokeMethod(
        kontext_,
        [&] {
            jadro = new HttpJadro(limity);
            jadro->novySnimek(snimek);
            ok = jadro->naslouchej(adresa, port, &skutecny, &text);
            if (!ok) {
                delete jadro;
                jadro = nullptr;
            }
        },
        Qt::BlockingQueuedConnection);
    if (!ok) {
        if (chyba) *chyba = text;
        return false;
    }
    jadro_ = jadro;
    port_ = skutecny;
    adresa_ = adresa;
    return true;
}

void WebServer::zastav() {
    if (!jadro_) return;
    HttpJadro* jadro = jadro_;
    jadro_ = nullptr;
    port_ = 0;
    QMetaObject::invokeMethod(
        kontext_, [jadro] { delete jadro; }, Qt::BlockingQueuedConnection);
}

void WebServer::zverejni(Snimek snimek) {
    snimek.verze = posledni_.verze + 1;
    posledni_ = snimek;
    if (!jadro_) return;
    HttpJadro* jadro = jadro_;
    QMetaObject::invokeMethod(
        kontext_, [jadro, snimek] { jadro->novySnimek(snimek); }, Qt::QueuedConnection);
}

int WebServer::pocetSpojeni() const {
    if (!jadro_) return 0;
    int n = 0;
    QMetaObject::invokeMethod(
        kontext_, [&] { n = jadro_->pocetSpojeni(); }, Qt::BlockingQueuedConnection);
    return n;
}

int WebServer::pocetOdberatelu() const {
    if (!jadro_) return 0;
    int n = 0;
    QMetaObject::invokeMethod(
        kontext_, [&] { n = jadro_->pocetOdberatelu(); }, Qt::BlockingQueuedConnection);
    return n;
}

QString adresaProTelefony(const QHostAddress& naslouchani) {
    if (!naslouchani.isLoopback() && naslouchani != QHostAddress::Any && naslouchani != QHostAddress::AnyIPv4)
        return naslouchani.toString();
    if (naslouchani.isLoopback()) return naslouchani.toString();
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        if (!(i.flags() & QNetworkInterface::IsUp) || (i.flags() & QNetworkInterface::IsLoopBack)) continue;
        for (const QNetworkAddressEntry& e : i.addressEntries())
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol) return e.ip().toString();
    }
    return QStringLiteral("127.0.0.1");
}

} // namespace qx
