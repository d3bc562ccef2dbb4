#include "link/Journal.h"

#include "settings/ConfigDir.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace stopky {

namespace {

// Bytes kept for a later try while the file cannot be written; beyond this they are dropped.
constexpr qsizetype kMaxPending = 1 << 20;

constexpr char kGreeting[] = "pozdrav";
constexpr char kSettings[] = "nastavení";
constexpr char kBytes[] = "bajty";
constexpr char kEntry[] = "čas";
constexpr char kError[] = "chyba převodu";
constexpr char kPort[] = "port";

// "12:01:02.345 468 čas: " -> kind "čas", verze 468, rest after ": "
struct ParsedLine {
    int verze = 0;
    QString kind;
    QString rest;
};

std::optional<ParsedLine> parseLine(const QString& line) {
    static const QRegularExpression re(
        QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d (-?\\d+) ([^:]+): (.*)$"));
    const QRegularExpressionMatch m = re.match(line);
    if (!m.hasMatch()) return std::nullopt;
    return ParsedLine{m.captured(1).toInt(), m.captured(2), m.captured(3)};
}

QStringList fileLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QByteArray oneLine(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return t.toUtf8();
}

} // namespace

QString journalDir() {
    return qx::journalDir();
}

QString journalFileName(const QDate& day) {
    return QStringLiteral("stopky-%1.log").arg(day.toString(QStringLiteral("yyyy-MM-dd")));
}

Journal::Journal(QString dir) : m_dir(std::move(dir)) {}

Journal::~Journal() {
    flush();
}

QString Journal::currentPath() const {
    return m_dir + QLatin1Char('/') + journalFileName(now().date());
}

void Journal::line(int verze, const char* kind, QByteArrayView text) {
    const QDateTime t = now();
    // A line stamped with a new day goes to the new day's file.
    if (!m_buf.isEmpty() && t.date() != m_fileDay) flush();
    m_fileDay = t.date();
    if (m_buf.size() > kMaxPending) m_buf.clear();
    m_buf += t.time().toString(QStringLiteral("HH:mm:ss.zzz")).toLatin1();
    m_buf += ' ';
    m_buf += QByteArray::number(verze);
    m_buf += ' ';
    m_buf += kind;
    m_buf += ": ";
    m_buf += text;
    m_buf += '\n';
}

void Journal::greeting(int verze, QByteArrayView bytes) {
    line(verze, kGreeting, bytes.toByteArray().toHex(' '));
}

void Journal::settings(int verze, const Nast& nast) {
    const char raw[3] = {char(nast[0]), char(nast[1]), char(nast[2])};
    line(verze, kSettings, QByteArray(raw, 3).toHex(' '));
}

void Journal::bytes(int verze, QByteArrayView bytes) {
    if (bytes.isEmpty()) return;
    line(verze, kBytes, bytes.toByteArray().toHex(' '));
}

void Journal::entry(int verze, const QString& text, const QString& error) {
    line(verze, kEntry, oneLine(text));
    if (!error.isEmpty()) line(verze, kError, oneLine(error));
}

void Journal::port(int verze, const QString& text) {
    line(verze, kPort, oneLine(text));
}

bool Journal::fail(const QString& error) {
    m_error = error;
    if (m_file.isOpen()) m_file.close();
    if (!m_failing) {
        m_failing = true;
        if (onError) onError(error);
    }
    return false;
}

bool Journal::flush() {
    if (m_buf.isEmpty()) return !m_failing;
    const QString path = m_dir + QLatin1Char('/') + journalFileName(m_fileDay);
    if (m_file.isOpen() && m_file.fileName() != path) m_file.close();
    if (!m_file.isOpen()) {
        if (!QDir().mkpath(m_dir))
            return fail(QStringLiteral("Složku „%1“ nelze vytvořit.").arg(QDir::toNativeSeparators(m_dir)));
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return fail(QStringLiteral("Soubor „%1“ nelze otevřít: %2")
                            .arg(QDir::toNativeSeparators(path), m_file.errorString()));
    }
    const qint64 n = m_file.write(m_buf);
    if (n != m_buf.size()) {
        if (n > 0) m_buf.remove(0, n);
        return fail(QStringLiteral("Do souboru „%1“ nelze zapisovat: %2")
                        .arg(QDir::toNativeSeparators(path), m_file.errorString()));
    }
    m_buf.clear();
    m_failing = false;
    m_error.clear();
    return true;
}

bool Journal::sync() {
    if (!flush()) return false;
    if (m_file.isOpen() && ::fdatasync(m_file.handle()) != 0)
        return fail(QStringLiteral("Soubor „%1“ nelze uložit na disk: %2")
                        .arg(QDir::toNativeSeparators(m_file.fileName()),
                             QString::fromLocal8Bit(std::strerror(errno))));
    return true;
}

QStringList Journal::entries(const QString& path) {
    QStringList out;
    for (const QString& l : fileLines(path)) {
        if (const std::optional<ParsedLine> p = parseLine(l); p && p->kind == QString::fromUtf8(kEntry))
            out << p->rest;
    }
    return out;
}

QStringList Journal::todaysEntries() const {
    return entries(currentPath());
}

std::optional<JournalSettings> Journal::lastSettings() const {
    QStringList files =
        QDir(m_dir).entryList({QStringLiteral("stopky-\?\?\?\?-\?\?-\?\?.log")}, QDir::Files, QDir::Name);
    for (auto it = files.crbegin(); it != files.crend(); ++it) {
        const QStringList lines = fileLines(m_dir + QLatin1Char('/') + *it);
        for (auto l = lines.crbegin(); l != lines.crend(); ++l) {
            const std::optional<ParsedLine> p = parseLine(*l);
            if (!p || p->kind != QString::fromUtf8(kSettings)) continue;
            const QByteArray raw = QByteArray::fromHex(p->rest.toLatin1());
            if (raw.size() != 3) continue;
            return JournalSettings{p->verze, {quint8(raw[0]), quint8(raw[1]), quint8(raw[2])}};
        }
    }
    return std::nullopt;
}

} // namespace stopky
