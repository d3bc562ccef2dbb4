#pragma once

// A private database on the test server for one test program: created fresh,
// filled from the schema script (or left empty), dropped at the end. The data
// module finds it through QX_DB_NAME. The server is the one MYSQL_UNIX_PORT
// points at (the test command starts it).

#include <QByteArray>
#include <QList>
#include <QString>

struct st_mysql;

class TestDb {
public:
    // Whether a server answers. Sets *why when not.
    static bool serverAnswers(QString* why);
    // True when the tests should be skipped: no MYSQL_UNIX_PORT and no server.
    static bool shouldSkip(QString* why);

    // tag names the database (together with the process id).
    explicit TestDb(const QByteArray& tag, bool withSchema = true);
    ~TestDb();
    TestDb(const TestDb&) = delete;
    TestDb& operator=(const TestDb&) = delete;

    const QByteArray& name() const { return name_; }

    // Administrative statements on an own connection inside the database.
    void exec(const QByteArray& sql);
    // First column of every row, as bytes.
    QList<QByteArray> column(const QByteArray& sql);
    QByteArray value(const QByteArray& sql);
    void loadSchema();

private:
    QByteArray name_;
    QByteArray previousName_;
    st_mysql* conn_ = nullptr;
};
