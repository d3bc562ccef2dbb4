#pragma once

// The data module of zapisnik: one connection to the MySQL/MariaDB server, two
// statement objects on it, the schema upgrade and the register operations.
//
// Statements are plain SQL text. Text values travel as UTF-8 bytes in double
// quotes, escaped by the client library; keys travel without quotes and are
// checked to be integers first. The connection hands bytes over unchanged in
// both directions (binary connection character set), so UTF-8 names survive on
// utf8mb4 tables and on latin1 tables of older installations alike.

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>

struct st_mysql;
struct st_mysql_res;

namespace qx {

// A failed statement, connection or conversion. code() is the server's or the
// client library's error number (0 for a conversion or a bad key).
class DbError : public std::runtime_error {
public:
    DbError(unsigned code, const QString& text);
    unsigned code() const { return code_; }
    QString text() const { return text_; }

private:
    unsigned code_;
    QString text_;
};

// Server error numbers the program tests for.
inline constexpr unsigned ER_BAD_FIELD_ERROR = 1054;

// Connection settings: fixed, except that tests may name another database
// through the environment variable QX_DB_NAME. The socket or port comes from
// the client library's own MYSQL_UNIX_PORT / MYSQL_TCP_PORT.
struct ConnectionSettings {
    QByteArray host = "localhost";
    QByteArray user = "root";
    QByteArray password;
    QByteArray database = "myqx";
    // Empty: the client library's default (MYSQL_UNIX_PORT). Set only by tests
    // that need a server that does not answer.
    QByteArray unixSocket;
    unsigned connectTimeout = 60;
    static ConnectionSettings fromEnvironment();
};

class Tdm_QX;

// One statement object: clear, set the text, then Open (SELECT; the whole result
// is fetched to the client) or ExecSQL (anything else).
class SQLQuery {
public:
    explicit SQLQuery(Tdm_QX& dm);
    ~SQLQuery();
    SQLQuery(const SQLQuery&) = delete;
    SQLQuery& operator=(const SQLQuery&) = delete;

    void Clear();
    void Add(const QByteArray& text);
    QByteArray sql() const { return sql_; }

    void Open();
    void ExecSQL();
    void Close();

    int RecordCount() const;
    bool Eof() const;
    void Next();

    // Column values of the current row, by column name (case-insensitive).
    QByteArray AsBytes(const char* column) const; // as stored, NULL as empty
    QString AsString(const char* column) const;   // UTF-8 decoded
    QString AsAscii(const char* column) const;    // keys, times, dates
    qint64 AsInteger(const char* column) const;   // throws when not an integer
    double AsFloat(const char* column) const;     // decimal comma; throws when not a number

private:
    int fieldIndex(const char* column) const;
    void fetch();

    Tdm_QX& dm_;
    QByteArray sql_;
    st_mysql_res* res_ = nullptr;
    QHash<QByteArray, int> fields_;
    char** row_ = nullptr;
    unsigned long* lengths_ = nullptr;
};

// The start-list panel's input to save_listina: one entry of a start list.
struct Druzstvo {
    QString poradi;   // start order as typed
    QString nazev_dr; // brigade (SDH)
    QString okres;    // its district
    QString tym;      // team mark
    QString kategorie;
    QString draha;
};

// The competitions panel's input to save_soutez.
struct Soutez {
    QString nazev;
    QString okres;
    QString misto;
    QDate datum;
    QString cas;
    QString telefon;
    QString web;
};

class Tdm_QX {
public:
    explicit Tdm_QX(ConnectionSettings settings = ConnectionSettings::fromEnvironment());
    ~Tdm_QX();
    Tdm_QX(const Tdm_QX&) = delete;
    Tdm_QX& operator=(const Tdm_QX&) = delete;

    // The open connection; the first call connects. Throws DbError.
    st_mysql* SQLConn();
    bool connected() const { return conn_ != nullptr; }
    void disconnect();

    SQLQuery SQLQuery_kat;
    SQLQuery SQLQuery_mereni;

    // A text value as a statement literal: UTF-8, escaped, in double quotes.
    QByteArray quoted(const QString& text);
    // The same for bytes that are already in their stored form.
    QByteArray quotedBytes(const QByteArray& bytes);
    // A key written without quotes; throws DbError unless it is an integer.
    static QByteArray key(const QString& id);

    // Schema upgrade: adds M1..M4 to druzstvaqx when the probe reports the
    // column as unknown. Returns true when the columns were added.
    bool upgrade_schema();

    // Register operations. Rows are the cells of one grid row.
    QList<QStringList> load_souteze(); // 8 cells: name, date shown, time, id, district, place, tel, web
    void save_soutez(bool vlozit, const Soutez& s, const QString& id);
    void delete_soutez(const QString& id);
    QStringList load_okres();
    QStringList load_obce(const QString& okres);
    QList<QStringList> load_kat(); // 3 cells: name, abbreviation, id
    void save_kat(bool vlozit, const QString& nazev, const QString& zkratka, const QString& id);
    void delete_kat(const QString& nazev);
    // The start list of a competition, under an optional category (empty: all).
    QList<QStringList> load_listina(const QString& id_soutez, const QString& kategorie); // 7 cells
    // Inserts an entry of competition id_soutez (vlozit) or rewrites the seven
    // start-list columns of entry id; times, result, placing and splits stay.
    void save_listina(bool vlozit, const QString& id_soutez, const Druzstvo& d, const QString& id);
    void delete_listina(const QString& id);

    // Municipalities (fire brigades) of a district, as the brigades panel keeps them.
    bool obec_existuje(const QString& okres, const QString& obec); // the duplicate check
    void insert_obec(const QString& okres, const QString& obec);
    void delete_obec(const QString& okres, const QString& obec);

    // One statement on the given object: clear, set the text, execute or open.
    void exec(SQLQuery& q, const QByteArray& sql);
    void open(SQLQuery& q, const QByteArray& sql);

private:
    ConnectionSettings settings_;
    st_mysql* conn_ = nullptr;
};

} // namespace qx
