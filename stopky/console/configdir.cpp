#include "configdir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace stopky {

QString qxConfigDir(const QString& programDir) {
    const QString env = qEnvironmentVariable("QX_CONFIG_DIR");
    if (!env.isEmpty())
        return QDir::cleanPath(env);
    if (!programDir.isEmpty()) {
        const QFileInfo fi(programDir);
        if (fi.isDir() && fi.isWritable())
            return QDir::cleanPath(programDir);
    }
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/qx"));
}

QString qxConfigDir() {
    const QString programDir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    return qxConfigDir(programDir);
}

QString qxConfigPath(const QString& fileName) {
    return qxConfigDir() + QLatin1Char('/') + fileName;
}

bool ensureConfigDir(const QString& filePath) {
    const QString dir = QFileInfo(filePath).absolutePath();
    return QDir().mkpath(dir);
}

} // namespace stopky
