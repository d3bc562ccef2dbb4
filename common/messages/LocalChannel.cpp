#include "messages/LocalChannel.h"

#include <QFile>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QtDebug>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace qx {

namespace {

// Frames waiting for dispatch at which the channel stops reading from its connections (the
// senders' buffers then fill up instead of this process's memory).
constexpr qsizetype kMaxQueuedFrames = 4096;
// Reads per readiness notice, so one busy sender cannot hold the event loop.
constexpr int kReadsPerWakeup = 16;
// Connections taken per readiness notice of the listening socket, for the same reason.
constexpr int kAcceptsPerWakeup = 64;

QString systemError(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

bool fillAddress(const QString& path, sockaddr_un& addr) {
    const QByteArray native = QFile::encodeName(path);
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (native.isEmpty() || size_t(native.size()) >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, native.constData(), size_t(native.size()));
    return true;
}

int newSocket() {
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

// Listening sockets handed over (LocalChannel::handOver) and not yet taken, by name.
struct HandedOver {
    int listenFd = -1;
    int lockFd = -1;
    QString socketPath;
    quint64 dev = 0;
    quint64 ino = 0;
};
QHash<QString, HandedOver>& handedOver() {
    static QHash<QString, HandedOver> sockets;
    return sockets;
}

int connectNonBlocking(int fd, const sockaddr_un& addr) {
    int rc;
    do {
        rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    } while (rc != 0 && errno == EINTR);
    return rc == 0 ? 0 : errno;
}

} // namespace

struct LocalChannel::Incoming {
    int fd = -1;
    QSocketNotifier* notifier = nullptr;
    FrameDecoder decoder;
};

struct LocalChannel::Outgoing {
    int fd = -1;
    QSocketNotifier* readNotifier = nullptr;
    QSocketNotifier* writeNotifier = nullptr;
    QByteArray buffer; // bytes of whole frames (the first possibly begun) the socket did not take
    bool overflowReported = false;
};

QString channelDirectory(QString* error) {
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty()) return QFile::decodeName(xdg);

    const uid_t uid = ::geteuid();
    const QString dir = QStringLiteral("/tmp/qx-%1").arg(uid);
    const QByteArray native = QFile::encodeName(dir);
    if (::mkdir(native.constData(), 0700) == 0) {
        ::chmod(native.constData(), 0700);
    } else if (errno != EEXIST) {
        if (error) *error = QStringLiteral("Složku „%1“ nelze vytvořit: %2").arg(dir, systemError(errno));
        return {};
    }
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid ||
        (st.st_mode & 077) != 0) {
        if (error)
            *error = QStringLiteral("Složka „%1“ nepatří tomuto uživateli nebo je přístupná "
                                    "ostatním; kanál ji nepoužije.")
                         .arg(dir);
        return {};
    }
    return dir;
}

QString channelSocketPath(const QString& name, QString* error) {
    const QString dir = channelDirectory(error);
    if (dir.isEmpty()) return {};
    return dir + u'/' + name;
}

ListenProblem listenProblem(const LocalChannel& channel, const QString& program, const QString& peer) {
    ListenProblem p;
    switch (channel.listenResult()) {
    case LocalChannel::ListenResult::Listening:
        break;
    case LocalChannel::ListenResult::NameInUse:
        p.alreadyRunning = true;
        p.text = QStringLiteral("Program %1 už běží. Pracujte v jeho okně; toto druhé spuštění se ukončí.")
                     .arg(program);
        break;
    case LocalChannel::ListenResult::NotListening:
    case LocalChannel::ListenResult::Failed:
        p.text = QStringLiteral("Program %1 nemůže přijímat zprávy od programu %2:\n%3\n\n"
                                "Program poběží dál, ale s programem %2 se nespojí.")
                     .arg(program, peer,
                          channel.errorString().isEmpty() ? QStringLiteral("kanál nenaslouchá")
                                                          : channel.errorString());
        break;
    }
    return p;
}

bool peerIsSameUser(int fd, uint* peerUid) {
    ucred cred{};
    socklen_t len = sizeof cred;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || len != sizeof cred) return false;
    if (peerUid) *peerUid = cred.uid;
    return cred.uid == ::geteuid();
}

LocalChannel::LocalChannel(QString ownName, QObject* parent) : QObject(parent), m_name(std::move(ownName)) {}

LocalChannel::~LocalChannel() {
    for (Incoming* in : std::as_const(m_in)) {
        delete in->notifier;
        ::close(in->fd);
        delete in;
    }
    m_in.clear();
    for (Outgoing* out : std::as_const(m_out)) {
        delete out->readNotifier;
        delete out->writeNotifier;
        ::close(out->fd);
        delete out;
    }
    m_out.clear();
    if (m_listenFd >= 0) {
        delete m_acceptNotifier;
        ::close(m_listenFd);
        // Remove the socket file only while it is still the one this channel made.
        struct stat st {};
        const QByteArray native = QFile::encodeName(m_socketPath);
        if (::lstat(native.constData(), &st) == 0 && quint64(st.st_dev) == m_socketDev &&
            quint64(st.st_ino) == m_socketIno)
            ::unlink(native.constData());
    }
    if (m_lockFd >= 0) ::close(m_lockFd);
}

void LocalChannel::fail(ListenResult result, const QString& error) {
    m_listenResult = result;
    m_error = error;
    if (m_lockFd >= 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
    }
}

bool LocalChannel::listen() {
    if (m_listenFd >= 0) return true;
    m_error.clear();

    if (const auto it = handedOver().constFind(m_name); it != handedOver().constEnd()) {
        const HandedOver h = *it;
        handedOver().erase(it);
        m_listenFd = h.listenFd;
        m_lockFd = h.lockFd;
        m_socketPath = h.socketPath;
        m_socketDev = h.dev;
        m_socketIno = h.ino;
        m_acceptNotifier = new QSocketNotifier(m_listenFd, QSocketNotifier::Read, this);
        connect(m_acceptNotifier, &QSocketNotifier::activated, this, &LocalChannel::onAcceptReady);
        m_listenResult = ListenResult::Listening;
        return true;
    }

    QString error;
    m_socketPath = channelSocketPath(m_name, &error);
    if (m_socketPath.isEmpty()) {
        fail(ListenResult::Failed, error);
        return false;
    }
    sockaddr_un addr;
    if (m_name.isEmpty() || m_name.contains(u'/')) {
        fail(ListenResult::Failed, QStringLiteral("„%1“ není platné jméno soketu.").arg(m_name));
        return false;
    }
    if (!fillAddress(m_socketPath, addr)) {
        fail(ListenResult::Failed,
             QStringLiteral("Cesta k soketu „%1“ je delší, než systém dovolí (nejvýš %2 bajtů); "
                            "nastavte kratší XDG_RUNTIME_DIR.")
                 .arg(m_socketPath)
                 .arg(int(sizeof addr.sun_path) - 1));
        return false;
    }
    const QByteArray native = QFile::encodeName(m_socketPath);

    // Two of our own programs starting at the same moment: the lock decides which one checks
    // and binds the name; it is held for the life of the channel and freed by the kernel when
    // the process ends, however it ends.
    const QByteArray lockPath = native + ".lock";
    m_lockFd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFd < 0) {
        fail(ListenResult::Failed, QStringLiteral("Soubor „%1“ nelze otevřít: %2")
                                       .arg(QFile::decodeName(lockPath), systemError(errno)));
        return false;
    }
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        fail(ListenResult::NameInUse,
             QStringLiteral("Jméno „%1“ už používá jiný spuštěný program.").arg(m_name));
        return false;
    }

    // A socket file already there: live when something answers a connect, else left over by a
    // program that ended without removing it.
    struct stat st {};
    if (::lstat(native.constData(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            fail(ListenResult::Failed,
                 QStringLiteral("„%1“ není soket; soubor zůstává, jak je.").arg(m_socketPath));
            return false;
        }
        const int probe = newSocket();
        const int err = probe >= 0 ? connectNonBlocking(probe, addr) : errno;
        if (probe >= 0) ::close(probe);
        if (err == 0 || err == EAGAIN || err == EINPROGRESS) {
            fail(ListenResult::NameInUse,
                 QStringLiteral("Jméno „%1“ už používá jiný spuštěný program.").arg(m_name));
            return false;
        }
        if (err != ECONNREFUSED) {
            fail(ListenResult::Failed,
                 QStringLiteral("Soket „%1“ nelze prověřit: %2").arg(m_socketPath, systemError(err)));
            return false;
        }
        if (::unlink(native.constData()) != 0 && errno != ENOENT) {
            fail(
                ListenResult::Failed,
                QStringLiteral("Starý soket „%1“ nelze odstranit: %2").arg(m_socketPath, systemError(errno)));
            return false;
        }
    }

    const int fd = newSocket();
    if (fd < 0) {
        fail(ListenResult::Failed, QStringLiteral("Soket nelze vytvořit: %1").arg(systemError(errno)));
        return false;
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0) {
        const int err = errno;
        ::close(fd);
        fail(ListenResult::Failed,
             QStringLiteral("Na „%1“ nelze naslouchat: %2").arg(m_socketPath, systemError(err)));
        return false;
    }
    ::chmod(native.constData(), 0600);
    if (::lstat(native.constData(), &st) == 0) {
        m_socketDev = quint64(st.st_dev);
        m_socketIno = quint64(st.st_ino);
    }
    m_listenFd = fd;
    m_acceptNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_acceptNotifier, &QSocketNotifier::activated, this, &LocalChannel::onAcceptReady);
    m_listenResult = ListenResult::Listening;
    return true;
}

void LocalChannel::handOver() {
    if (m_listenFd < 0) return;
    for (Incoming* in : std::as_const(m_in)) {
        delete in->notifier;
        ::close(in->fd);
        delete in;
    }
    m_in.clear();
    m_queue.clear();
    delete m_acceptNotifier;
    m_acceptNotifier = nullptr;
    if (const auto it = handedOver().constFind(m_name); it != handedOver().constEnd()) {
        ::close(it->listenFd);
        ::close(it->lockFd);
    }
    handedOver().insert(m_name, HandedOver{m_listenFd, m_lockFd, m_socketPath, m_socketDev, m_socketIno});
    m_listenFd = -1;
    m_lockFd = -1;
    m_listenResult = ListenResult::NotListening;
}

void LocalChannel::onAcceptReady() {
    for (int taken = 0; taken < kAcceptsPerWakeup; ++taken) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // The connection stays pending and the socket stays readable: pause instead
                // of spinning, and try again in a second.
                m_acceptNotifier->setEnabled(false);
                QTimer::singleShot(1000, this, [this] {
                    if (m_acceptNotifier) m_acceptNotifier->setEnabled(true);
                });
            }
            return;
        }
        uint uid = uint(-1);
        if (!peerIsSameUser(fd, &uid)) {
            ::close(fd);
            ++m_rejected;
            emit peerRejected(uid);
            continue;
        }
        if (m_in.size() >= kMaxConnections) {
            ::close(fd);
            ++m_refused;
            if (!m_refusalReported) {
                m_refusalReported = true;
                qWarning("qx channel: %s already holds %d connections, further ones are closed",
                         qPrintable(m_name), kMaxConnections);
            }
            continue;
        }
        auto* in = new Incoming;
        in->fd = fd;
        in->notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(in->notifier, &QSocketNotifier::activated, this, [this, in] { onIncomingReadable(in); });
        if (m_readingPaused) in->notifier->setEnabled(false);
        m_in.append(in);
    }
}

void LocalChannel::onIncomingReadable(Incoming* in) {
    char buf[4096];
    QList<Frame> frames;
    bool closed = false;
    for (int i = 0; i < kReadsPerWakeup; ++i) {
        const ssize_t n = ::read(in->fd, buf, sizeof buf);
        if (n > 0) {
            in->decoder.feed(QByteArrayView(buf, n), frames);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        closed = true; // end of stream or a broken connection; an unfinished frame is lost
        break;
    }
    for (const Frame& f : std::as_const(frames))
        m_queue.enqueue(f);
    if (closed) closeIncoming(in);
    if (m_queue.size() >= kMaxQueuedFrames && !m_readingPaused) {
        m_readingPaused = true;
        for (Incoming* other : std::as_const(m_in))
            other->notifier->setEnabled(false);
    }
    scheduleDispatch();
}

void LocalChannel::closeIncoming(Incoming* in) {
    m_in.removeOne(in);
    if (m_in.size() < kMaxConnections / 2) m_refusalReported = false;
    in->notifier->setEnabled(false);
    in->notifier->deleteLater(); // may be the notifier whose signal is running
    ::close(in->fd);
    delete in;
}

void LocalChannel::resumeReading() {
    if (!m_readingPaused || m_queue.size() > kMaxQueuedFrames / 2) return;
    m_readingPaused = false;
    for (Incoming* in : std::as_const(m_in))
        in->notifier->setEnabled(true);
}

void LocalChannel::scheduleDispatch() {
    if (m_dispatchScheduled || m_queue.isEmpty()) return;
    m_dispatchScheduled = true;
    QMetaObject::invokeMethod(this, &LocalChannel::dispatchOne, Qt::QueuedConnection);
}

void LocalChannel::dispatchOne() {
    m_dispatchScheduled = false;
    // Inside a handler (a local event loop of it) or while held: the frame waits; the end of
    // the handler or the release schedules the next dispatch.
    if (m_dispatching || m_hold > 0 || m_queue.isEmpty()) return;
    const Frame f = m_queue.dequeue();
    m_dispatching = true;
    QPointer<LocalChannel> self(this);
    emit messageReceived(f.message, f.wParam, f.lParam);
    if (!self) return;
    m_dispatching = false;
    resumeReading();
    scheduleDispatch(); // one frame per pass of the event loop: input and timers go between
}

void LocalChannel::holdDispatch() {
    ++m_hold;
}

void LocalChannel::releaseDispatch() {
    if (m_hold > 0 && --m_hold == 0) scheduleDispatch();
}

void LocalChannel::setSendBufferLimit(qsizetype bytes) {
    m_sendLimit = qMax<qsizetype>(bytes, FrameSize);
}

qsizetype LocalChannel::pendingBytes(const QString& peerName) const {
    const Outgoing* out = m_out.value(peerName);
    return out ? out->buffer.size() : 0;
}

LocalChannel::Outgoing* LocalChannel::openOutgoing(const QString& peerName) {
    if (peerName.isEmpty() || peerName.contains(u'/')) return nullptr;
    const QString path = channelSocketPath(peerName);
    sockaddr_un addr;
    if (path.isEmpty() || !fillAddress(path, addr)) return nullptr;
    const int fd = newSocket();
    if (fd < 0) return nullptr;
    // ENOENT / ECONNREFUSED: nobody listens. EAGAIN: the peer's queue of new connections is
    // full (it has stopped accepting); waiting for it is not an option, so the message goes.
    if (connectNonBlocking(fd, addr) != 0) {
        ::close(fd);
        return nullptr;
    }
    uint uid = uint(-1);
    if (!peerIsSameUser(fd, &uid)) {
        qWarning("qx channel: %s is held by user %u, not sent", qPrintable(path), uid);
        ::close(fd);
        return nullptr;
    }
    auto* out = new Outgoing;
    out->fd = fd;
    // Nothing is ever sent back on this connection; reading only notices its end.
    out->readNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(out->readNotifier, &QSocketNotifier::activated, this,
            [this, peerName] { onOutgoingReadable(peerName); });
    out->writeNotifier = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    out->writeNotifier->setEnabled(false);
    connect(out->writeNotifier, &QSocketNotifier::activated, this,
            [this, peerName] { onOutgoingWritable(peerName); });
    m_out.insert(peerName, out);
    return out;
}

void LocalChannel::closeConnection(const QString& peerName) {
    closeOutgoing(peerName);
}

void LocalChannel::closeOutgoing(const QString& peerName) {
    Outgoing* out = m_out.take(peerName);
    if (!out) return;
    out->readNotifier->setEnabled(false);
    out->writeNotifier->setEnabled(false);
    out->readNotifier->deleteLater();
    out->writeNotifier->deleteLater();
    ::close(out->fd);
    delete out;
}

void LocalChannel::onOutgoingReadable(const QString& peerName) {
    Outgoing* out = m_out.value(peerName);
    if (!out) return;
    char buf[256];
    for (;;) {
        const ssize_t n = ::read(out->fd, buf, sizeof buf);
        if (n > 0) continue; // not part of the protocol: ignored
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        closeOutgoing(peerName); // the peer has gone; the next send connects anew
        return;
    }
}

void LocalChannel::onOutgoingWritable(const QString& peerName) {
    Outgoing* out = m_out.value(peerName);
    if (!out) return;
    while (!out->buffer.isEmpty()) {
        const ssize_t n =
            ::send(out->fd, out->buffer.constData(), size_t(out->buffer.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            out->buffer.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        closeOutgoing(peerName);
        return;
    }
    out->writeNotifier->setEnabled(false);
    out->overflowReported = false;
}

LocalChannel::SendResult LocalChannel::send(const QString& peerName, quint32 message, qint32 wParam,
                                            qint32 lParam) {
    return send(peerName, Frame{message, wParam, lParam});
}

LocalChannel::SendResult LocalChannel::send(const QString& peerName, const Frame& frame) {
    char bytes[FrameSize];
    encodeFrame(frame, bytes);

    // A held connection may have died since (the peer ended or restarted): then one new
    // connection is tried at once.
    for (int attempt = 0; attempt < 2; ++attempt) {
        Outgoing* out = m_out.value(peerName);
        const bool fresh = out == nullptr;
        if (fresh) {
            out = openOutgoing(peerName);
            if (!out) return SendResult::NoPeer;
        }
        if (!out->buffer.isEmpty()) {
            // Earlier frames still wait: keep the order, behind them or not at all.
            if (out->buffer.size() + FrameSize > m_sendLimit) {
                ++m_dropped;
                if (!out->overflowReported) {
                    out->overflowReported = true;
                    qWarning("qx channel: %s is not reading, messages are dropped", qPrintable(peerName));
                }
                return SendResult::Dropped;
            }
            out->buffer.append(bytes, FrameSize);
            return SendResult::Queued;
        }
        ssize_t n;
        do {
            n = ::send(out->fd, bytes, FrameSize, MSG_NOSIGNAL | MSG_DONTWAIT);
        } while (n < 0 && errno == EINTR);
        if (n == FrameSize) return SendResult::Sent;
        if (n >= 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
            const int done = n > 0 ? int(n) : 0;
            out->buffer.append(bytes + done, FrameSize - done);
            out->writeNotifier->setEnabled(true);
            return SendResult::Queued;
        }
        closeOutgoing(peerName);
        if (fresh) return SendResult::NoPeer;
    }
    return SendResult::NoPeer;
}

} // namespace qx
