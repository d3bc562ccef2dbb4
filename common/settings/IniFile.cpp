#include "settings/IniFile.h"

#include "settings/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

// UTF-8 text is kept as bytes (validated before loading). Debian's SimpleIni keeps the template
// bodies behind SI_IMPLEMENTATION and ships no ConvertUTF.h; both are settled here.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <cerrno>
#include <string>

namespace qx {

namespace {

// Text of the file as UTF-8: kept when it is valid UTF-8, else read as Windows-1250.
QByteArray asUtf8(const QByteArray& raw) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(raw);
    if (!utf8.hasError()) return raw;
    QStringDecoder cp1250("windows-1250");
    if (cp1250.isValid()) return QString(cp1250.decode(raw)).toUtf8();
    return QString::fromLatin1(raw).toUtf8();
}

} // namespace

struct IniFile::Impl {
    CSimpleIniA ini;
    Impl() {
        ini.SetUnicode(true); // the stored text is UTF-8
        ini.SetMultiKey(false);
        ini.SetMultiLine(false);
        ini.SetQuotes(true);  // a value in double quotes keeps its outer blanks
        ini.SetSpaces(false); // "Key=Value", as the old profile functions wrote it
    }
};

IniFile::IniFile() : d(std::make_unique<Impl>()) {}

IniFile::~IniFile() = default;

bool IniFile::load(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray data = asUtf8(f.readAll());
    return d->ini.LoadData(data.constData(), size_t(data.size())) >= 0;
}

bool IniFile::has(const char* section, const char* key) const {
    return d->ini.GetValue(section, key, nullptr) != nullptr;
}

QString IniFile::text(const char* section, const char* key, const QString& def) const {
    const char* v = d->ini.GetValue(section, key, nullptr);
    return v ? QString::fromUtf8(v) : def;
}

int IniFile::integer(const char* section, const char* key, int def) const {
    const char* v = d->ini.GetValue(section, key, nullptr);
    if (!v) return def;
    bool ok = false;
    const int n = QString::fromUtf8(v).trimmed().toInt(&ok, 10);
    return ok ? n : def;
}

void IniFile::setText(const char* section, const char* key, QString value) {
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const bool edgeBlank = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
    const bool quoted =
        value.size() >= 2 && value.front() == QLatin1Char('"') && value.back() == QLatin1Char('"');
    if (edgeBlank || quoted) value = QLatin1Char('"') + value + QLatin1Char('"');
    d->ini.SetValue(section, key, value.toUtf8().constData());
}

void IniFile::setInteger(const char* section, const char* key, int value) {
    d->ini.SetValue(section, key, std::to_string(value).c_str());
}

bool IniFile::save(const QString& path, QString* error) const {
    std::string out;
    int err = 0;
    if (d->ini.Save(out) < 0)
        err = ENOMEM;
    else if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        err = errno ? errno : EACCES;
    else
        err = replaceFile(path, QByteArray(out.data(), qsizetype(out.size())));
    if (err != 0 && error) *error = replaceFileError(path, err);
    return err == 0;
}

} // namespace qx
