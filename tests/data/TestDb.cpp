#include "TestDb.h"

#include <mysql.h>

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

#include <stdexcept>
#include <unistd.h>

namespace {

MYSQL* connectRoot(const char* db, QString* why) {
    MYSQL* c = mysql_init(nullptr);
    mysql_options(c, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    unsigned timeout = 10;
    mysql_options(c, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    // A test that restarts the server finds its connection again with the next statement after
    // the one that met the restart.
    const my_bool reconnect = 1;
    mysql_options(c, MYSQL_OPT_RECONNECT, &reconnect);
    // Plain statements whatever the server's global mode is.
    mysql_options(c, MYSQL_INIT_COMMAND, "SET SESSION sql_mode='STRICT_TRANS_TABLES'");
    if (!mysql_real_connect(c, "localhost", "root", "", db, 0, nullptr, 0)) {
        if (why) *why = QString::fromUtf8(mysql_error(c));
        mysql_close(c);
        return nullptr;
    }
    return c;
}

[[noreturn]] void fail(MYSQL* c, const QByteArray& sql) {
    throw std::runtime_error(std::string(mysql_error(c)) + " in: " + sql.toStdString());
}

} // namespace

bool TestDb::serverAnswers(QString* why) {
    MYSQL* c = connectRoot(nullptr, why);
    if (!c) return false;
    mysql_close(c);
    return true;
}

bool TestDb::shouldSkip(QString* why) {
    if (serverAnswers(why)) return false;
    return qEnvironmentVariableIsEmpty("MYSQL_UNIX_PORT");
}

TestDb::TestDb(const QByteArray& tag, bool withSchema) {
    name_ = "qxt_" + tag + "_" + QByteArray::number(static_cast<qint64>(getpid()));
    QString why;
    MYSQL* admin = connectRoot(nullptr, &why);
    if (!admin) throw std::runtime_error(why.toStdString());
    for (const QByteArray& sql :
         {"DROP DATABASE IF EXISTS " + name_,
          "CREATE DATABASE " + name_ + " CHARACTER SET utf8mb4 COLLATE utf8mb4_czech_ci"}) {
        if (mysql_real_query(admin, sql.constData(), sql.size()) != 0) fail(admin, sql);
    }
    mysql_close(admin);
    conn_ = connectRoot(name_.constData(), &why);
    if (!conn_) throw std::runtime_error(why.toStdString());
    previousName_ = qgetenv("QX_DB_NAME");
    qputenv("QX_DB_NAME", name_);
    if (withSchema) loadSchema();
}

TestDb::~TestDb() {
    // The enclosing test's database is the current one again.
    if (previousName_.isEmpty())
        qunsetenv("QX_DB_NAME");
    else
        qputenv("QX_DB_NAME", previousName_);
    if (conn_) {
        const QByteArray sql = "DROP DATABASE IF EXISTS " + name_;
        mysql_real_query(conn_, sql.constData(), sql.size());
        mysql_close(conn_);
    }
}

void TestDb::exec(const QByteArray& sql) {
    if (mysql_real_query(conn_, sql.constData(), sql.size()) != 0) fail(conn_, sql);
    if (MYSQL_RES* r = mysql_store_result(conn_)) mysql_free_result(r);
}

QList<QByteArray> TestDb::column(const QByteArray& sql) {
    if (mysql_real_query(conn_, sql.constData(), sql.size()) != 0) fail(conn_, sql);
    MYSQL_RES* r = mysql_store_result(conn_);
    QList<QByteArray> out;
    if (!r) return out;
    while (MYSQL_ROW row = mysql_fetch_row(r)) {
        unsigned long* len = mysql_fetch_lengths(r);
        out.append(row[0] ? QByteArray(row[0], static_cast<qsizetype>(len[0])) : QByteArray());
    }
    mysql_free_result(r);
    return out;
}

QByteArray TestDb::value(const QByteArray& sql) {
    const QList<QByteArray> c = column(sql);
    return c.isEmpty() ? QByteArray() : c.first();
}

void TestDb::loadSchema() {
    QString path = qEnvironmentVariable("QX_SCHEMA_SQL");
    if (path.isEmpty()) path = QStringLiteral(QX_SOURCE_DIR "/db/schema.sql");
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + path.toStdString());
    QByteArray text;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (!line.trimmed().startsWith("--")) text += line + '\n';
    // The script creates and enters myqx; here its tables go into this database.
    for (QByteArray stmt : text.split(';')) {
        stmt = stmt.trimmed();
        const QByteArray head = stmt.left(16).toUpper();
        if (stmt.isEmpty() || head.startsWith("CREATE DATABASE") || head.startsWith("USE ")) continue;
        exec(stmt);
    }
}
