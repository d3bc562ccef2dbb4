#include "measurement/ZaznamPrijatych.h"

#include <QDir>
#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace qx {

namespace {

const QString kCasFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

QString errnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

QByteArray radekUlozeno(qint64 id, const QDateTime& kdy) {
    return kdy.toString(kCasFormat).toLatin1() + " #" + QByteArray::number(id) + " uloženo";
}

} // namespace

ZaznamPrijatych::ZaznamPrijatych(QString dir) : dir_(std::move(dir)) {}

ZaznamPrijatych::~ZaznamPrijatych() = default;

QString ZaznamPrijatych::cesta() const {
    return dir_ + QLatin1Char('/') + nazevSouboru();
}

QByteArray ZaznamPrijatych::radekPrijato(const PrijatyCas& c) {
    QString text = c.text;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return c.prijato.toString(kCasFormat).toLatin1() + " #" + QByteArray::number(c.id) +
           " přijato: " + text.toUtf8();
}

QList<PrijatyCas> ZaznamPrijatych::nacti() {
    static const QRegularExpression re(QStringLiteral(
        "^(\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d) #(\\d+) (?:přijato: (.*)|uloženo)$"));
    soubor_.close();
    cekajici_.clear();
    QFile f(cesta());
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = f.readAll();
    f.close();

    QList<QByteArray> radky = data.split('\n');
    // What follows the last line end is a line torn by a crash mid-write.
    const bool roztrzeny = !radky.constLast().isEmpty();
    radky.removeLast();
    bool opravit = roztrzeny;
    qint64 nejvyssi = 0;
    for (const QByteArray& r : std::as_const(radky)) {
        const QRegularExpressionMatch m = re.match(QString::fromUtf8(r));
        if (!m.hasMatch()) {
            opravit = true;
            continue;
        }
        const qint64 id = m.captured(2).toLongLong();
        nejvyssi = std::max(nejvyssi, id);
        if (m.capturedStart(3) >= 0) {
            cekajici_.append({id, QDateTime::fromString(m.captured(1), kCasFormat), m.captured(3)});
        } else {
            opravit = true;
            cekajici_.removeIf([id](const PrijatyCas& c) { return c.id == id; });
        }
    }
    dalsiId_ = nejvyssi + 1;
    if (opravit) prepis();
    return cekajici_;
}

PrijatyCas ZaznamPrijatych::pridej(const QString& text) {
    const PrijatyCas c{dalsiId_++, now(), text};
    cekajici_.append(c);
    if (celyZnovu_)
        prepis();
    else
        pripoj(radekPrijato(c) + '\n');
    return c;
}

void ZaznamPrijatych::odeber(qint64 id) {
    const qsizetype n = cekajici_.removeIf([id](const PrijatyCas& c) { return c.id == id; });
    if (n == 0) return;
    if (cekajici_.isEmpty() || celyZnovu_)
        prepis();
    else
        pripoj(radekUlozeno(id, now()) + '\n');
}

bool ZaznamPrijatych::otevri() {
    if (soubor_.isOpen()) return true;
    if (!QDir().mkpath(dir_))
        return selhani(QStringLiteral("Složku „%1“ nelze vytvořit.").arg(QDir::toNativeSeparators(dir_)));
    soubor_.setFileName(cesta());
    if (!soubor_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return selhani(QStringLiteral("Soubor „%1“ nelze otevřít: %2")
                           .arg(QDir::toNativeSeparators(cesta()), soubor_.errorString()));
    return true;
}

bool ZaznamPrijatych::pripoj(const QByteArray& radky) {
    if (!otevri()) return false;
    // One write: a crash leaves the lines whole or a torn last line, which reading skips.
    if (soubor_.write(radky) != radky.size())
        return selhani(QStringLiteral("Do souboru „%1“ nelze zapisovat: %2")
                           .arg(QDir::toNativeSeparators(cesta()), soubor_.errorString()));
    if (::fdatasync(soubor_.handle()) != 0)
        return selhani(QStringLiteral("Soubor „%1“ nelze uložit na disk: %2")
                           .arg(QDir::toNativeSeparators(cesta()), errnoText()));
    funguje();
    return true;
}

bool ZaznamPrijatych::prepis() {
    // The rename replaces the file: an append handle would write into the old one.
    soubor_.close();
    if (!QDir().mkpath(dir_)) {
        celyZnovu_ = true;
        return selhani(QStringLiteral("Složku „%1“ nelze vytvořit.").arg(QDir::toNativeSeparators(dir_)));
    }
    QByteArray data;
    for (const PrijatyCas& c : std::as_const(cekajici_))
        data += radekPrijato(c) + '\n';
    QSaveFile f(cesta());
    bool ok = f.open(QIODevice::WriteOnly) && f.write(data) == data.size() && f.flush();
    if (ok && ::fdatasync(f.handle()) != 0) ok = false;
    if (!ok || !f.commit()) {
        const QString why = f.errorString().isEmpty() ? errnoText() : f.errorString();
        f.cancelWriting();
        celyZnovu_ = true;
        return selhani(
            QStringLiteral("Soubor „%1“ nelze přepsat: %2").arg(QDir::toNativeSeparators(cesta()), why));
    }
    celyZnovu_ = false;
    funguje();
    return true;
}

bool ZaznamPrijatych::selhani(const QString& chyba) {
    chyba_ = chyba;
    soubor_.close();
    // What is not in the file now goes there with the next rewrite.
    celyZnovu_ = true;
    if (!selhava_) {
        selhava_ = true;
        if (onError) onError(chyba);
    }
    return false;
}

void ZaznamPrijatych::funguje() {
    selhava_ = false;
    chyba_.clear();
}

} // namespace qx
