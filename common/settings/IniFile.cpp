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
#include <optional>
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

const QByteArray kBomUtf8("\xEF\xBB\xBF");
const QByteArray kBomUtf16LE("\xFF\xFE");
const QByteArray kBomUtf16BE("\xFE\xFF");

} // namespace

struct IniFile::Impl {
    enum class Encoding { Utf8, Utf8Bom, Utf16LE, Utf16BE };

    CSimpleIniA ini;
    LoadResult loaded = LoadResult::Missing;
    QString loadError;
    Encoding encoding = Encoding::Utf8;

    Impl() { configure(); }
    void configure() {
        ini.SetUnicode(true); // the stored text is UTF-8
        ini.SetMultiKey(false);
        ini.SetMultiLine(false);
        ini.SetQuotes(true);  // a value in double quotes keeps its outer blanks
        ini.SetSpaces(false); // "Key=Value", as the old profile functions wrote it
    }

    // The file's text as UTF-8, with its encoding noted; an empty optional and *reason when it
    // is no text this reader knows.
    std::optional<QByteArray> decode(const QByteArray& raw, QString* reason) {
        if (raw.startsWith(kBomUtf16LE) || raw.startsWith(kBomUtf16BE)) {
            const bool le = raw.startsWith(kBomUtf16LE);
            QStringDecoder utf16(le ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                                 QStringDecoder::Flag::Stateless);
            const QString text = utf16.decode(QByteArrayView(raw).sliced(2));
            if (utf16.hasError() || text.contains(QChar(0))) {
                *reason = QStringLiteral("není to platný text v UTF-16");
                return std::nullopt;
            }
            encoding = le ? Encoding::Utf16LE : Encoding::Utf16BE;
            return text.toUtf8();
        }
        QByteArray body = raw;
        if (body.startsWith(kBomUtf8)) {
            encoding = Encoding::Utf8Bom;
            body.remove(0, kBomUtf8.size());
        }
        if (body.contains('\0')) {
            *reason = QStringLiteral("obsahuje nulové bajty, není to text (text v UTF-16 musí začínat "
                                     "značkou pořadí bajtů)");
            return std::nullopt;
        }
        return asUtf8(body);
    }

    QByteArray encode(const std::string& utf8) const {
        const QByteArray out(utf8.data(), qsizetype(utf8.size()));
        switch (encoding) {
        case Encoding::Utf8:
            return out;
        case Encoding::Utf8Bom:
            return kBomUtf8 + out;
        case Encoding::Utf16LE:
        case Encoding::Utf16BE: {
            QStringEncoder utf16(encoding == Encoding::Utf16LE ? QStringEncoder::Utf16LE
                                                               : QStringEncoder::Utf16BE,
                                 QStringEncoder::Flag::WriteBom);
            return utf16.encode(QString::fromUtf8(out));
        }
        }
        return out;
    }
};

IniFile::IniFile() : d(std::make_unique<Impl>()) {}

IniFile::~IniFile() = default;

IniFile::LoadResult IniFile::load(const QString& path, QString* error) {
    d->ini.Reset();
    d->configure();
    d->encoding = Impl::Encoding::Utf8;
    d->loadError.clear();
    const auto unreadable = [&](const QString& reason) {
        d->loaded = LoadResult::Unreadable;
        d->loadError = QStringLiteral("Soubor nastavení „%1“ nelze přečíst: %2.")
                           .arg(QDir::toNativeSeparators(path), reason);
        if (error) *error = d->loadError;
        return d->loaded;
    };
    const QFileInfo info(path);
    if (!info.exists()) return d->loaded = LoadResult::Missing;
    if (info.isDir()) return unreadable(QStringLiteral("je to složka"));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return unreadable(info.isReadable() ? f.errorString() : QStringLiteral("chybí právo ho číst"));
    const QByteArray raw = f.readAll();
    if (f.error() != QFileDevice::NoError) return unreadable(f.errorString());
    QString reason;
    const std::optional<QByteArray> data = d->decode(raw, &reason);
    if (!data) return unreadable(reason);
    if (d->ini.LoadData(data->constData(), size_t(data->size())) < 0)
        return unreadable(QStringLiteral("jeho obsahu program nerozumí"));
    return d->loaded = LoadResult::Loaded;
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
    if (d->loaded == LoadResult::Unreadable) {
        if (error)
            *error = d->loadError + QStringLiteral(" Soubor zůstává, jak byl, aby se neztratil jeho obsah.");
        return false;
    }
    std::string out;
    int err = 0;
    if (d->ini.Save(out) < 0)
        err = ENOMEM;
    else if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        err = errno ? errno : EACCES;
    else
        err = replaceFile(path, d->encode(out));
    if (err != 0 && error) *error = replaceFileError(path, err);
    return err == 0;
}

} // namespace qx
