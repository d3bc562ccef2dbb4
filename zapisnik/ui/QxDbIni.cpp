#include "QxDbIni.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

// Text is kept as UTF-8 bytes. Debian's SimpleIni keeps the template bodies
// behind SI_IMPLEMENTATION; they are compiled here.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <string>

namespace qx {

namespace {

QByteArray asUtf8(const QByteArray& raw) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(raw);
    if (!utf8.hasError())
        return raw;
    QStringDecoder cp1250("windows-1250");
    if (cp1250.isValid())
        return QString(cp1250.decode(raw)).toUtf8();
    return QString::fromLatin1(raw).toUtf8();
}

void configure(CSimpleIniA& ini) {
    ini.SetUnicode(true);
    ini.SetMultiKey(false);
    ini.SetMultiLine(false);
    ini.SetQuotes(true);
    ini.SetSpaces(false);
}

bool loadFile(CSimpleIniA& ini, const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = asUtf8(f.readAll());
    return ini.LoadData(data.constData(), size_t(data.size())) >= 0;
}

QString readText(const CSimpleIniA& ini, const char* section, const char* key, const QString& def) {
    const char* v = ini.GetValue(section, key, nullptr);
    return v ? QString::fromUtf8(v) : def;
}

// One line per value; blanks at either end, or outer double quotes, are kept
// by quoting the whole value.
void writeText(CSimpleIniA& ini, const char* section, const char* key, QString value) {
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const bool edgeBlank = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
    const bool quoted = value.size() >= 2 && value.front() == u'"' && value.back() == u'"';
    if (edgeBlank || quoted)
        value = u'"' + value + u'"';
    ini.SetValue(section, key, value.toUtf8().constData());
}

} // namespace

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

QString qxDbIniPath() {
    const QString programDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    return qxConfigDir(programDir) + QStringLiteral("/qx_db.ini");
}

QxDbIni readQxDbIni(const QString& path) {
    QxDbIni v;
    CSimpleIniA ini;
    configure(ini);
    if (!loadFile(ini, path))
        return v;
    v.poradatel = readText(ini, "Poradatel", "P1", v.poradatel);
    if (const char* m = ini.GetValue("Mezicas", "M1", nullptr)) {
        bool ok = false;
        const int n = QString::fromUtf8(m).trimmed().toInt(&ok, 10);
        v.mezicas = ok ? n : 1;
    }
    v.m1 = readText(ini, "Oznac_mezi", "M1", v.m1);
    v.m2 = readText(ini, "Oznac_mezi", "M2", v.m2);
    v.m3 = readText(ini, "Oznac_mezi", "M3", v.m3);
    v.m4 = readText(ini, "Oznac_mezi", "M4", v.m4);
    return v;
}

bool writeQxDbIni(const QString& path, const QxDbIni& v, QString* error) {
    CSimpleIniA ini;
    configure(ini);
    loadFile(ini, path); // a missing file starts empty
    writeText(ini, "Poradatel", "P1", v.poradatel);
    ini.SetValue("Mezicas", "M1", std::to_string(v.mezicas).c_str());
    writeText(ini, "Oznac_mezi", "M1", v.m1);
    writeText(ini, "Oznac_mezi", "M2", v.m2);
    writeText(ini, "Oznac_mezi", "M3", v.m3);
    writeText(ini, "Oznac_mezi", "M4", v.m4);
    std::string out;
    if (ini.Save(out) < 0) {
        if (error)
            *error = QStringLiteral("Nastavení nelze uložit.");
        return false;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(out.data(), qint64(out.size())) != qint64(out.size())
        || !f.commit()) {
        if (error)
            *error = QStringLiteral("Soubor %1 nelze zapsat: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

} // namespace qx
