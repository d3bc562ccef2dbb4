// The local channel: two endpoints in this process, and the qx-msg tool as a second process.
#include "messages/LocalChannel.h"
#include "messages/Messages.h"
#include "messages/TimeUnits.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <QScopeGuard>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using qx::Frame;
using qx::LocalChannel;
using Send = qx::LocalChannel::SendResult;

namespace {

const QString Cas = qx::StopkyName;
const QString QX = qx::ZapisnikName;

// Collects what a channel hands out.
struct Inbox {
    explicit Inbox(LocalChannel& ch) {
        QObject::connect(&ch, &LocalChannel::messageReceived, &ch, [this](quint32 m, qint32 w, qint32 l) {
            frames.append(Frame{m, w, l});
        });
    }
    QList<Frame> frames;
};

int rawListen(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray p = QFile::encodeName(path);
    std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 4) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int rawConnect(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray p = QFile::encodeName(path);
    std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

QList<Frame> parseLines(const QByteArray& output) {
    QList<Frame> frames;
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 3) continue;
        const auto m = qx::messageFromName(QString::fromLatin1(parts[0]));
        if (m) frames.append(Frame{*m, parts[1].toInt(), parts[2].toInt()});
    }
    return frames;
}

} // namespace

class TestChannel : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void peerAbsentThenStartedLater();
    void manyMessagesKeepTheirOrder();
    void reconnectsWhenHeldConnectionDied();
    void framesInPiecesFromAForeignTool();
    void staleSocketIsReplaced();
    void liveSocketIsNeverTakenOver();
    void otherFileAtTheNameIsLeftAlone();
    void folderWithoutXdgRuntimeDir();
    void handlerIsNeverEnteredTwice();
    void holdKeepsFramesWaiting();
    void exchangesOfBothPrograms();
    void secondProcessBothWays();
    void peerThatStopsReadingDoesNotStopTheSender();
    void sameUserCheck();
    void otherUserIsRefused();
    void fallbackFolderMustBeTheUsersOwn();
    void connectionsAreCapped();
    void handOverKeepsTheNameTaken();
    void whatTheOperatorIsTold_data();
    void whatTheOperatorIsTold();

private:
    QProcess* startTool(const QStringList& args);
    std::unique_ptr<QTemporaryDir> m_dir;
    QList<QProcess*> m_processes;
};

void TestChannel::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir->path()));
}

void TestChannel::cleanup() {
    for (QProcess* p : std::as_const(m_processes)) {
        if (p->state() != QProcess::NotRunning) {
            ::kill(pid_t(p->processId()), SIGCONT);
            p->kill();
            p->waitForFinished(5000);
        }
        delete p;
    }
    m_processes.clear();
    m_dir.reset();
}

QProcess* TestChannel::startTool(const QStringList& args) {
    auto* p = new QProcess;
    m_processes.append(p);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir->path());
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(QX_MSG_TOOL), args);
    if (!p->waitForStarted(5000)) return nullptr;
    if (args.value(0) == u"listen") {
        // Wait for its first line, "listening NAME".
        while (!p->canReadLine()) {
            if (!p->waitForReadyRead(5000)) return nullptr;
        }
        if (p->readLine().trimmed() != "listening " + args.value(1).toUtf8()) return nullptr;
    }
    return p;
}

void TestChannel::peerAbsentThenStartedLater() {
    LocalChannel cas(Cas);
    QVERIFY(cas.listen());
    QCOMPARE(cas.send(QX, qx::AM_Nast, 466, 10), Send::NoPeer);
    QVERIFY(!cas.hasConnection(QX));

    auto qx = std::make_unique<LocalChannel>(QX);
    Inbox inbox(*qx);
    QVERIFY(qx->listen());
    QCOMPARE(qx->listenResult(), LocalChannel::ListenResult::Listening);
    QCOMPARE(qx->socketPath(), m_dir->filePath(QX));
    QCOMPARE(cas.send(QX, qx::AM_Nast, 466, 10), Send::Sent);
    QCOMPARE(cas.send(QX, qx::AM_Form, 466, 1), Send::Sent);
    QTRY_COMPARE(inbox.frames.size(), 2);
    QCOMPARE(inbox.frames, (QList<Frame>{{qx::AM_Nast, 466, 10}, {qx::AM_Form, 466, 1}}));

    // A program that ends removes its socket: the next send is skipped again.
    const QString path = qx->socketPath();
    qx.reset();
    QVERIFY(!QFile::exists(path));
    QTest::qWait(20);
    QCOMPARE(cas.send(QX, qx::AM_Nast, 466, 10), Send::NoPeer);
}

void TestChannel::manyMessagesKeepTheirOrder() {
    LocalChannel qx(QX);
    Inbox inbox(qx);
    QVERIFY(qx.listen());
    LocalChannel cas(Cas);
    LocalChannel other(QStringLiteral("harness"));
    constexpr int N = 3000;
    QList<Frame> fromCas;
    QList<Frame> fromOther;
    for (int i = 0; i < N; ++i) {
        const Frame a{qx::AM_Mezi, 1, i};
        const Frame b{qx::AM_Cas1, 6, -i};
        QVERIFY(cas.send(QX, a) != Send::NoPeer);
        QVERIFY(other.send(QX, b) != Send::NoPeer);
        fromCas.append(a);
        fromOther.append(b);
    }
    QTRY_COMPARE_WITH_TIMEOUT(inbox.frames.size(), 2 * N, 20000);
    // Each sender's frames in its own order (the two streams may interleave).
    QList<Frame> gotCas;
    QList<Frame> gotOther;
    for (const Frame& f : std::as_const(inbox.frames))
        (f.message == qx::AM_Mezi ? gotCas : gotOther).append(f);
    QCOMPARE(gotCas, fromCas);
    QCOMPARE(gotOther, fromOther);
    QCOMPARE(cas.droppedCount(), 0u);
}

void TestChannel::reconnectsWhenHeldConnectionDied() {
    LocalChannel cas(Cas);
    auto first = std::make_unique<LocalChannel>(QX);
    QVERIFY(first->listen());
    QCOMPARE(cas.send(QX, qx::AM_Mezi, 0, 0), Send::Sent);
    QVERIFY(cas.hasConnection(QX));
    QTRY_COMPARE(first->queuedFrames(), 0);

    // zapisnik restarts; the held connection is dead but nobody has noticed yet.
    first.reset();
    auto second = std::make_unique<LocalChannel>(QX);
    Inbox inbox(*second);
    QVERIFY(second->listen());
    QCOMPARE(cas.send(QX, qx::AM_Mezi, 1, 420), Send::Sent);
    QTRY_COMPARE(inbox.frames, (QList<Frame>{{qx::AM_Mezi, 1, 420}}));

    // Restarted again, and this time the event loop runs in between and notices the end.
    second.reset();
    QTRY_VERIFY(!cas.hasConnection(QX));
    LocalChannel third(QX);
    Inbox thirdInbox(third);
    QVERIFY(third.listen());
    QCOMPARE(cas.send(QX, qx::AM_Mezi, 2, 1000), Send::Sent);
    QTRY_COMPARE(thirdInbox.frames, (QList<Frame>{{qx::AM_Mezi, 2, 1000}}));
}

void TestChannel::framesInPiecesFromAForeignTool() {
    LocalChannel cas(Cas);
    Inbox inbox(cas);
    QVERIFY(cas.listen());
    const int fd = rawConnect(cas.socketPath());
    QVERIFY(fd >= 0);
    QByteArray stream = qx::encodeFrame({qx::AM_Nast, 0, 0}) + qx::encodeFrame({qx::AM_Form, 0, 0}) +
                        qx::encodeFrame({qx::AM_Text, 0, 0});
    const int pieces[] = {5, 13, 1, 11, 6};
    qsizetype pos = 0;
    for (int n : pieces) {
        QCOMPARE(::write(fd, stream.constData() + pos, size_t(n)), ssize_t(n));
        pos += n;
        QTRY_COMPARE(inbox.frames.size(), int(pos / qx::FrameSize));
    }
    // Ends in the middle of a fourth frame: that part is dropped, the three stay.
    QCOMPARE(::write(fd, "\xd5\x05", 2), ssize_t(2));
    ::close(fd);
    QTest::qWait(50);
    QCOMPARE(inbox.frames, (QList<Frame>{{qx::AM_Nast, 0, 0}, {qx::AM_Form, 0, 0}, {qx::AM_Text, 0, 0}}));
}

void TestChannel::staleSocketIsReplaced() {
    // A program that crashed left its socket file; nothing listens on it any more.
    const QString path = m_dir->filePath(Cas);
    const int dead = rawListen(path);
    QVERIFY(dead >= 0);
    ::close(dead);
    QVERIFY(QFile::exists(path));

    LocalChannel cas(Cas);
    Inbox inbox(cas);
    QVERIFY2(cas.listen(), qPrintable(cas.errorString()));
    LocalChannel qx(QX);
    QCOMPARE(qx.send(Cas, qx::AM_Text, 0, 0), Send::Sent);
    QTRY_COMPARE(inbox.frames.size(), 1);
}

void TestChannel::liveSocketIsNeverTakenOver() {
    {
        // A second copy of the program.
        LocalChannel first(Cas);
        Inbox inbox(first);
        QVERIFY(first.listen());
        LocalChannel second(Cas);
        QVERIFY(!second.listen());
        QCOMPARE(second.listenResult(), LocalChannel::ListenResult::NameInUse);
        QVERIFY(second.errorString().contains(Cas));
        LocalChannel qx(QX);
        QCOMPARE(qx.send(Cas, qx::AM_Text, 0, 0), Send::Sent);
        QTRY_COMPARE(inbox.frames.size(), 1);
    }
    // Another tool listening under the name without the lock file.
    const QString path = m_dir->filePath(QX);
    const int tool = rawListen(path);
    QVERIFY(tool >= 0);
    struct stat before {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
    LocalChannel qx(QX);
    QVERIFY(!qx.listen());
    QCOMPARE(qx.listenResult(), LocalChannel::ListenResult::NameInUse);
    struct stat after {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
    ::close(tool);
}

void TestChannel::otherFileAtTheNameIsLeftAlone() {
    QFile file(m_dir->filePath(Cas));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep");
    file.close();
    LocalChannel cas(Cas);
    QVERIFY(!cas.listen());
    QCOMPARE(cas.listenResult(), LocalChannel::ListenResult::Failed);
    QVERIFY(!cas.errorString().isEmpty());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep"));
}

void TestChannel::folderWithoutXdgRuntimeDir() {
    qunsetenv("XDG_RUNTIME_DIR");
    QString error;
    const QString dir = qx::channelDirectory(&error);
    QCOMPARE(dir, QStringLiteral("/tmp/qx-%1").arg(::geteuid()));
    struct stat st {};
    QCOMPARE(::lstat(QFile::encodeName(dir).constData(), &st), 0);
    QVERIFY(S_ISDIR(st.st_mode));
    QCOMPARE(st.st_mode & 0777, mode_t(0700));
    QCOMPARE(st.st_uid, ::geteuid());
    QCOMPARE(qx::channelSocketPath(Cas), dir + QStringLiteral("/TfrmCas"));
}

// A handler that sends (also to its own program) and runs a local event loop, as a modal box
// would: no other frame is handed out until it has returned, and the order stays.
void TestChannel::handlerIsNeverEnteredTwice() {
    LocalChannel qx(QX);
    QVERIFY(qx.listen());
    LocalChannel cas(Cas);
    int depth = 0;
    int maxDepth = 0;
    QList<qint32> order;
    connect(&qx, &LocalChannel::messageReceived, this, [&](quint32, qint32 w, qint32) {
        ++depth;
        maxDepth = qMax(maxDepth, depth);
        order.append(w);
        if (w == 1) {
            QCOMPARE(qx.send(QX, qx::AM_Mezi, 100, 0), Send::Sent);
            cas.send(QX, qx::AM_Mezi, 4, 0);
            QEventLoop loop;
            QTimer::singleShot(100, &loop, &QEventLoop::quit);
            loop.exec();
            order.append(-1); // the handler's end
        }
        --depth;
    });
    for (int w = 1; w <= 3; ++w)
        QCOMPARE(cas.send(QX, qx::AM_Mezi, w, 0), Send::Sent);
    QTRY_COMPARE(order.size(), 6);
    QCOMPARE(maxDepth, 1);
    QCOMPARE(order.mid(0, 4), (QList<qint32>{1, -1, 2, 3}));
    QVERIFY(order.contains(100) && order.contains(4));
}

void TestChannel::holdKeepsFramesWaiting() {
    LocalChannel qx(QX);
    Inbox inbox(qx);
    QVERIFY(qx.listen());
    LocalChannel cas(Cas);
    qx.holdDispatch();
    for (int w = 1; w <= 3; ++w)
        cas.send(QX, qx::AM_Mezi, w, 0);
    QTRY_COMPARE(qx.queuedFrames(), 3);
    QTest::qWait(20);
    QVERIFY(inbox.frames.isEmpty());
    qx.releaseDispatch();
    QTRY_COMPARE(inbox.frames.size(), 3);
    QCOMPARE(inbox.frames.at(0).wParam, 1);
    QCOMPARE(inbox.frames.at(2).wParam, 3);
}

// The exchanges both programs make: start-up requests and their answers (no device yet:
// settings byte 0), a lane set, one attack, a run with three splits in hundredths.
void TestChannel::exchangesOfBothPrograms() {
    LocalChannel cas(Cas);
    LocalChannel qx(QX);
    QVERIFY(cas.listen());
    QVERIFY(qx.listen());
    Inbox atQx(qx);
    connect(&cas, &LocalChannel::messageReceived, this, [&](quint32 m, qint32 w, qint32 l) {
        if (m == qx::AM_Nast && w == 0 && l == 0)
            cas.send(QX, qx::AM_Nast, 466, 0);
        else if (m == qx::AM_Form && w == 0 && l == 0)
            cas.send(QX, qx::AM_Form, 466, 0);
    });
    QCOMPARE(qx.send(Cas, qx::AM_Nast, 0, 0), Send::Sent);
    QCOMPARE(qx.send(Cas, qx::AM_Form, 0, 0), Send::Sent);
    QTRY_COMPARE(atQx.frames.size(), 2);
    QCOMPARE(atQx.frames, (QList<Frame>{{qx::AM_Nast, 466, 0}, {qx::AM_Form, 466, 0}}));
    atQx.frames.clear();

    const QList<Frame> run{
        {qx::AM_Cas1, 6, 18230}, {qx::AM_Cas1, 7, 19050}, {qx::AM_Cas1, 8, 20110}, // codes 6, 5, 8
        {qx::AM_Cas1, 0, 12345}, {qx::AM_Cas2, 2, 13456},                          // «12,345L 13,456»
        {qx::AM_Mezi, 0, 0},     {qx::AM_Mezi, 1, 420},   {qx::AM_Mezi, 2, 1000},
        {qx::AM_Mezi, 3, 1550},  {qx::AM_Mezi, 4, 550},
    };
    for (const Frame& f : run)
        QCOMPARE(cas.send(QX, f), Send::Sent);
    QTRY_COMPARE(atQx.frames.size(), run.size());
    QCOMPARE(atQx.frames, run);

    // What zapisnik makes of them for 466 with "setiny" announced.
    QStringList texts;
    for (const Frame& f : std::as_const(atQx.frames)) {
        if (f.message == qx::AM_Mezi && f.wParam > 0)
            texts << qx::splitTimeText(466, 0, f.lParam);
        else if (f.message != qx::AM_Mezi)
            texts << qx::finalTimeText(466, f.lParam);
    }
    QCOMPARE(texts, (QStringList{"18,230", "19,050", "20,110", "12,345", "13,456", "4,200", "10,000",
                                 "15,500", "5,500"}));
}

void TestChannel::secondProcessBothWays() {
    LocalChannel cas(Cas);
    Inbox inbox(cas);
    QVERIFY(cas.listen());
    QCOMPARE(cas.send(QX, qx::AM_Nast, 466, 10), Send::NoPeer);

    constexpr int N = 20000;
    QProcess* peer =
        startTool({QStringLiteral("listen"), QX, QStringLiteral("--count"), QString::number(N + 1)});
    QVERIFY(peer);
    cas.setSendBufferLimit(N * qx::FrameSize);
    QList<Frame> sent;
    for (int i = 0; i < N; ++i) {
        const Frame f{qx::AM_Mezi, i % 5, i - N / 2};
        QVERIFY(cas.send(QX, f) != Send::NoPeer);
        sent.append(f);
    }
    // The peer answers through its own socket: a line on its input becomes a frame to us.
    peer->write("TfrmCas AM_Form 466 1\n");
    QTRY_COMPARE(inbox.frames, (QList<Frame>{{qx::AM_Form, 466, 1}}));
    QCOMPARE(cas.send(QX, qx::AM_Text, 0, 0) != Send::NoPeer, true);
    sent.append(Frame{qx::AM_Text, 0, 0});
    QTRY_COMPARE_WITH_TIMEOUT(peer->state(), QProcess::NotRunning, 30000);
    QCOMPARE(peer->exitCode(), 0);
    QCOMPARE(parseLines(peer->readAllStandardOutput()), sent);
    QCOMPARE(cas.droppedCount(), 0u);
}

// zapisnik hangs (stopped with SIGSTOP): stopky goes on sending without waiting, holds at most
// its buffer limit, still reaches other peers, and the hung peer gets an unbroken prefix.
void TestChannel::peerThatStopsReadingDoesNotStopTheSender() {
    QProcess* peer = startTool({QStringLiteral("listen"), QX});
    QVERIFY(peer);
    LocalChannel cas(Cas);
    const qsizetype limit = 16 * 1024;
    cas.setSendBufferLimit(limit);
    QCOMPARE(cas.send(QX, qx::AM_Mezi, 0, 0), Send::Sent);
    QCOMPARE(::kill(pid_t(peer->processId()), SIGSTOP), 0);

    LocalChannel harness(QStringLiteral("harness"));
    Inbox harnessInbox(harness);
    QVERIFY(harness.listen());

    constexpr int N = 200000; // 2,4 MB: far more than the socket and the buffer hold
    int dropped = 0;
    for (int i = 1; i <= N; ++i) {
        if (cas.send(QX, qx::AM_Mezi, 1, i) == Send::Dropped) ++dropped;
        QVERIFY(cas.pendingBytes(QX) <= limit);
    }
    QVERIFY(dropped > 0);
    QCOMPARE(cas.droppedCount(), quint64(dropped));
    // Meanwhile the sender still serves others and its event loop turns.
    QCOMPARE(cas.send(QStringLiteral("harness"), qx::AM_Text, 7, 7), Send::Sent);
    QTRY_COMPARE(harnessInbox.frames.size(), 1);

    QCOMPARE(::kill(pid_t(peer->processId()), SIGCONT), 0);
    QTRY_COMPARE_WITH_TIMEOUT(cas.pendingBytes(QX), 0, 20000);
    QCOMPARE(cas.send(QX, qx::AM_Text, 0, 0), Send::Sent);

    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += peer->readAllStandardOutput()).endsWith("AM_Text 0 0\n"), 20000);
    const QList<Frame> got = parseLines(out);
    QVERIFY(got.size() > 2);
    QCOMPARE(got.first(), (Frame{qx::AM_Mezi, 0, 0}));
    QCOMPARE(got.last(), (Frame{qx::AM_Text, 0, 0}));
    for (qsizetype i = 1; i + 1 < got.size(); ++i)
        QCOMPARE(got.at(i), (Frame{qx::AM_Mezi, 1, qint32(i)}));
    QCOMPARE(got.size() - 2 + dropped, N);
}

void TestChannel::sameUserCheck() {
    int sv[2];
    QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM, 0, sv), 0);
    uint uid = 12345;
    QVERIFY(qx::peerIsSameUser(sv[0], &uid));
    QCOMPARE(uid, uint(::geteuid()));
    ::close(sv[0]);
    ::close(sv[1]);
    // No descriptor, or one that is not a socket: never accepted.
    QVERIFY(!qx::peerIsSameUser(-1));
    int pp[2];
    QCOMPARE(::pipe(pp), 0);
    QVERIFY(!qx::peerIsSameUser(pp[0]));
    ::close(pp[0]);
    ::close(pp[1]);
}

// As root the test can be another user in a forked child: its connection is closed unread,
// and a socket that it listens on is not sent to.
void TestChannel::otherUserIsRefused() {
    if (::geteuid() != 0) QSKIP("needs root to act as another user");
    constexpr uid_t nobody = 65534;
    QCOMPARE(::chmod(QFile::encodeName(m_dir->path()).constData(), 0777), 0);

    LocalChannel cas(Cas);
    Inbox inbox(cas);
    QSignalSpy rejected(&cas, &LocalChannel::peerRejected);
    QVERIFY(cas.listen());
    QCOMPARE(::chmod(QFile::encodeName(cas.socketPath()).constData(), 0666), 0);
    const QByteArray casPath = QFile::encodeName(cas.socketPath());
    const QByteArray qxPath = QFile::encodeName(m_dir->filePath(QX));

    const QByteArray frame = qx::encodeFrame({qx::AM_Text, 0, 0});
    int ready[2];
    int done[2];
    QCOMPARE(::pipe(ready), 0);
    QCOMPARE(::pipe(done), 0);
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        // Another user: send a frame to stopky, wait for it to hang up, then listen as zapisnik.
        ::close(ready[0]);
        ::close(done[1]);
        if (::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(10);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path, casPath.constData(), size_t(casPath.size()));
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) ::_exit(11);
        if (::write(fd, frame.constData(), size_t(frame.size())) != ssize_t(frame.size())) ::_exit(12);
        pollfd p{fd, POLLIN, 0};
        char c;
        if (::poll(&p, 1, 10000) != 1 || ::read(fd, &c, 1) > 0) ::_exit(13); // not hung up on
        ::close(fd);
        std::memset(&addr, 0, sizeof addr);
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path, qxPath.constData(), size_t(qxPath.size()));
        const int lfd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::bind(lfd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(lfd, 4) != 0)
            ::_exit(14);
        if (::write(ready[1], "r", 1) != 1) ::_exit(15);
        p = pollfd{done[0], POLLIN, 0}; // the parent closes its end when it has tried
        ::poll(&p, 1, 10000);
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(done[0]);
    QTRY_COMPARE(rejected.size(), 1);
    QCOMPARE(rejected.at(0).at(0).toUInt(), uint(nobody));
    QCOMPARE(cas.rejectedCount(), 1u);

    // Wait for the child's listener, then find that stopky will not send to it.
    pollfd p{ready[0], POLLIN, 0};
    QCOMPARE(::poll(&p, 1, 10000), 1);
    char c;
    QCOMPARE(::read(ready[0], &c, 1), ssize_t(1));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("held by user 65534"));
    QCOMPARE(cas.send(QX, qx::AM_Nast, 466, 10), Send::NoPeer);
    ::close(ready[0]);
    ::close(done[1]);

    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QVERIFY(inbox.frames.isEmpty());
}

// Without XDG_RUNTIME_DIR a program uses /tmp/qx-<uid>: made with mode 0700 when missing, and
// refused when someone has left it open to others or put a link there. Run as user 65534.
void TestChannel::fallbackFolderMustBeTheUsersOwn() {
    if (::geteuid() != 0) QSKIP("needs root to act as another user");
    constexpr uid_t nobody = 65534;
    // The build folder may lie where that user cannot go (a checkout in /root or in a folder made
    // by mktemp -d): the user runs a copy of the tool from a folder open to everyone.
    QTemporaryDir toolDir(QStringLiteral("/tmp/qx-msg-tool-XXXXXX"));
    QVERIFY(toolDir.isValid());
    const QString tool = toolDir.filePath(QStringLiteral("qx-msg"));
    QVERIFY(QFile::copy(QStringLiteral(QX_MSG_TOOL), tool));
    QCOMPARE(::chmod(QFile::encodeName(toolDir.path()).constData(), 0755), 0);
    QCOMPARE(::chmod(QFile::encodeName(tool).constData(), 0755), 0);
    // The folder is shared by every copy of this test on the machine: one at a time.
    const int lock = ::open("/tmp/qx-test-fallback.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    QVERIFY(lock >= 0);
    QCOMPARE(::flock(lock, LOCK_EX), 0);
    const auto unlock = qScopeGuard([lock] { ::close(lock); });
    const QString dir = QStringLiteral("/tmp/qx-%1").arg(nobody);
    const QByteArray nativeDir = QFile::encodeName(dir);
    auto removeDir = [&] {
        ::unlink(nativeDir.constData());
        QDir(dir).removeRecursively();
    };
    removeDir();

    auto run = [&](QProcess& p) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        p.setProcessEnvironment(env);
        p.setChildProcessModifier([] {
            if (::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(10);
        });
        p.start(tool, {QStringLiteral("listen"), Cas});
        QVERIFY(p.waitForStarted(5000));
    };

    {
        // Without arguments the tool prints its usage and ends with 1; any other outcome means
        // that the user cannot run it from /tmp at all (a noexec mount, a security module).
        QProcess probe;
        probe.setChildProcessModifier([] {
            if (::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(10);
        });
        probe.start(tool, {});
        if (!probe.waitForFinished(5000) || probe.exitStatus() != QProcess::NormalExit ||
            probe.exitCode() != 1)
            QSKIP(qPrintable(QStringLiteral("user %1 cannot run %2 (%3, exit code %4): /tmp does not let "
                                            "programs run, so the fallback folder cannot be tried")
                                 .arg(nobody)
                                 .arg(tool, probe.errorString())
                                 .arg(probe.exitCode())));
    }

    {
        QProcess p;
        run(p);
        QVERIFY(p.waitForReadyRead(5000));
        QCOMPARE(p.readLine().trimmed(), QByteArray("listening TfrmCas"));
        struct stat st {};
        QCOMPARE(::lstat(nativeDir.constData(), &st), 0);
        QVERIFY(S_ISDIR(st.st_mode));
        QCOMPARE(st.st_mode & 0777, mode_t(0700));
        QCOMPARE(st.st_uid, nobody);
        p.terminate();
        QVERIFY(p.waitForFinished(5000));
    }
    QCOMPARE(::chmod(nativeDir.constData(), 0755), 0);
    {
        QProcess p;
        run(p);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(dir));
    }
    removeDir();
    QCOMPARE(::chown(QFile::encodeName(m_dir->path()).constData(), nobody, nobody), 0);
    QCOMPARE(::symlink(QFile::encodeName(m_dir->path()).constData(), nativeDir.constData()), 0);
    {
        QProcess p;
        run(p);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 2);
    }
    removeDir();
}

// A local flood of connections: the listener holds at most its limit and closes the others at
// once, unread; the connections it holds still deliver, and a place freed is taken again.
void TestChannel::connectionsAreCapped() {
    LocalChannel cas(Cas);
    Inbox inbox(cas);
    QVERIFY(cas.listen());
    constexpr int limit = LocalChannel::kMaxConnections;
    QList<int> fds;
    const auto closeAll = qScopeGuard([&] {
        for (int fd : std::as_const(fds))
            ::close(fd);
    });
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("already holds"));
    for (int i = 0; i < 3 * limit; ++i) {
        const int fd = rawConnect(cas.socketPath());
        if (fd >= 0) fds.append(fd);
        if (i % 8 == 7) QTest::qWait(5); // the listener accepts from its event loop
    }
    QTRY_COMPARE(cas.connectionCount() + qsizetype(cas.refusedCount()), fds.size());
    QCOMPARE(cas.connectionCount(), limit);
    QVERIFY(fds.size() > limit);

    // Which ones were closed: those that read an end of stream.
    QList<int> held;
    for (int fd : std::as_const(fds)) {
        pollfd p{fd, POLLIN, 0};
        char c;
        if (::poll(&p, 1, 0) == 1 && ::read(fd, &c, 1) == 0) continue;
        held.append(fd);
    }
    QCOMPARE(held.size(), limit);
    const QByteArray frame = qx::encodeFrame({qx::AM_Text, 0, 0});
    QCOMPARE(::write(held.last(), frame.constData(), size_t(frame.size())), ssize_t(frame.size()));
    QTRY_COMPARE(inbox.frames.size(), 1);

    ::close(held.first());
    fds.removeOne(held.first());
    QTRY_COMPARE(cas.connectionCount(), limit - 1);
    const int again = rawConnect(cas.socketPath());
    QVERIFY(again >= 0);
    fds.append(again);
    QTRY_COMPARE(cas.connectionCount(), limit);
    QCOMPARE(::write(again, frame.constData(), size_t(frame.size())), ssize_t(frame.size()));
    QTRY_COMPARE(inbox.frames.size(), 2);
}

// A program claims its name at its very start and hands the socket to the window's channel: in
// between the name stays taken for any other program, and the window's channel then listens on
// the same socket (a connection made meanwhile is not lost).
void TestChannel::handOverKeepsTheNameTaken() {
    auto early = std::make_unique<LocalChannel>(QX);
    QVERIFY(early->listen());
    const QString path = early->socketPath();
    struct stat before {};
    QCOMPARE(::lstat(QFile::encodeName(path).constData(), &before), 0);
    early->handOver();
    QVERIFY(!early->isListening());
    early.reset(); // the socket file stays: it is still in use

    // Another copy of the program (a second process) cannot have the name.
    QProcess* copy = startTool({QStringLiteral("listen"), QX});
    QVERIFY(!copy || copy->waitForFinished(5000));
    QCOMPARE(copy ? copy->exitCode() : 2, 2);
    LocalChannel cas(Cas);
    QCOMPARE(cas.send(QX, qx::AM_Nast, 466, 10), Send::Sent);

    LocalChannel window(QX);
    Inbox inbox(window);
    QVERIFY(window.listen());
    QCOMPARE(window.socketPath(), path);
    struct stat after {};
    QCOMPARE(::lstat(QFile::encodeName(path).constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(cas.send(QX, qx::AM_Form, 466, 1), Send::Sent);
    QTRY_COMPARE(inbox.frames, (QList<Frame>{{qx::AM_Nast, 466, 10}, {qx::AM_Form, 466, 1}}));

    // A channel of that name made later in the same process listens anew, as before.
    LocalChannel second(QX);
    QVERIFY(!second.listen());
    QCOMPARE(second.listenResult(), LocalChannel::ListenResult::NameInUse);
}

void TestChannel::whatTheOperatorIsTold_data() {
    QTest::addColumn<QString>("runtimeDir"); // relative to the test's folder
    QTest::addColumn<bool>("otherCopyRuns");
    QTest::addColumn<bool>("alreadyRunning");
    QTest::addColumn<QString>("told"); // a part of the text; empty: nothing is told

    QTest::newRow("listening") << QString() << false << false << QString();
    QTest::newRow("second copy") << QString() << true << true << QStringLiteral("Program stopky už běží");
    QTest::newRow("folder missing") << QStringLiteral("missing") << false << false
                                    << QStringLiteral("nemůže přijímat zprávy od programu zapisnik");
    QTest::newRow("path too long") << QStringLiteral("d").repeated(120) << false << false
                                   << QStringLiteral("delší, než systém dovolí");
}

void TestChannel::whatTheOperatorIsTold() {
    QFETCH(QString, runtimeDir);
    QFETCH(bool, otherCopyRuns);
    QFETCH(bool, alreadyRunning);
    QFETCH(QString, told);

    if (!runtimeDir.isEmpty()) {
        const QString dir = m_dir->filePath(runtimeDir);
        if (runtimeDir != u"missing") QVERIFY(QDir().mkpath(dir));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir));
    }
    if (otherCopyRuns) QVERIFY(startTool({QStringLiteral("listen"), Cas}));

    LocalChannel cas(Cas);
    cas.listen();
    const qx::ListenProblem problem =
        qx::listenProblem(cas, QStringLiteral("stopky"), QStringLiteral("zapisnik"));
    QCOMPARE(problem.alreadyRunning, alreadyRunning);
    if (told.isEmpty())
        QVERIFY2(problem.text.isEmpty(), qPrintable(problem.text));
    else
        QVERIFY2(problem.text.contains(told), qPrintable(problem.text));
    // Whatever went wrong is in the text, not only that something did.
    if (!alreadyRunning && !told.isEmpty()) QVERIFY(problem.text.contains(cas.errorString()));
}

QTEST_GUILESS_MAIN(TestChannel)
#include "tst_channel.moc"
