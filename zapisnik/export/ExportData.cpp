#include "export/ExportData.h"

#include "data/Registers.h"
#include "data/Tdm_QX.h"
#include "export/PdfExport.h"
#include "export/TabulkaSoubor.h"
#include "measurement/MereniDataDb.h"
#include "measurement/MereniSluzba.h"
#include "ui/QxDbIni.h"

namespace qx {

ExportVstup nactiExport(Tdm_QX& dm, const MereniKontext& kontext, Pohled pohled) {
    ExportVstup v;
    v.pohled = pohled;
    v.kontext = kontext;
    const qint64 id = Tdm_QX::key(kontext.idSoutez).toLongLong();
    if (const std::optional<SoutezRadek> s = dm.soutez(id))
        v.soutez = SoutezHlavicka{s->nazev, FormatDateTime_QX(s->datum), s->cas, s->misto, s->okres};
    QByteArray sql = "SELECT * FROM druzstvaqx WHERE id_soutez=" + QByteArray::number(id);
    if (!kontext.kategorie.isEmpty()) sql += " and kategorie=" + dm.quoted(kontext.kategorie) + " ";
    if (pohled == Pohled::Listina)
        sql += " ORDER BY CAST(poradi as unsigned) ASC";
    else
        sql += " and celkem<>\"\" ORDER BY CAST(pozice as unsigned) ASC";
    v.radky = dm.readAll<DruzstvoRadek>(sql, &Tdm_QX::druzstvo);
    return v;
}

int spustExport(const ExportPrikaz& prikaz, Tdm_QX& dm, QTextStream& chyby) {
    const QxDbIni ini = readQxDbIni(qxDbIniPath());
    MereniKontext k;
    k.idSoutez = prikaz.soutez;
    k.kategorie = prikaz.kategorie;
    k.nast = prikaz.nast;
    k.verze = prikaz.verze;
    k.kolo = prikaz.kolo;
    k.rezim = prikaz.rezim;
    k.format = prikaz.format;
    k.stafetaExport = prikaz.stafetaExport;
    k.mezicasy = prikaz.mezicasy.value_or(ini.mezicas == 0);
    k.mezicasTitulky = {ini.m1, ini.m2, ini.m3, ini.m4};
    k.poradatel = ini.poradatel;
    try {
        if (!dm.soutez(prikaz.soutez.toLongLong())) {
            chyby << QStringLiteral("Soutěž %1 v databázi není.").arg(prikaz.soutez) << Qt::endl;
            return 1;
        }
        if (prikaz.pohled == Pohled::Mereni) {
            // The placings printed are the ones entering the measurement panel would compute.
            MereniDataDb data(dm);
            MereniSluzba sluzba(data);
            const Prepocet p = sluzba.zmena_nast(k);
            if (!p.chybne.isEmpty()) chyby << zpravaChybnychCasu(p.chybne) << Qt::endl;
        }
        const ExportVstup vstup = nactiExport(dm, k, prikaz.pohled);
        const ExportVysledek vysledek =
            prikaz.druh == ExportDruh::Pdf
                ? exportujPdf(vstup, prikaz.soubor)
                : exportujTabulku(tabulkaExportu(vstup),
                                  prikaz.druh == ExportDruh::Xlsx ? TabulkovyFormat::Xlsx
                                                                  : TabulkovyFormat::Csv,
                                  prikaz.soubor);
        if (!vysledek.ok) {
            chyby << vysledek.chyba << Qt::endl;
            return 1;
        }
        return 0;
    } catch (const DbError& e) {
        chyby << QStringLiteral("Chyba databáze: %1").arg(e.text()) << Qt::endl;
        return 1;
    }
}

} // namespace qx
