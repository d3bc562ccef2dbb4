#include "messages/ActualFile.h"

#include <QFile>
#include <QStringConverter>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qx {

namespace {

QString oneLine(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

// Cuts the next line (up to LF, without a CR before it) from data at pos.
QByteArray takeLine(const QByteArray& data, qsizetype& pos)
{
    if (pos >= data.size())
        return {};
    qsizetype end = data.indexOf('\n', pos);
    qsizetype next = end + 1;
    if (end < 0) {
        end = data.size();
        next = end;
    }
    QByteArray line = data.mid(pos, end - pos);
    if (line.endsWith('\r'))
        line.chop(1);
    pos = next;
    return line;
}

// Writes data to a new temporary file beside path and renames it over path. Every short or
// failed write is an error (a file that was only partly written is never renamed); returns 0
// or the errno of the failing step. No fsync: the file is a hand-over between two running
// programs, rewritten for every team, and the UI thread should not wait for the disk.
int replaceFile(const QString& path, const QByteArray& data)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray temp = target + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;

    // The new file gets the mode of the old one, or the usual mode of a new file.
    mode_t mode;
    struct stat st {};
    if (::stat(target.constData(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    int err = 0;
    if (::fchmod(fd, mode) != 0)
        err = errno;
    qsizetype done = 0;
    while (err == 0 && done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno == EINTR)
            continue;
        else
            err = n < 0 ? errno : EIO;
    }
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(temp.constData(), target.constData()) != 0)
        err = errno;
    if (err != 0)
        ::unlink(temp.constData());
    return err;
}

} // namespace

QString actualFileName() { return QStringLiteral("actual.txt"); }

ActualWriteResult writeActualFile(const QString& line1, const QString& line2, const QString& path)
{
    ActualWriteResult result;
    QByteArray data = oneLine(line1).toUtf8();
    data += "\r\n";
    data += oneLine(line2).toUtf8();
    data += "\r\n";

    if (const int err = replaceFile(path, data)) {
        result.error = QStringLiteral("Soubor „%1“ nelze zapsat: %2")
                           .arg(path, QString::fromLocal8Bit(std::strerror(err)));
        return result;
    }
    result.ok = true;
    return result;
}

ActualReadResult readActualFile(const QString& path)
{
    ActualReadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("Soubor „%1“ nelze otevřít: %2").arg(path, file.errorString());
        return result;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("Soubor „%1“ nelze přečíst: %2").arg(path, file.errorString());
        return result;
    }
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    qsizetype pos = 0;
    auto decode = QStringDecoder(QStringDecoder::Utf8);
    result.line1 = decode(takeLine(data, pos));
    result.line2 = decode(takeLine(data, pos));
    result.ok = true;
    return result;
}

} // namespace qx
