#include "QxDbIni.h"

#include "settings/ConfigDir.h"
#include "settings/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qx {

QString qxDbIniPath() {
    return configPath(QStringLiteral("qx_db.ini"));
}

QxDbIni readQxDbIni(const QString& path, QString* error) {
    QxDbIni v;
    IniFile ini;
    QString chyba;
    const IniFile::LoadResult loaded = ini.load(path, &chyba);
    if (loaded == IniFile::LoadResult::Unreadable && error)
        *error =
            chyba + QStringLiteral(" Program použije výchozí hodnoty a tlačítko Uložit na záložce Nastavení "
                                   "soubor nepřepíše.");
    if (loaded != IniFile::LoadResult::Loaded) return v;
    v.poradatel = ini.text("Poradatel", "P1", v.poradatel);
    if (ini.has("Mezicas", "M1")) v.mezicas = ini.integer("Mezicas", "M1", 1);
    v.m1 = ini.text("Oznac_mezi", "M1", v.m1);
    v.m2 = ini.text("Oznac_mezi", "M2", v.m2);
    v.m3 = ini.text("Oznac_mezi", "M3", v.m3);
    v.m4 = ini.text("Oznac_mezi", "M4", v.m4);
    return v;
}

bool writeQxDbIni(const QString& path, const QxDbIni& v, QString* error) {
    IniFile ini;
    ini.load(path); // a missing file starts empty; an unreadable one is not saved over
    ini.setText("Poradatel", "P1", v.poradatel);
    ini.setInteger("Mezicas", "M1", v.mezicas);
    ini.setText("Oznac_mezi", "M1", v.m1);
    ini.setText("Oznac_mezi", "M2", v.m2);
    ini.setText("Oznac_mezi", "M3", v.m3);
    ini.setText("Oznac_mezi", "M4", v.m4);
    return ini.save(path, error);
}

} // namespace qx

namespace qx {

WebIni readWebIni(const QString& path) {
    WebIni v;
    IniFile ini;
    if (ini.load(path) != IniFile::LoadResult::Loaded) return v;
    v.zapnuto = ini.integer("Web", "Zapnuto", 0) == 1;
    const int port = ini.integer("Web", "Port", v.port);
    if (port > 0 && port < 65536) v.port = port;
    return v;
}

bool writeWebIni(const QString& path, const WebIni& v, QString* error) {
    IniFile ini;
    ini.load(path);
    ini.setInteger("Web", "Zapnuto", v.zapnuto ? 1 : 0);
    ini.setInteger("Web", "Port", v.port);
    return ini.save(path, error);
}

} // namespace qx

namespace qx {

QString vychoziSlozkaZaloh() {
    return dataDir() + QStringLiteral("/zalohy");
}

ZalohaIni readZalohaIni(const QString& path) {
    ZalohaIni v;
    v.slozka = vychoziSlozkaZaloh();
    IniFile ini;
    if (ini.load(path) != IniFile::LoadResult::Loaded) return v;
    const QString slozka = ini.text("Zaloha", "Slozka", QString()).trimmed();
    if (!slozka.isEmpty()) v.slozka = slozka;
    const int pocet = ini.integer("Zaloha", "Pocet", v.pocet);
    if (pocet >= 1) v.pocet = pocet;
    return v;
}

bool writeZalohaIni(const QString& path, const ZalohaIni& v, QString* error) {
    IniFile ini;
    ini.load(path);
    ini.setText("Zaloha", "Slozka", v.slozka);
    ini.setInteger("Zaloha", "Pocet", v.pocet);
    return ini.save(path, error);
}

ConnectionSettings readDatabazeIni(const QString& path) {
    ConnectionSettings s;
    IniFile ini;
    if (ini.load(path) != IniFile::LoadResult::Loaded) return s;
    const auto text = [&ini](const char* key, QByteArray& value) {
        if (ini.has("Databaze", key)) value = ini.text("Databaze", key).toUtf8();
    };
    text("Server", s.host);
    text("Uzivatel", s.user);
    text("Heslo", s.password);
    text("Databaze", s.database);
    text("Soket", s.unixSocket);
    if (s.host.isEmpty()) s.host = ConnectionSettings().host;
    if (s.user.isEmpty()) s.user = ConnectionSettings().user;
    if (s.database.isEmpty()) s.database = ConnectionSettings().database;
    const int port = ini.integer("Databaze", "Port", 0);
    if (port > 0 && port < 65536) s.port = unsigned(port);
    return s;
}

bool writeDatabazeIni(const QString& path, const ConnectionSettings& s, QString* error) {
    IniFile ini;
    ini.load(path);
    ini.setText("Databaze", "Server", QString::fromUtf8(s.host));
    ini.setInteger("Databaze", "Port", int(s.port));
    ini.setText("Databaze", "Uzivatel", QString::fromUtf8(s.user));
    ini.setText("Databaze", "Heslo", QString::fromUtf8(s.password));
    ini.setText("Databaze", "Databaze", QString::fromUtf8(s.database));
    ini.setText("Databaze", "Soket", QString::fromUtf8(s.unixSocket));
    // The password is in the file: the owner alone may read it, also before it is written (the
    // new file takes the old one's mode).
    const QFile::Permissions jenVlastnik = QFile::ReadOwner | QFile::WriteOwner;
    if (QFile::exists(path)) {
        QFile::setPermissions(path, jenVlastnik);
    } else {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile novy(path);
        if (novy.open(QIODevice::WriteOnly)) novy.setPermissions(jenVlastnik);
    }
    if (!ini.save(path, error)) return false;
    QFile::setPermissions(path, jenVlastnik);
    return true;
}

ConnectionSettings nastaveniSpojeni(const QString& path) {
    return ConnectionSettings::fromEnvironment(readDatabazeIni(path));
}

} // namespace qx
