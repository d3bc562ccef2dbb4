#include "export/ExportPrikaz.h"

#include <QCommandLineParser>

namespace qx {

QString exportUsage() {
    return QStringLiteral(
        "Použití: zapisnik --export-pdf|--export-xlsx|--export-csv SOUBOR --competition ID\n"
        "                  [--view start|results] [--category NÁZEV]\n"
        "                  [--phase 1|2] [--result-mode better|final|sum] [--discipline 1|2|3|4|10|12]\n"
        "                  [--relay-export] [--splits yes|no] [--format setiny|tisiciny] [--version N]\n"
        "Výchozí: --view start, všechny kategorie, --phase 1, --result-mode better, --discipline 10,\n"
        "bez štafety, mezičasy, jejich označení a pořadatel z qx_db.ini, --format setiny, --version 466.\n"
        "Návratový kód: 0 zapsáno, 1 chyba databáze, souboru nebo neznámá soutěž, 2 chybné volby.\n");
}

ExportParse parsujExport(const QStringList& argumenty) {
    ExportParse vysledek;
    QCommandLineParser p;
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption soubor(QStringLiteral("export-pdf"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption xlsx(QStringLiteral("export-xlsx"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption csv(QStringLiteral("export-csv"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption soutez(QStringLiteral("competition"), QString(), QStringLiteral("ID"));
    const QCommandLineOption pohled(QStringLiteral("view"), QString(), QStringLiteral("VIEW"));
    const QCommandLineOption kategorie(QStringLiteral("category"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption kolo(QStringLiteral("phase"), QString(), QStringLiteral("N"));
    const QCommandLineOption rezim(QStringLiteral("result-mode"), QString(), QStringLiteral("MODE"));
    const QCommandLineOption disciplina(QStringLiteral("discipline"), QString(), QStringLiteral("N"));
    const QCommandLineOption stafeta(QStringLiteral("relay-export"));
    const QCommandLineOption mezicasy(QStringLiteral("splits"), QString(), QStringLiteral("yes|no"));
    const QCommandLineOption format(QStringLiteral("format"), QString(), QStringLiteral("FORMAT"));
    const QCommandLineOption verze(QStringLiteral("version"), QString(), QStringLiteral("N"));
    p.addOptions({soubor, xlsx, csv, soutez, pohled, kategorie, kolo, rezim, disciplina, stafeta, mezicasy,
                  format, verze});

    QStringList args = argumenty;
    args.prepend(QStringLiteral("zapisnik"));
    const bool ok = p.parse(args);
    vysledek.pozadan = argumenty.contains(QStringLiteral("--export-pdf")) ||
                       argumenty.contains(QStringLiteral("--export-xlsx")) ||
                       argumenty.contains(QStringLiteral("--export-csv")) ||
                       (ok && (p.isSet(soubor) || p.isSet(xlsx) || p.isSet(csv)));
    if (!vysledek.pozadan) return vysledek;
    const auto chyba = [&](const QString& text) {
        vysledek.chyba = text;
        return vysledek;
    };
    if (!ok) return chyba(p.errorText());
    if (!p.positionalArguments().isEmpty())
        return chyba(QStringLiteral("Neznámý argument: %1").arg(p.positionalArguments().first()));

    ExportPrikaz c;
    if (int(p.isSet(soubor)) + int(p.isSet(xlsx)) + int(p.isSet(csv)) != 1)
        return chyba(
            QStringLiteral("Zadejte právě jednu z voleb --export-pdf, --export-xlsx, --export-csv."));
    const QCommandLineOption& volba = p.isSet(xlsx) ? xlsx : p.isSet(csv) ? csv : soubor;
    c.druh = p.isSet(xlsx) ? ExportDruh::Xlsx : p.isSet(csv) ? ExportDruh::Csv : ExportDruh::Pdf;
    c.soubor = p.value(volba);
    if (c.soubor.isEmpty())
        return chyba(QStringLiteral("Chybí název souboru za --%1.").arg(volba.names().first()));
    c.soutez = p.value(soutez);
    bool cislo = false;
    c.soutez.toLongLong(&cislo);
    if (!cislo) return chyba(QStringLiteral("--competition chce číslo soutěže."));

    if (p.isSet(pohled)) {
        const QString v = p.value(pohled);
        if (v == u"start")
            c.pohled = Pohled::Listina;
        else if (v == u"results")
            c.pohled = Pohled::Mereni;
        else
            return chyba(QStringLiteral("--view chce start nebo results."));
    }
    c.kategorie = p.value(kategorie);
    if (p.isSet(kolo)) {
        const QString v = p.value(kolo);
        if (v == u"1")
            c.kolo = Kolo::Prvni;
        else if (v == u"2")
            c.kolo = Kolo::Druhe;
        else
            return chyba(QStringLiteral("--phase chce 1 nebo 2."));
    }
    if (p.isSet(rezim)) {
        const QString v = p.value(rezim);
        if (v == u"better")
            c.rezim = Rezim::Lepsi;
        else if (v == u"final")
            c.rezim = Rezim::Finalovy;
        else if (v == u"sum")
            c.rezim = Rezim::Soucet;
        else
            return chyba(QStringLiteral("--result-mode chce better, final nebo sum."));
    }
    if (p.isSet(disciplina)) {
        const int v = p.value(disciplina).toInt(&cislo);
        if (!cislo || !(v == 1 || v == 2 || v == 3 || v == 4 || v == 10 || v == 12))
            return chyba(QStringLiteral("--discipline chce 1, 2, 3, 4, 10 nebo 12."));
        c.nast = uint8_t(v);
    }
    c.stafetaExport = p.isSet(stafeta);
    if (p.isSet(mezicasy)) {
        const QString v = p.value(mezicasy);
        if (v == u"yes")
            c.mezicasy = true;
        else if (v == u"no")
            c.mezicasy = false;
        else
            return chyba(QStringLiteral("--splits chce yes nebo no."));
    }
    if (p.isSet(format)) {
        const QString v = p.value(format);
        if (v == u"setiny")
            c.format = 0;
        else if (v == u"tisiciny" || v == u"tisíciny")
            c.format = 1;
        else
            return chyba(QStringLiteral("--format chce setiny nebo tisiciny."));
    }
    if (p.isSet(verze)) {
        c.verze = p.value(verze).toInt(&cislo);
        if (!cislo || c.verze <= 0)
            return chyba(QStringLiteral("--version chce číslo verze časomíry, např. 466."));
    }
    vysledek.prikaz = c;
    return vysledek;
}

} // namespace qx
