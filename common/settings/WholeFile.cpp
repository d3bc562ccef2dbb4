#include "settings/WholeFile.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qx {

int replaceFile(const QString& path, const QByteArray& data) {
    const QByteArray target = QFile::encodeName(path);
    QByteArray temp = target + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return errno;

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
    if (::fchmod(fd, mode) != 0) err = errno;
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
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(temp.constData(), target.constData()) != 0) err = errno;
    if (err != 0) ::unlink(temp.constData());
    return err;
}

QString replaceFileError(const QString& path, int err) {
    return QStringLiteral("Soubor „%1“ nelze zapsat: %2")
        .arg(path, QString::fromLocal8Bit(std::strerror(err)));
}

} // namespace qx
