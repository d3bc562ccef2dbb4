#include "Tdm_QX.h"

#include <errmsg.h>
#include <mariadb_version.h>
#include <mysql.h>

#include <QByteArrayList>
#include <QElapsedTimer>

#include <algorithm>

namespace qx {

namespace {

// The session's own mode: double-quoted texts are string literals (no
// ANSI_QUOTES) and backslash escapes work (no NO_BACKSLASH_ESCAPES), whatever
// the server's default. Strict mode makes an over-long value an error instead
// of a silently cut one.
constexpr const char* kSessionInit =
    "SET SESSION sql_mode='STRICT_TRANS_TABLES,ERROR_FOR_DIVISION_BY_ZERO,NO_ENGINE_SUBSTITUTION'";

// Access denied: user or password (1045), the database for this user (1044), a user that
// must give a password (1698).
constexpr unsigned ER_DBACCESS_DENIED_ERROR = 1044;
constexpr unsigned ER_ACCESS_DENIED_ERROR = 1045;
constexpr unsigned ER_ACCESS_DENIED_NO_PASSWORD_ERROR = 1698;

// The bound, when a wait that failed after `ms` ran it out (failing this close to it); else 0. The
// client library reports a time-out as a lost connection.
unsigned vyprsel(qint64 ms, unsigned limitS) {
    return limitS > 0 && ms + 250 >= qint64(limitS) * 1000 ? limitS : 0;
}

} // namespace

DbError::DbError(unsigned code, const QString& text, Operace operace)
    : std::runtime_error(text.toStdString()), code_(code), text_(text), operace_(operace) {}

DbError::Druh DbError::druhChyby(unsigned code, bool casVyprsel) {
    switch (code) {
    case ER_DBACCESS_DENIED_ERROR:
    case ER_ACCESS_DENIED_ERROR:
    case ER_ACCESS_DENIED_NO_PASSWORD_ERROR:
        return Druh::Pristup;
    case CR_CONNECTION_ERROR:
    case CR_CONN_HOST_ERROR:
    case CR_UNKNOWN_HOST:
        return casVyprsel ? Druh::CasVyprsel : Druh::Nedostupny;
    case CR_SERVER_GONE_ERROR:
    case CR_SERVER_LOST:
    case CR_SERVER_LOST_EXTENDED:
    case CR_SSL_CONNECTION_ERROR: // an encrypted connection that broke or ran out its wait
        return casVyprsel ? Druh::CasVyprsel : Druh::Odpojeno;
    default:
        return Druh::Jiny;
    }
}

DbError& DbError::spojeni(const ConnectionSettings& s, unsigned vyprselPo) {
    druh_ = druhChyby(code_, vyprselPo > 0);
    if (druh_ != Druh::Jiny) operace_ = Operace::Pripojeni;
    server_ = s.server();
    uzivatel_ = QString::fromUtf8(s.user);
    limit_ = vyprselPo;
    return *this;
}

QString DbError::zprava() const {
    // Which server and as whom: the operator can check both in the connection settings.
    const QString kde = QStringLiteral("%1 (uživatel %2)").arg(server_, uzivatel_);
    if (!server_.isEmpty()) {
        switch (druh_) {
        case Druh::Pristup:
            return QStringLiteral(
                       "Databázový server %1 odmítl přihlášení: špatné jméno uživatele nebo heslo, "
                       "nebo uživatel nemá přístup k databázi. Opravte je v nastavení připojení.")
                .arg(kde);
        case Druh::Nedostupny:
            return QStringLiteral(
                       "Databázový server %1 není dostupný: neběží, jeho adresa není známa, nebo k "
                       "němu nevede síť.")
                .arg(kde);
        case Druh::Odpojeno:
            return QStringLiteral("Spojení s databázovým serverem %1 se přerušilo: server byl zastaven, nebo "
                                  "vypadla síť.")
                .arg(kde);
        case Druh::CasVyprsel:
            return QStringLiteral("Databázový server %1 neodpověděl včas (do %2 s): server je zastavený nebo "
                                  "přetížený.")
                .arg(kde)
                .arg(limit_);
        case Druh::Jiny:
            if (operace_ == Operace::Pripojeni)
                return QStringLiteral("Nepodařilo se připojit k databázi na serveru %1.").arg(kde);
            break;
        }
    }
    switch (operace_) {
    case Operace::Pripojeni:
        return QStringLiteral("Nepodařilo se připojit k databázi.");
    case Operace::Cteni:
        return QStringLiteral("Nepodařilo se načíst data z databáze.");
    case Operace::Zapis:
        return QStringLiteral("Nepodařilo se uložit změnu do databáze.");
    case Operace::Jina:
        break;
    }
    return text_;
}

QString DbError::podrobnosti() const {
    if (operace_ == Operace::Jina) return {};
    // A check of the program's own while reading has no number and is Czech already.
    if (code_ == 0) return text_;
    return QStringLiteral("Databáze hlásí (chyba %1): %2").arg(code_).arg(text_);
}

// ---------------------------------------------------------------- conflicts

QString popisRadku(const DruzstvoRadek& d) {
    QStringList casy;
    for (const QString& c : {d.cas1R, d.cas1C, d.cas2R, d.cas2C, d.cas1S, d.cas2S}) {
        if (!c.isEmpty()) casy.append(c);
    }
    QString text = QStringLiteral("pořadí %1, %2, okres %3, tým %4, kategorie %5, dráha %6")
                       .arg(d.poradi, d.nazev_dr, d.nazev_okresu, d.tym, d.kategorie, d.draha);
    if (!casy.isEmpty()) text += QStringLiteral(", časy ") + casy.join(u' ');
    const QStringList m{d.M1, d.M2, d.M3, d.M4};
    if (!QString(m.join(QString())).isEmpty()) text += QStringLiteral(", mezičasy ") + m.join(u' ');
    return text;
}

QString popisRadku(const SoutezRadek& s) {
    return QStringLiteral("%1, okres %2, místo %3, datum %4, čas %5, telefon %6, web %7")
        .arg(s.nazev, s.okres, s.misto, s.datum, s.cas, s.telefon, s.web);
}

QString popisRadku(const KategorieRadek& k) {
    return QStringLiteral("%1 (%2)").arg(k.nazev, k.zkratka);
}

namespace {
template <class Row> QString textKonfliktu(const std::optional<Row>& r) {
    if (!r) return QStringLiteral("Jiný počítač mezitím záznam smazal.");
    return QStringLiteral("Jiný počítač mezitím uložil: ") + popisRadku(*r);
}
} // namespace

KonfliktZaznamu::KonfliktZaznamu(std::optional<DruzstvoRadek> d)
    : DbError(0, textKonfliktu(d)), druzstvo(std::move(d)) {}
KonfliktZaznamu::KonfliktZaznamu(std::optional<SoutezRadek> s)
    : DbError(0, textKonfliktu(s)), soutez(std::move(s)) {}
KonfliktZaznamu::KonfliktZaznamu(std::optional<KategorieRadek> k)
    : DbError(0, textKonfliktu(k)), kategorie(std::move(k)) {}
KonfliktZaznamu::KonfliktZaznamu() : DbError(0, textKonfliktu(std::optional<KategorieRadek>())) {}

QString KonfliktZaznamu::ulozeno() const {
    if (druzstvo) return popisRadku(*druzstvo);
    if (soutez) return popisRadku(*soutez);
    if (kategorie) return popisRadku(*kategorie);
    return QStringLiteral("smazán");
}

ConnectionSettings ConnectionSettings::fromEnvironment(ConnectionSettings s) {
    const auto text = [](const char* name, QByteArray& value) {
        const QByteArray v = qgetenv(name);
        if (!v.isEmpty()) value = v;
    };
    text("QX_DB_HOST", s.host);
    text("QX_DB_USER", s.user);
    text("QX_DB_NAME", s.database);
    text("QX_DB_SOCKET", s.unixSocket);
    if (qEnvironmentVariableIsSet("QX_DB_PASSWORD")) s.password = qgetenv("QX_DB_PASSWORD");
    bool ok = false;
    const int port = qEnvironmentVariableIntValue("QX_DB_PORT", &ok);
    if (ok && port > 0 && port < 65536) s.port = unsigned(port);
    return s;
}

ConnectionSettings ConnectionSettings::fromEnvironment() {
    return fromEnvironment(ConnectionSettings());
}

QString ConnectionSettings::server() const {
    // The client library's own rule: "localhost" always means the local socket.
    if (host == "localhost") {
        QByteArray socket = unixSocket;
        if (socket.isEmpty()) socket = qgetenv("MYSQL_UNIX_PORT");
        if (socket.isEmpty()) socket = MARIADB_UNIX_ADDR;
        return QString::fromLocal8Bit(socket);
    }
    unsigned p = port;
    if (p == 0) {
        bool ok = false;
        p = qEnvironmentVariableIntValue("MYSQL_TCP_PORT", &ok);
        if (!ok || p == 0) p = MARIADB_PORT;
    }
    return QString::fromLatin1(host) + u':' + QString::number(p);
}

// ---------------------------------------------------------------- SQLQuery

SQLQuery::SQLQuery(Tdm_QX& dm) : dm_(dm) {}

SQLQuery::~SQLQuery() {
    Close();
}

void SQLQuery::Clear() {
    Close();
    sql_.clear();
}

void SQLQuery::Add(const QByteArray& text) {
    sql_ += text;
}

void SQLQuery::Close() {
    if (res_) mysql_free_result(res_);
    res_ = nullptr;
    fields_.clear();
    row_ = nullptr;
    lengths_ = nullptr;
}

void SQLQuery::Open() {
    Close();
    dm_.query(sql_, DbError::Operace::Cteni);
    MYSQL* conn = dm_.conn_;
    // The whole result is fetched now, so that other statements may run on the
    // connection while its rows are walked.
    res_ = mysql_store_result(conn);
    if (!res_) {
        if (mysql_field_count(conn) != 0) dm_.fail(DbError::Operace::Cteni, 0);
        return; // a statement without a result: an empty one
    }
    const unsigned n = mysql_num_fields(res_);
    MYSQL_FIELD* f = mysql_fetch_fields(res_);
    for (unsigned i = 0; i < n; ++i) {
        const QByteArray name = QByteArray(f[i].name, static_cast<int>(f[i].name_length)).toLower();
        if (!fields_.contains(name)) fields_.insert(name, static_cast<int>(i));
    }
    fetch();
}

void SQLQuery::ExecSQL() {
    Close();
    dm_.query(sql_, DbError::Operace::Zapis);
    MYSQL* conn = dm_.conn_;
    if (MYSQL_RES* r = mysql_store_result(conn))
        mysql_free_result(r);
    else if (mysql_field_count(conn) != 0)
        dm_.fail(DbError::Operace::Zapis, 0);
}

void SQLQuery::fetch() {
    row_ = res_ ? mysql_fetch_row(res_) : nullptr;
    lengths_ = row_ ? mysql_fetch_lengths(res_) : nullptr;
}

int SQLQuery::RecordCount() const {
    return res_ ? static_cast<int>(mysql_num_rows(res_)) : 0;
}

bool SQLQuery::Eof() const {
    return row_ == nullptr;
}

void SQLQuery::Next() {
    if (row_) fetch();
}

int SQLQuery::fieldIndex(const char* column) const {
    const auto it = fields_.constFind(QByteArray(column).toLower());
    if (it == fields_.constEnd())
        throw DbError(0, QStringLiteral("Pole '%1' nebylo nalezeno.").arg(QString::fromLatin1(column)),
                      DbError::Operace::Cteni);
    return it.value();
}

QByteArray SQLQuery::AsBytes(const char* column) const {
    const int i = fieldIndex(column);
    if (!row_) throw DbError(0, QStringLiteral("Žádný aktuální záznam."), DbError::Operace::Cteni);
    if (!row_[i]) return {};
    return QByteArray(row_[i], static_cast<qsizetype>(lengths_[i]));
}

QString SQLQuery::AsString(const char* column) const {
    return QString::fromUtf8(AsBytes(column));
}

QString SQLQuery::AsAscii(const char* column) const {
    return QString::fromLatin1(AsBytes(column));
}

qint64 SQLQuery::AsInteger(const char* column) const {
    const QByteArray b = AsBytes(column).trimmed();
    bool ok = false;
    const qint64 v = b.toLongLong(&ok);
    if (!ok)
        throw DbError(0, QStringLiteral("'%1' není platná celočíselná hodnota.").arg(QString::fromUtf8(b)),
                      DbError::Operace::Cteni);
    return v;
}

// ---------------------------------------------------------------- Tdm_QX

Tdm_QX::Tdm_QX(ConnectionSettings settings)
    : SQLQuery_kat(*this), SQLQuery_mereni(*this), settings_(std::move(settings)) {}

Tdm_QX::~Tdm_QX() {
    SQLQuery_kat.Close();
    SQLQuery_mereni.Close();
    disconnect();
}

void Tdm_QX::disconnect() {
    SQLQuery_kat.Close();
    SQLQuery_mereni.Close();
    rizeni_.Close();
    if (conn_) mysql_close(conn_);
    conn_ = nullptr;
    hloubka_ = 0; // the server has rolled back what was open
}

void Tdm_QX::setSettings(const ConnectionSettings& settings) {
    disconnect();
    settings_ = settings;
}

void Tdm_QX::pozastav(const DbError& e) {
    disconnect();
    pozastaveno_ = e;
}

void Tdm_QX::obnov() {
    pozastaveno_.reset();
}

MYSQL* Tdm_QX::SQLConn() {
    if (conn_) return conn_;
    if (pozastaveno_) throw *pozastaveno_;
    MYSQL* c = mysql_init(nullptr);
    if (!c) throw DbError(0, QStringLiteral("Nedostatek paměti pro spojení s databází."));
    // Every wait is bounded: a server that stops answering ends the statement with a message.
    mysql_options(c, MYSQL_OPT_CONNECT_TIMEOUT, &settings_.connectTimeout);
    mysql_options(c, MYSQL_OPT_READ_TIMEOUT, &settings_.readTimeout);
    mysql_options(c, MYSQL_OPT_WRITE_TIMEOUT, &settings_.writeTimeout);
    // Encrypted when the server offers it, plain when it does not. The server's certificate is
    // not checked (a competition's server has a self-signed one, if any).
    mysql_ssl_set(c, nullptr, nullptr, nullptr, nullptr, nullptr);
    // No conversion on the way: the binary character set passes bytes as they
    // are, and the client library escapes byte by byte.
    mysql_options(c, MYSQL_SET_CHARSET_NAME, "binary");
    mysql_options(c, MYSQL_INIT_COMMAND, kSessionInit);
    // A connection the server dropped (restart, idle time-out) is opened again
    // by the next statement, with the same character set and session mode.
    const my_bool reconnect = 1;
    mysql_options(c, MYSQL_OPT_RECONNECT, &reconnect);
    // With the host "localhost" the client library takes the socket from
    // MYSQL_UNIX_PORT (and a TCP port from MYSQL_TCP_PORT) on its own.
    QElapsedTimer t;
    t.start();
    if (!mysql_real_connect(c, settings_.host.constData(), settings_.user.constData(),
                            settings_.password.constData(), settings_.database.constData(), settings_.port,
                            settings_.unixSocket.isEmpty() ? nullptr : settings_.unixSocket.constData(),
                            // A save that matches its row counts, even when it changes nothing.
                            CLIENT_FOUND_ROWS)) {
        DbError e(mysql_errno(c), QString::fromUtf8(mysql_error(c)), DbError::Operace::Pripojeni);
        e.spojeni(settings_, vyprsel(t.elapsed(), settings_.connectTimeout));
        mysql_close(c);
        throw e;
    }
    conn_ = c;
    return conn_;
}

void Tdm_QX::query(const QByteArray& sql, DbError::Operace operace) {
    MYSQL* conn = SQLConn();
    QElapsedTimer t;
    t.start();
    if (mysql_real_query(conn, sql.constData(), static_cast<unsigned long>(sql.size())) != 0)
        fail(operace, t.elapsed());
}

void Tdm_QX::fail(DbError::Operace operace, qint64 ms) {
    DbError e(mysql_errno(conn_), QString::fromUtf8(mysql_error(conn_)), operace);
    e.spojeni(settings_, vyprsel(ms, std::min(settings_.readTimeout, settings_.writeTimeout)));
    // A broken connection is not used again: the next statement connects anew.
    if (e.vypadek()) disconnect();
    throw e;
}

bool zkusSpojeni(const ConnectionSettings& settings, std::optional<DbError>* chyba) {
    try {
        Tdm_QX dm(settings);
        dm.exec(dm.SQLQuery_kat, "SELECT 1");
        return true;
    } catch (const DbError& e) {
        if (chyba) *chyba = e;
    }
    return false;
}

QByteArray Tdm_QX::quotedBytes(const QByteArray& bytes) {
    MYSQL* c = SQLConn();
    QByteArray out(bytes.size() * 2 + 1, Qt::Uninitialized);
    const unsigned long n =
        mysql_real_escape_string(c, out.data(), bytes.constData(), static_cast<unsigned long>(bytes.size()));
    out.truncate(static_cast<qsizetype>(n));
    return '"' + out + '"';
}

QByteArray Tdm_QX::quoted(const QString& text) {
    return quotedBytes(text.toUtf8());
}

QByteArray Tdm_QX::key(const QString& id) {
    bool ok = false;
    const qlonglong v = id.trimmed().toLongLong(&ok);
    if (!ok) throw DbError(0, QStringLiteral("'%1' není platný klíč záznamu.").arg(id));
    return QByteArray::number(v);
}

void Tdm_QX::exec(SQLQuery& q, const QByteArray& sql) {
    q.Clear();
    q.Add(sql);
    q.ExecSQL();
}

void Tdm_QX::open(SQLQuery& q, const QByteArray& sql) {
    q.Clear();
    q.Add(sql);
    q.Open();
}

void Tdm_QX::begin() {
    if (hloubka_ == 0) {
        // The counters' table is made outside any transaction (a CREATE would commit it).
        if (!zmenyJsou_) zajistiZmeny();
        exec(rizeni_, "START TRANSACTION");
    }
    ++hloubka_;
}

void Tdm_QX::commit() {
    // A failed COMMIT leaves the depth, so that the caller's rollback ends the transaction.
    if (hloubka_ == 1) exec(rizeni_, "COMMIT");
    if (hloubka_ > 0) --hloubka_;
}

void Tdm_QX::rollback() {
    if (hloubka_ > 0) --hloubka_;
    // An inner rollback leaves the undoing to the outermost one, which the exception reaches.
    if (hloubka_ > 0) return;
    try {
        exec(rizeni_, "ROLLBACK");
    } catch (const DbError&) {
        // The connection is gone; the server has rolled back already.
    }
}

qint64 Tdm_QX::radkuZasazeno() {
    return static_cast<qint64>(mysql_affected_rows(SQLConn()));
}

QByteArray Tdm_QX::stale(const QByteArray& sloupec, const QString& text) {
    return QByteArray(" and CAST(") + sloupec + " AS BINARY)=" + quoted(text);
}

QByteArray Tdm_QX::staleAscii(const QByteArray& sloupec, const QString& text) {
    return QByteArray(" and CAST(") + sloupec + " AS BINARY)=" + quotedBytes(text.toLatin1());
}

// ---------------------------------------------------------------- change counters

bool Tdm_QX::zajistiZmeny() {
    if (zmenyJsou_) return *zmenyJsou_;
    try {
        exec(rizeni_, "CREATE TABLE IF NOT EXISTS citaceqx ("
                      "id_soutez INT UNSIGNED NOT NULL, citac BIGINT UNSIGNED NOT NULL DEFAULT 0, "
                      "PRIMARY KEY (id_soutez)) ENGINE=InnoDB");
        zmenyJsou_ = true;
    } catch (const DbError& e) {
        // Without the right to create it the program works alone, as older versions did; a lost
        // connection is for the next statement to report.
        if (e.operace() == DbError::Operace::Pripojeni) throw;
        zmenyJsou_ = false;
    }
    return *zmenyJsou_;
}

void Tdm_QX::zmena(qint64 idSoutez) {
    if (!zajistiZmeny()) return;
    const QByteArray id = QByteArray::number(idSoutez);
    exec(rizeni_, "INSERT INTO citaceqx (id_soutez,citac) VALUES (" + id +
                      ",1) ON DUPLICATE KEY UPDATE citac=citac+1");
    open(rizeni_, "SELECT citac FROM citaceqx WHERE id_soutez=" + id);
    if (rizeni_.Eof()) return;
    const qint64 citac = rizeni_.AsInteger("citac");
    // This module's own change is no news to it, unless another one came since its last check.
    const auto known = znameCitace_.find(idSoutez);
    if (known != znameCitace_.end() && *known == citac - 1) *known = citac;
}

void Tdm_QX::zmenaRadku(qint64 idDruzstva) {
    if (!zajistiZmeny()) return;
    open(rizeni_, "SELECT id_soutez FROM druzstvaqx WHERE id=" + QByteArray::number(idDruzstva));
    if (rizeni_.Eof()) return;
    zmena(rizeni_.AsInteger("id_soutez"));
}

void Tdm_QX::zamkniSoutez(qint64 idSoutez) {
    if (!zajistiZmeny()) return;
    // An exclusive lock straight away (a shared one first would let two of them deadlock).
    exec(rizeni_, "INSERT INTO citaceqx (id_soutez,citac) VALUES (" + QByteArray::number(idSoutez) +
                      ",0) ON DUPLICATE KEY UPDATE citac=citac");
}

ZmenyJinych Tdm_QX::zkontroluj_zmeny(qint64 idSoutez) {
    ZmenyJinych z;
    if (!zajistiZmeny()) return z;
    SQLQuery q(*this);
    open(q, "SELECT id_soutez,citac FROM citaceqx WHERE id_soutez IN (" + QByteArray::number(kSdileneZmeny) +
                "," + QByteArray::number(idSoutez) + ")");
    qint64 sdilene = 0, soutez = 0;
    for (; !q.Eof(); q.Next()) {
        (q.AsInteger("id_soutez") == kSdileneZmeny ? sdilene : soutez) = q.AsInteger("citac");
    }
    const auto porovnej = [this](qint64 id, qint64 citac) {
        const auto known = znameCitace_.find(id);
        const bool jina = known == znameCitace_.end() || *known != citac;
        znameCitace_.insert(id, citac);
        return jina;
    };
    z.sdilene = porovnej(kSdileneZmeny, sdilene);
    if (idSoutez != kSdileneZmeny) z.soutez = porovnej(idSoutez, soutez);
    return z;
}

bool Tdm_QX::upgrade_schema() {
    zajistiZmeny();
    try {
        open(SQLQuery_kat, "SELECT M1 FROM druzstvaqx WHERE 1 LIMIT 1");
        return false;
    } catch (const DbError& e) {
        // Only a missing column means an older table; any other failure is
        // a real error and is passed on.
        if (e.code() != ER_BAD_FIELD_ERROR) throw;
    }
    exec(SQLQuery_kat, "ALTER TABLE druzstvaqx ADD  M1 Char(255) NOT NULL default \"\"");
    exec(SQLQuery_kat, "ALTER TABLE druzstvaqx ADD  M2 Char(255) NOT NULL default \"\"");
    exec(SQLQuery_kat, "ALTER TABLE druzstvaqx ADD  M3 Char(255) NOT NULL default \"\"");
    exec(SQLQuery_kat, "ALTER TABLE druzstvaqx ADD  M4 Char(255) NOT NULL default \"\"");
    return true;
}

} // namespace qx
