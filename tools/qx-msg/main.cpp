// qx-msg: speaks the local channel of stopky and zapisnik from the command line.
//
//   qx-msg send PEER MSG WPARAM LPARAM [MSG WPARAM LPARAM ...]
//       sends the frames to the program listening as PEER ("TfrmCas", "TfrmQX");
//       MSG is a number or a name such as AM_Nast. Exit 0 sent, 2 nobody listens, 3 not taken.
//   qx-msg listen NAME [--count N]
//       listens as NAME and prints "listening NAME", then one line per received frame:
//       "AM_Nast 466 10". Lines "PEER MSG WPARAM LPARAM" on standard input are sent.
//       Ends after N frames when --count is given, else when stopped (Ctrl+C).

#include "messages/LocalChannel.h"
#include "messages/Messages.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

void usage() {
    std::fputs("Použití: qx-msg send PEER MSG WPARAM LPARAM [MSG WPARAM LPARAM ...]\n"
               "         qx-msg listen NAME [--count N]\n",
               stderr);
}

bool parseFrame(const QStringList& parts, qsizetype at, qx::Frame& frame) {
    const auto message = qx::messageFromName(parts.value(at));
    bool okW = false;
    bool okL = false;
    frame.wParam = parts.value(at + 1).toInt(&okW);
    frame.lParam = parts.value(at + 2).toInt(&okL);
    if (!message || !okW || !okL) return false;
    frame.message = *message;
    return true;
}

int sendFrames(QCoreApplication& app, const QStringList& args) {
    if (args.size() < 6 || (args.size() - 3) % 3 != 0) {
        usage();
        return 1;
    }
    const QString peer = args.at(2);
    QList<qx::Frame> frames;
    for (qsizetype i = 3; i < args.size(); i += 3) {
        qx::Frame f;
        if (!parseFrame(args, i, f)) {
            usage();
            return 1;
        }
        frames.append(f);
    }
    qx::LocalChannel channel(QStringLiteral("qx-msg"));
    for (const qx::Frame& f : std::as_const(frames)) {
        const auto r = channel.send(peer, f);
        if (r == qx::LocalChannel::SendResult::NoPeer) {
            std::fprintf(stderr, "qx-msg: jako %s nikdo nenaslouchá\n", qPrintable(peer));
            return 2;
        }
        if (r == qx::LocalChannel::SendResult::Dropped) {
            std::fprintf(stderr, "qx-msg: %s nepřijímá\n", qPrintable(peer));
            return 3;
        }
    }
    // Let the rest of the buffer go out, for at most two seconds.
    QTimer poll;
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        if (channel.pendingBytes(peer) == 0 || !channel.hasConnection(peer))
            app.exit(channel.pendingBytes(peer) == 0 && channel.hasConnection(peer) ? 0 : 3);
    });
    QObject::connect(&giveUp, &QTimer::timeout, &app, [&] { app.exit(3); });
    if (channel.pendingBytes(peer) == 0) return 0;
    poll.start(10);
    giveUp.start(2000);
    return app.exec();
}

int listenAs(QCoreApplication& app, const QStringList& args) {
    if (args.size() != 3 && !(args.size() == 5 && args.at(3) == u"--count")) {
        usage();
        return 1;
    }
    qint64 remaining = -1;
    if (args.size() == 5) {
        bool ok = false;
        remaining = args.at(4).toLongLong(&ok);
        if (!ok || remaining < 1) {
            usage();
            return 1;
        }
    }
    qx::LocalChannel channel(args.at(2));
    if (!channel.listen()) {
        std::fprintf(stderr, "qx-msg: %s\n", qPrintable(channel.errorString()));
        return 2;
    }
    QObject::connect(&channel, &qx::LocalChannel::messageReceived, &app,
                     [&](quint32 message, qint32 w, qint32 l) {
                         std::printf("%s %d %d\n", qPrintable(qx::messageName(message)), w, l);
                         std::fflush(stdout);
                         if (remaining > 0 && --remaining == 0) app.quit();
                     });

    QByteArray input;
    QSocketNotifier stdinNotifier(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&stdinNotifier, &QSocketNotifier::activated, &app, [&] {
        char buf[4096];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            stdinNotifier.setEnabled(false); // no more to send; go on listening
            return;
        }
        input.append(buf, n);
        qsizetype eol;
        while ((eol = input.indexOf('\n')) >= 0) {
            const QStringList parts = QString::fromUtf8(input.left(eol)).simplified().split(u' ');
            input.remove(0, eol + 1);
            qx::Frame f;
            if (parts.size() == 4 && parseFrame(parts, 1, f))
                channel.send(parts.at(0), f);
            else if (!parts.value(0).isEmpty())
                std::fprintf(stderr, "qx-msg: nesrozumitelný řádek\n");
        }
    });

    std::printf("listening %s\n", qPrintable(channel.name()));
    std::fflush(stdout);
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == u"send") return sendFrames(app, args);
    if (args.value(1) == u"listen") return listenAs(app, args);
    usage();
    return 1;
}
