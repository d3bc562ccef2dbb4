#pragma once

#include "messages/Frame.h"

#include <QHash>
#include <QObject>
#include <QQueue>
#include <QString>

class QSocketNotifier;

// The local channel between stopky and zapisnik (and any other tool that speaks it).
//
// Each program listens on a Unix-domain stream socket named after its main window class
// ("TfrmCas", "TfrmQX") in channelDirectory(). Sending a message connects to the peer's socket
// (the connection is kept and reused while it lives) and writes one 12-byte frame; there is no
// reply frame. A peer that does not listen means the message is skipped silently. Sending never
// waits: what the socket does not take at once waits in a bounded buffer per connection, and a
// message that would overflow it is dropped. Received frames are queued and handed out one at a
// time from the event loop of the channel's thread, in arrival order, never while a handler of
// this channel is still running. Only connections from processes of the same user are kept.
namespace qx {

// $XDG_RUNTIME_DIR when set; otherwise /tmp/qx-<uid>, created with mode 0700 and refused when
// it is not a directory of this user closed to others. Empty (and error set) on failure.
QString channelDirectory(QString* error = nullptr);

// The socket file of a name in channelDirectory(); empty on failure.
QString channelSocketPath(const QString& name, QString* error = nullptr);

// True when the process at the other end of the connected Unix socket fd runs under this
// process's effective user; peerUid receives its user id when it can be read.
bool peerIsSameUser(int fd, uint* peerUid = nullptr);

class LocalChannel;

// What a program tells the operator after trying to listen, in Czech: nothing while it listens;
// that the program already runs (alreadyRunning: this second copy ends before it touches
// anything); or why `peer` will not reach it (the program goes on without the channel).
struct ListenProblem {
    bool alreadyRunning = false;
    QString text; // empty: nothing to tell
};
ListenProblem listenProblem(const LocalChannel& channel, const QString& program, const QString& peer);

class LocalChannel : public QObject {
    Q_OBJECT
public:
    enum class ListenResult {
        NotListening, // listen() has not run yet
        Listening,
        NameInUse, // another live program listens under this name; it is left alone
        Failed,    // folder or socket error, see errorString()
    };

    enum class SendResult {
        Sent,    // the frame is in the socket
        Queued,  // waiting in this connection's buffer for the peer to read
        NoPeer,  // nobody listens under that name: the message is skipped
        Dropped, // the peer has not read for a while and the buffer is full: the message is skipped
    };

    explicit LocalChannel(QString ownName, QObject* parent = nullptr);
    ~LocalChannel() override;

    // Starts listening under ownName. A socket file left by a crashed program is replaced; a
    // live one is never taken over (then NameInUse). Returns true when listening.
    bool listen();
    // Hands the listening socket and its lock over to the next channel of the same name in this
    // process, whose listen() takes them as they are: the name stays taken in between, so that a
    // program can claim it at its very start and give it to the window made later. Call it
    // before the event loop runs (connections still waiting are taken over too; nothing received
    // is kept). Afterwards this channel does not listen.
    void handOver();
    ListenResult listenResult() const { return m_listenResult; }
    QString errorString() const { return m_error; } // Czech, for the operator
    bool isListening() const { return m_listenFd >= 0; }
    QString name() const { return m_name; }
    QString socketPath() const { return m_socketPath; }

    // Sends one frame to the program listening under peerName. Never blocks. The result is
    // for tools and tests; the programs need not look at it.
    SendResult send(const QString& peerName, quint32 message, qint32 wParam, qint32 lParam);
    SendResult send(const QString& peerName, const Frame& frame);

    // Bytes a connection may hold back for a peer that does not read (default 64 KiB).
    void setSendBufferLimit(qsizetype bytes);
    qsizetype sendBufferLimit() const { return m_sendLimit; }
    qsizetype pendingBytes(const QString& peerName) const;
    bool hasConnection(const QString& peerName) const { return m_out.contains(peerName); }
    void closeConnection(const QString& peerName);

    quint64 droppedCount() const { return m_dropped; }
    quint64 rejectedCount() const { return m_rejected; }

    // Connections a listener holds at most; one more is closed at once, unread, so that a flood
    // of local connections cannot use up the program's file descriptors.
    static constexpr int kMaxConnections = 32;
    qsizetype connectionCount() const { return m_in.size(); }
    quint64 refusedCount() const { return m_refused; }
    qsizetype queuedFrames() const { return m_queue.size(); }

    // While held (the calls nest), received frames wait in the queue; for a stretch of code
    // that runs a local event loop (a modal box) and must not be entered by a message.
    void holdDispatch();
    void releaseDispatch();

signals:
    // One received frame. Emitted from the event loop, one at a time, in arrival order; a
    // handler may send (also to its own program) and may run a local event loop: no other
    // frame of this channel is handed out before it returns.
    void messageReceived(quint32 message, qint32 wParam, qint32 lParam);
    // A connection from a process of another user was closed unread.
    void peerRejected(uint uid);

private:
    struct Incoming;
    struct Outgoing;

    void fail(ListenResult result, const QString& error);
    void onAcceptReady();
    void onIncomingReadable(Incoming* in);
    void closeIncoming(Incoming* in);
    Outgoing* openOutgoing(const QString& peerName);
    void onOutgoingWritable(const QString& peerName);
    void onOutgoingReadable(const QString& peerName);
    void closeOutgoing(const QString& peerName);
    void scheduleDispatch();
    void dispatchOne();
    void resumeReading();

    QString m_name;
    QString m_socketPath;
    QString m_error;
    ListenResult m_listenResult = ListenResult::NotListening;
    int m_listenFd = -1;
    int m_lockFd = -1;
    quint64 m_socketDev = 0;
    quint64 m_socketIno = 0;
    QSocketNotifier* m_acceptNotifier = nullptr;

    QList<Incoming*> m_in;
    QHash<QString, Outgoing*> m_out;
    qsizetype m_sendLimit = 64 * 1024;

    QQueue<Frame> m_queue;
    bool m_dispatchScheduled = false;
    bool m_dispatching = false;
    int m_hold = 0;
    bool m_readingPaused = false;

    quint64 m_dropped = 0;
    quint64 m_rejected = 0;
    quint64 m_refused = 0;
    bool m_refusalReported = false;
};

} // namespace qx
