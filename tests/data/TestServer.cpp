#include "TestServer.h"

#include <mysql.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString script() {
    return QStringLiteral(QX_SOURCE_DIR "/scripts/mariadb.sh");
}

bool run(const QStringList& args, const QStringList& env, QString* why) {
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString& pair : env) {
        const qsizetype eq = pair.indexOf(u'=');
        e.insert(pair.left(eq), pair.mid(eq + 1));
    }
    p.setProcessEnvironment(e);
    p.start(QStringLiteral("bash"), QStringList{script()} + args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (why) *why = QString::fromLocal8Bit(p.readAllStandardError());
        return false;
    }
    return true;
}

} // namespace

TestServer::TestServer(const QString& dir) : dir_(dir), port_(freePort()) {}

TestServer::~TestServer() {
    resume();
    stop();
}

quint16 TestServer::freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    quint16 port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

bool TestServer::start(QString* why, const QStringList& env) {
    return run({QStringLiteral("start"), dir_},
               QStringList{u"QX_DB_TCP_PORT="_qs + QString::number(port_)} + env, why);
}

bool TestServer::stop() {
    return run({QStringLiteral("stop"), dir_}, {}, nullptr);
}

qint64 TestServer::pid() const {
    QFile f(dir_ + u"/mysqld.pid"_qs);
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const qint64 p = f.readAll().trimmed().toLongLong();
    return p > 0 && ::kill(pid_t(p), 0) == 0 ? p : 0;
}

void TestServer::pause() {
    const qint64 p = pid();
    if (!p) return;
    ::kill(pid_t(p), SIGSTOP);
    // The signal reaches every thread of the server a moment later: until then a statement could
    // still be answered. Stopped, the process's state in /proc is 'T'.
    QFile stat(u"/proc/%1/stat"_qs.arg(p));
    for (int i = 0; i < 1000; ++i) {
        if (!stat.open(QIODevice::ReadOnly)) return;
        const QByteArray s = stat.readAll();
        stat.close();
        const qsizetype end = s.lastIndexOf(')');
        if (end >= 0 && s.mid(end + 2, 1) == "T") return;
        ::usleep(1000);
    }
}

void TestServer::resume() {
    if (const qint64 p = pid()) ::kill(pid_t(p), SIGCONT);
}

QByteArray TestServer::socket() const {
    return (dir_ + u"/mysqld.sock"_qs).toLocal8Bit();
}

bool TestServer::exec(const QByteArray& sql, QString* why) const {
    MYSQL* c = mysql_init(nullptr);
    unsigned timeout = 10;
    mysql_options(c, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    bool ok = mysql_real_connect(c, "localhost", "root", "", nullptr, 0, socket().constData(), 0) &&
              mysql_real_query(c, sql.constData(), static_cast<unsigned long>(sql.size())) == 0;
    if (!ok && why) *why = QString::fromUtf8(mysql_error(c));
    mysql_close(c);
    return ok;
}
