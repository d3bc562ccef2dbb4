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

#include <optional>
#include <stdexcept>

#include "data/Radky.h"
#include "data/RegistrData.h"

struct st_mysql;
struct st_mysql_res;

namespace qx {

struct ConnectionSettings;

// A failed statement, connection or conversion. code() is the server's or the
// client library's error number (0 for a conversion or a bad key); text() is their own text
// (English, from the server), which the operator sees among the details of a Czech message that
// says what failed.
class DbError : public std::runtime_error {
public:
    // What the program was doing when it failed.
    enum class Operace {
        Jina,      // a check of the program's own (the text is already the operator's message)
        Pripojeni, // connecting to the server, or the connection broke
        Cteni,     // reading data (a query or its result)
        Zapis,     // storing a change
    };
    // What went wrong with the connection, when it was the connection.
    enum class Druh {
        Jiny,       // not the connection (or nothing the operator can act on differently)
        Pristup,    // the server refused the user or the password
        Nedostupny, // the server does not run, its address is unknown, or no network leads to it
        Odpojeno,   // the connection broke off: the server stopped or the network went away
        CasVyprsel, // the server did not answer within the bounded wait
    };
    DbError(unsigned code, const QString& text, Operace operace = Operace::Jina);
    unsigned code() const { return code_; }
    QString text() const { return text_; }
    Operace operace() const { return operace_; }
    Druh druh() const { return druh_; }
    // An outage: the server cannot be reached now and may be back later (not a refused login).
    bool vypadek() const {
        return druh_ == Druh::Nedostupny || druh_ == Druh::Odpojeno || druh_ == Druh::CasVyprsel;
    }

    // The connection this failure belongs to: its server and user name the server in the message
    // (never the password); `vyprselPo`, when not 0, is the bound in seconds of a wait that ran
    // out (the client library reports that as a lost connection). Sets druh() from the number.
    DbError& spojeni(const ConnectionSettings& s, unsigned vyprselPo = 0);

    // The operator's message: what failed, in Czech.
    QString zprava() const;
    // The details under it: the server's own text and error number; empty for Jina.
    QString podrobnosti() const;

    // The kind of a failure with the server's or client library's number `code`; `casVyprsel`
    // when the wait for the server ran out its bound.
    static Druh druhChyby(unsigned code, bool casVyprsel);

private:
    unsigned code_;
    QString text_;
    Operace operace_;
    Druh druh_ = Druh::Jiny;
    QString server_; // empty: not known
    QString uzivatel_;
    unsigned limit_ = 0; // the bound of the wait that ran out, in seconds
};

// Server error numbers the program tests for.
inline constexpr unsigned ER_BAD_FIELD_ERROR = 1054;
inline constexpr unsigned ER_NO_SUCH_TABLE = 1146;

// A save or delete that found its row no longer as the operator saw it: another computer changed
// or deleted it in the meantime. Nothing was written. It carries the row as it is stored now (one
// of the three, by the table), or none of them when the row has been deleted meanwhile.
class KonfliktZaznamu : public DbError {
public:
    explicit KonfliktZaznamu(std::optional<DruzstvoRadek> d);
    explicit KonfliktZaznamu(std::optional<SoutezRadek> s);
    explicit KonfliktZaznamu(std::optional<KategorieRadek> k);
    KonfliktZaznamu(); // a row of another table, deleted meanwhile

    bool smazano() const { return !druzstvo && !soutez && !kategorie; }
    // What the other computer stored, as one line for the operator ("smazán" when deleted).
    QString ulozeno() const;

    std::optional<DruzstvoRadek> druzstvo;
    std::optional<SoutezRadek> soutez;
    std::optional<KategorieRadek> kategorie;
};

// One line for the operator with the values of a row.
QString popisRadku(const DruzstvoRadek& d);
QString popisRadku(const SoutezRadek& s);
QString popisRadku(const KategorieRadek& k);

// The change counters: one row per competition (its start list, times, results and placings) and
// the row kSdileneZmeny for the registers every competition shares (competitions, categories,
// municipalities). Every write of zapisnik raises the counter it touches in its own transaction,
// so another computer notices the change with one cheap read.
inline constexpr qint64 kSdileneZmeny = 0;

// What the check of the counters found since the previous check. A counter this module has not
// read before counts as changed: what was loaded before the first check may be older than it.
struct ZmenyJinych {
    bool sdilene = false; // the shared registers
    bool soutez = false;  // the chosen competition
    bool operator==(const ZmenyJinych&) const = default;
};

// Where and as whom the program connects. Defaults: the local server through its socket, user
// root without a password, database myqx. qx_db.ini's [Databaze] section may set every value
// (see ui/QxDbIni.h); the environment overrides it: QX_DB_HOST, QX_DB_PORT, QX_DB_USER,
// QX_DB_PASSWORD, QX_DB_NAME, QX_DB_SOCKET. The client library's own MYSQL_UNIX_PORT and
// MYSQL_TCP_PORT still give the socket and the port when none is set here.
struct ConnectionSettings {
    QByteArray host = "localhost";
    unsigned port = 0; // 0: MYSQL_TCP_PORT, else the default port
    QByteArray user = "root";
    QByteArray password;
    QByteArray database = "myqx";
    // Empty: the client library's default (MYSQL_UNIX_PORT).
    QByteArray unixSocket;
    // Bounded waits, in seconds: connecting, and every statement's reading and writing. A server
    // that stalls ends the statement with a message instead of holding the window.
    unsigned connectTimeout = 5;
    unsigned readTimeout = 10;
    unsigned writeTimeout = 10;

    // `base` with the environment's QX_DB_* values over it. An empty variable leaves the value as
    // it is, except QX_DB_PASSWORD, which may set an empty password; a port that is no number from
    // 1 to 65535 is left out.
    static ConnectionSettings fromEnvironment(ConnectionSettings base);
    static ConnectionSettings fromEnvironment();

    // The server the connection goes to, as the operator can check it: the socket path for
    // "localhost" (the given socket, else MYSQL_UNIX_PORT, else the client library's default),
    // otherwise host:port (the given port, else MYSQL_TCP_PORT, else the default port).
    QString server() const;
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

// The start-list panel's input to save_listina: the start-list columns of one entry.
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
    QString datum; // the stored form: "yyyymmdd", or an older row's text as it was read
    QString cas;
    QString telefon;
    QString web;
};

class Tdm_QX : public RegistrData {
public:
    explicit Tdm_QX(ConnectionSettings settings = ConnectionSettings::fromEnvironment());
    ~Tdm_QX() override;
    Tdm_QX(const Tdm_QX&) = delete;
    Tdm_QX& operator=(const Tdm_QX&) = delete;

    // The open connection; the first call connects. Throws DbError.
    st_mysql* SQLConn();
    bool connected() const { return conn_ != nullptr; }
    const ConnectionSettings& settings() const { return settings_; }
    // Other settings take effect with the next statement (the open connection is closed).
    void setSettings(const ConnectionSettings& settings);
    void disconnect();

    // During an outage every statement fails at once with `e` instead of trying the server (the
    // window's watcher tries it in the background), so a stalled server costs the window one
    // bounded wait, not one per action. obnov() lets statements reach the server again.
    void pozastav(const DbError& e);
    void obnov();
    bool pozastaveno() const { return pozastaveno_.has_value(); }

    SQLQuery SQLQuery_kat;
    SQLQuery SQLQuery_mereni;

    // A text value as a statement literal: UTF-8, escaped, in double quotes.
    QByteArray quoted(const QString& text);
    // The same for bytes that are already in their stored form.
    QByteArray quotedBytes(const QByteArray& bytes);
    // A key written without quotes; throws DbError unless it is an integer.
    static QByteArray key(const QString& id);

    // Schema upgrade: adds M1..M4 to druzstvaqx when the probe reports the
    // column as unknown, and the change counters' table when it is missing. Returns true when
    // the columns were added.
    bool upgrade_schema();

    // Register operations. Keys are the rows' ids; an insert is asked for with no id.
    QList<SoutezRadek> load_souteze(); // newest date first
    std::optional<SoutezRadek> soutez(qint64 id);
    void save_soutez(std::optional<qint64> id, const Soutez& s);
    void delete_soutez(qint64 id);
    // The same, changing the row only while it still holds what the operator saw (`videno`);
    // throws KonfliktZaznamu otherwise, with nothing written.
    void save_soutez(const SoutezRadek& videno, const Soutez& s);
    void delete_soutez(const SoutezRadek& videno);
    QStringList load_okres();
    QStringList load_obce(const QString& okres) override;
    QList<KategorieRadek> load_kat();
    void save_kat(std::optional<qint64> id, const QString& nazev, const QString& zkratka);
    // Deletes the one category with this key; categories of a similar name stay.
    void delete_kat(qint64 id);
    void save_kat(const KategorieRadek& videno, const QString& nazev, const QString& zkratka);
    void delete_kat(const KategorieRadek& videno);
    // The name of a category other than `krome` that the database takes for `nazev` (its
    // comparison ignores case and blanks at the end), if there is one.
    std::optional<QString> kategorie_shodna(const QString& nazev, std::optional<qint64> krome);
    // The start list of a competition in start order (numeric), under an optional category
    // (empty: all). Every column of each entry.
    QList<DruzstvoRadek> load_listina(qint64 id_soutez, const QString& kategorie) override;
    // Inserts an entry of competition id_soutez (no id) or rewrites the seven start-list columns
    // of entry id; times, result, placing and splits stay.
    void save_listina(std::optional<qint64> id, qint64 id_soutez, const Druzstvo& d) override;
    void delete_listina(qint64 id) override;
    // Rewrites the start-list columns only while they still hold `videno`'s (times, results and
    // placings are another computer's to change meanwhile); deletes only a row that is still
    // `videno` in every column. Throw KonfliktZaznamu otherwise.
    void save_listina(const DruzstvoRadek& videno, const Druzstvo& d) override;
    void delete_listina(const DruzstvoRadek& videno) override;
    // The entry as it is stored now; none when it has been deleted.
    std::optional<DruzstvoRadek> nacti_druzstvo(qint64 id);

    // Municipalities (fire brigades) of a district, as the brigades panel keeps them.
    bool obec_existuje(const QString& okres, const QString& obec) override; // the duplicate check
    void insert_obec(const QString& okres, const QString& obec) override;
    void delete_obec(const QString& okres, const QString& obec) override;

    // One statement on the given object: clear, set the text, execute or open.
    void exec(SQLQuery& q, const QByteArray& sql);
    void open(SQLQuery& q, const QByteArray& sql);

    // Opens a query and reads every row into a list before anything else runs, so a statement
    // issued while the caller walks the rows can never cut the walk short.
    template <class Row, class Read> QList<Row> readAll(const QByteArray& sql, Read read) {
        SQLQuery q(*this);
        open(q, sql);
        QList<Row> rows;
        rows.reserve(q.RecordCount());
        for (; !q.Eof(); q.Next())
            rows.append(read(q));
        return rows;
    }
    // One entry of druzstvaqx from the current row of a query over all its columns.
    static DruzstvoRadek druzstvo(const SQLQuery& q);

    // Statements that belong together: all or none take effect. They nest: only the outermost
    // pair starts and ends the transaction, and a rollback anywhere undoes all of it.
    void begin();
    void commit();
    void rollback();
    bool vTransakci() const { return hloubka_ > 0; }
    // Runs `prace` in one transaction: committed when it returns, rolled back when it throws.
    template <class F> void transakce(F&& prace) {
        begin();
        try {
            prace();
            commit();
        } catch (...) {
            rollback();
            throw;
        }
    }

    // Rows the last UPDATE or DELETE matched (the connection counts found rows, so a row
    // rewritten with its own values counts too).
    qint64 radkuZasazeno();

    // The condition " and <sloupec> still holds `text` as it was read", byte for byte (the
    // columns' collation would take "Chýnov" for "chýnov"): for a text read as UTF-8 (AsString)
    // and for one read byte for byte (AsAscii: times, results, dates).
    QByteArray stale(const QByteArray& sloupec, const QString& text);
    QByteArray staleAscii(const QByteArray& sloupec, const QString& text);

    // Raises the change counter of competition `idSoutez` (kSdileneZmeny: the shared registers),
    // inside the caller's transaction; call it first in the transaction, so writers of one
    // competition queue on its counter. zmenaRadku raises the counter of the entry's competition.
    void zmena(qint64 idSoutez);
    void zmenaRadku(qint64 idDruzstva);
    // Locks the counter of competition `idSoutez` until the transaction ends: every other writer
    // of that competition waits (recomputing results reads, computes and writes under it).
    void zamkniSoutez(qint64 idSoutez);
    // One read of the two counters (the shared one and competition `idSoutez`'s; 0: none chosen)
    // compared with the previous check; this module's own writes do not count as changes.
    ZmenyJinych zkontroluj_zmeny(qint64 idSoutez);
    // Creates the counters' table when it is missing; false when it cannot be there (the
    // program then works without noticing other computers).
    bool zajistiZmeny();

private:
    friend class SQLQuery;
    // Runs a statement on the connection; a failure throws DbError and, when the connection broke
    // or the wait ran out, closes the connection so that the next statement connects anew.
    void query(const QByteArray& sql, DbError::Operace operace);
    [[noreturn]] void fail(DbError::Operace operace, qint64 ms);

    ConnectionSettings settings_;
    st_mysql* conn_ = nullptr;
    // Transaction control and the change counters run on their own statement object: the
    // register statements keep theirs.
    SQLQuery rizeni_{*this};
    int hloubka_ = 0;
    // The counters this module knows: after its last check, or its own write that followed it.
    QHash<qint64, qint64> znameCitace_;
    std::optional<bool> zmenyJsou_; // the counters' table exists (unknown until first used)
    std::optional<DbError> pozastaveno_;
};

// Whether the server of `settings` answers: connects anew, runs SELECT 1 and closes. Safe in a
// thread of its own (the data module is not touched). Sets *chyba when it does not answer.
bool zkusSpojeni(const ConnectionSettings& settings, std::optional<DbError>* chyba = nullptr);

} // namespace qx
