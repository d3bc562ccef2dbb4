#include "settings/ConfigDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace qx {

QString configDir(const QString& programDir) {
    const QString env = qEnvironmentVariable("QX_CONFIG_DIR");
    if (!env.isEmpty()) return QDir::cleanPath(env);
    if (!programDir.isEmpty()) {
        const QFileInfo fi(programDir);
        if (fi.isDir() && fi.isWritable()) return QDir::cleanPath(programDir);
    }
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/qx"));
}

QString configDir() {
    return configDir(QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString());
}

QString dataDir(const QString& programDir) {
    const QString env = qEnvironmentVariable("QX_CONFIG_DIR");
    if (!env.isEmpty()) return QDir::cleanPath(env);
    if (!programDir.isEmpty()) {
        const QFileInfo fi(programDir);
        if (fi.isDir() && fi.isWritable()) return QDir::cleanPath(programDir);
    }
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/qx"));
}

QString dataDir() {
    return dataDir(QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString());
}

QString configPath(const QString& fileName) {
    return configDir() + QLatin1Char('/') + fileName;
}

QString journalDir() {
    const QString config = qEnvironmentVariable("QX_CONFIG_DIR");
    if (!config.isEmpty()) return QDir::cleanPath(config);
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(state + QStringLiteral("/qx"));
}

} // namespace qx
