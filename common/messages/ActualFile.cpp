#include "messages/ActualFile.h"

#include "settings/WholeFile.h"

#include <QFile>
#include <QStringConverter>

namespace qx {

namespace {

QString oneLine(QString text) {
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

// Cuts the next line (up to LF, without a CR before it) from data at pos.
QByteArray takeLine(const QByteArray& data, qsizetype& pos) {
    if (pos >= data.size()) return {};
    qsizetype end = data.indexOf('\n', pos);
    qsizetype next = end + 1;
    if (end < 0) {
        end = data.size();
        next = end;
    }
    QByteArray line = data.mid(pos, end - pos);
    if (line.endsWith('\r')) line.chop(1);
    pos = next;
    return line;
}

} // namespace

QString actualFileName() {
    return QStringLiteral("actual.txt");
}

ActualWriteResult writeActualFile(const QString& line1, const QString& line2, const QString& path) {
    ActualWriteResult result;
    QByteArray data = oneLine(line1).toUtf8();
    data += "\r\n";
    data += oneLine(line2).toUtf8();
    data += "\r\n";

    if (const int err = replaceFile(path, data)) {
        result.error = replaceFileError(path, err);
        return result;
    }
    result.ok = true;
    return result;
}

ActualReadResult readActualFile(const QString& path) {
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
    if (data.startsWith("\xEF\xBB\xBF")) data.remove(0, 3);
    qsizetype pos = 0;
    auto decode = QStringDecoder(QStringDecoder::Utf8);
    result.line1 = decode(takeLine(data, pos));
    result.line2 = decode(takeLine(data, pos));
    result.ok = true;
    return result;
}

} // namespace qx
