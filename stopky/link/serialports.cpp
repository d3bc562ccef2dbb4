#include "serialports.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>

#include <algorithm>

#include <cerrno>
#include <signal.h>

namespace stopky {

namespace {

struct Found {
    int kind;
    int number;
    QString path;
};

bool uartAbsent(const QString& sysTtyDir, const QString& name) {
    QFile type(sysTtyDir + QLatin1Char('/') + name + QStringLiteral("/type"));
    if (!type.open(QIODevice::ReadOnly)) return false; // no information: list it
    return type.readAll().trimmed() == "0";
}

bool lockedByLiveProcess(const QStringList& lockDirs, const QString& name) {
    for (const QString& dir : lockDirs) {
        const QString path = dir + QStringLiteral("/LCK..") + name;
        if (!QFileInfo::exists(path)) continue;
        qint64 pid = 0;
        QString host, app;
        QLockFile lock(path);
        if (lock.getLockInfo(&pid, &host, &app)) {
            if (pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM)) return true;
            continue;
        }
        // A lock file in the older UUCP form: the owner's number as text.
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) {
            bool ok = false;
            pid = f.readAll().trimmed().toLongLong(&ok);
            if (ok && pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM)) return true;
        }
    }
    return false;
}

} // namespace

QStringList scanSerialPorts(int limit, const QString& devDir, const QString& sysTtyDir,
                            const QStringList& lockDirs) {
    static const QRegularExpression re(QStringLiteral("^tty(S|USB|ACM)(\\d+)$"));
    std::vector<Found> found;
    const QStringList names = QDir(devDir).entryList(
        {QStringLiteral("ttyS*"), QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")},
        QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const auto m = re.match(name);
        if (!m.hasMatch()) continue;
        const QString kindText = m.captured(1);
        const int kind = kindText == QLatin1String("S") ? 0 : kindText == QLatin1String("USB") ? 1 : 2;
        if (kind == 0 && uartAbsent(sysTtyDir, name)) continue;
        if (lockedByLiveProcess(lockDirs, name)) continue;
        found.push_back({kind, m.captured(2).toInt(), devDir + QLatin1Char('/') + name});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.kind != b.kind ? a.kind < b.kind : a.number < b.number;
    });
    QStringList out;
    for (const Found& f : found) {
        if (out.size() >= limit) break;
        out << f.path;
    }
    return out;
}

QStringList portList(const QString& extraFirst) {
    QStringList out;
    if (!extraFirst.isEmpty()) out << extraFirst;
    const QString extraCanonical = QFileInfo(extraFirst).canonicalFilePath();
    for (const QString& p : scanSerialPorts(10)) {
        if (out.size() >= 10) break;
        if (p == extraFirst ||
            (!extraCanonical.isEmpty() && QFileInfo(p).canonicalFilePath() == extraCanonical))
            continue;
        out << p;
    }
    return out;
}

QString portArgument(const QStringList& arguments) {
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("--port") && i + 1 < arguments.size()) return arguments.at(i + 1);
        if (a.startsWith(QLatin1String("--port="))) return a.mid(7);
    }
    return {};
}

} // namespace stopky
