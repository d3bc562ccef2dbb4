#include "qxini.h"

#include "configdir.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

// UTF-8 text is kept as bytes; it is validated before loading (asUtf8). Debian's SimpleIni keeps
// the template bodies behind SI_IMPLEMENTATION; they are compiled here.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <string>

namespace stopky {

namespace {

constexpr const char* kCas = "Cas";
constexpr const char* kLed = "LED";

// Text of the file as UTF-8: kept when it is valid UTF-8, else read as Windows-1250.
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
    ini.SetUnicode(true);     // the stored text is UTF-8
    ini.SetMultiKey(false);
    ini.SetMultiLine(false);
    ini.SetQuotes(true);      // a value in double quotes keeps its outer blanks
    ini.SetSpaces(false);     // "Key=Value" as the profile functions write it
}

bool loadFile(CSimpleIniA& ini, const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = asUtf8(f.readAll());
    return ini.LoadData(data.constData(), size_t(data.size())) >= 0;
}

int readInt(const CSimpleIniA& ini, const char* section, const char* key, int def) {
    const char* v = ini.GetValue(section, key, nullptr);
    if (!v)
        return def;
    bool ok = false;
    const int n = QString::fromUtf8(v).trimmed().toInt(&ok, 10);
    return ok ? n : def;
}

QString readText(const CSimpleIniA& ini, const char* section, const char* key) {
    const char* v = ini.GetValue(section, key, nullptr);
    return v ? QString::fromUtf8(v) : QString();
}

void writeInt(CSimpleIniA& ini, const char* section, const char* key, int value) {
    ini.SetValue(section, key, std::to_string(value).c_str());
}

// A text is stored on one line. Line breaks cannot be kept and become blanks. A text with blanks at
// either end, or one that itself starts and ends with a double quote, is written in double quotes,
// which the reader removes again.
void writeText(CSimpleIniA& ini, const char* section, const char* key, QString value) {
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const bool edgeBlank = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
    const bool quoted = value.size() >= 2 && value.front() == QLatin1Char('"') &&
                        value.back() == QLatin1Char('"');
    if (edgeBlank || quoted)
        value = QLatin1Char('"') + value + QLatin1Char('"');
    ini.SetValue(section, key, value.toUtf8().constData());
}

} // namespace

QString qxIniPath() {
    return qxConfigPath(QStringLiteral("qx.ini"));
}

QxIni readQxIni(const QString& path) {
    QxIni v;
    CSimpleIniA ini;
    configure(ini);
    if (!loadFile(ini, path))
        return v;
    v.casLeft = readInt(ini, kCas, "Left", v.casLeft);
    v.casHeight = readInt(ini, kCas, "Height", v.casHeight);
    v.casTop = readInt(ini, kCas, "Top", v.casTop);
    v.casWidth = readInt(ini, kCas, "Width", v.casWidth);
    v.typ = readInt(ini, kCas, "Typ", v.typ);
    v.format = readInt(ini, kLed, "Format", v.format);
    v.m0 = readText(ini, kLed, "M0");
    v.m1 = readText(ini, kLed, "M1");
    v.m2 = readText(ini, kLed, "M2");
    v.mr = readText(ini, kLed, "MR");
    v.ledLeft = readInt(ini, kLed, "Left", v.ledLeft);
    v.ledHeight = readInt(ini, kLed, "Height", v.ledHeight);
    v.ledTop = readInt(ini, kLed, "Top", v.ledTop);
    v.ledWidth = readInt(ini, kLed, "Width", v.ledWidth);
    return v;
}

bool writeQxIni(const QString& path, const QxIni& v, bool writeTyp) {
    CSimpleIniA ini;
    configure(ini);
    loadFile(ini, path); // a missing file starts empty

    writeInt(ini, kLed, "Format", v.format);
    writeText(ini, kLed, "M0", v.m0);
    writeText(ini, kLed, "M1", v.m1);
    writeText(ini, kLed, "M2", v.m2);
    writeText(ini, kLed, "MR", v.mr);
    writeInt(ini, kLed, "Left", v.ledLeft);
    writeInt(ini, kLed, "Height", v.ledHeight);
    writeInt(ini, kLed, "Top", v.ledTop);
    writeInt(ini, kLed, "Width", v.ledWidth);

    writeInt(ini, kCas, "Left", v.casLeft);
    writeInt(ini, kCas, "Height", v.casHeight);
    writeInt(ini, kCas, "Top", v.casTop);
    writeInt(ini, kCas, "Width", v.casWidth);
    if (writeTyp)
        writeInt(ini, kCas, "Typ", v.typ);

    std::string out;
    if (ini.Save(out) < 0)
        return false;
    if (!ensureConfigDir(path))
        return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(out.data(), qint64(out.size()));
    return f.commit();
}

} // namespace stopky
