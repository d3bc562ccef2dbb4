#include "zaloha/SpravaPrikaz.h"

#include <QCommandLineParser>

namespace qx {

QString spravaUsage() {
    return QStringLiteral(
        "Použití: zapisnik --audit --competition ID\n"
        "         zapisnik --backup --competition ID [--to SLOŽKA]\n"
        "--audit vypíše historii změn časů, výsledků a pořadí soutěže (oddělenou tabulátory),\n"
        "--backup zapíše zálohu soutěže do složky záloh (výchozí: [Zaloha] Slozka v qx_db.ini).\n"
        "Návratový kód: 0 hotovo, 1 chyba databáze, souboru nebo neznámá soutěž, 2 chybné "
        "volby.\n");
}

SpravaParse parsujSpravu(const QStringList& argumenty) {
    SpravaParse v;
    const bool historie = argumenty.contains(QStringLiteral("--audit"));
    const bool zaloha = argumenty.contains(QStringLiteral("--backup"));
    v.pozadan = historie || zaloha;
    if (!v.pozadan) return v;
    const auto chyba = [&](const QString& text) {
        v.chyba = text;
        return v;
    };
    if (historie && zaloha) return chyba(QStringLiteral("Zadejte jen jednu z voleb --audit, --backup."));

    QCommandLineParser p;
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption audit(QStringLiteral("audit"));
    const QCommandLineOption backup(QStringLiteral("backup"));
    const QCommandLineOption soutez(QStringLiteral("competition"), QString(), QStringLiteral("ID"));
    const QCommandLineOption kam(QStringLiteral("to"), QString(), QStringLiteral("DIR"));
    p.addOptions({audit, backup, soutez, kam});
    QStringList args = argumenty;
    args.prepend(QStringLiteral("zapisnik"));
    if (!p.parse(args)) return chyba(p.errorText());
    if (!p.positionalArguments().isEmpty())
        return chyba(QStringLiteral("Neznámý argument: %1").arg(p.positionalArguments().first()));

    SpravaPrikaz c;
    c.druh = zaloha ? SpravaPrikaz::Druh::Zaloha : SpravaPrikaz::Druh::Historie;
    bool cislo = false;
    c.soutez = p.value(soutez).toLongLong(&cislo);
    if (!cislo || c.soutez <= 0) return chyba(QStringLiteral("--competition chce číslo soutěže."));
    if (p.isSet(kam)) {
        if (!zaloha) return chyba(QStringLiteral("--to patří jen k --backup."));
        c.slozka = p.value(kam);
        if (c.slozka.isEmpty()) return chyba(QStringLiteral("Chybí složka za --to."));
    }
    v.prikaz = c;
    return v;
}

} // namespace qx
