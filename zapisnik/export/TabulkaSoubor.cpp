#include "export/TabulkaSoubor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <xlsxwriter.h>

namespace qx {

namespace {

ExportVysledek chyba(const QString& path, const QString& duvod) {
    return ExportVysledek{false, QStringLiteral("Soubor %1 se nepodařilo zapsat: %2").arg(path, duvod), 0};
}

ExportVysledek xlsx(const TabulkaExportu& t, const QString& path) {
    const QString docasny = path + QStringLiteral(".part");
    QFile::remove(docasny);
    lxw_workbook* wb = workbook_new(QFile::encodeName(docasny).constData());
    if (!wb) return chyba(path, QStringLiteral("sešit nelze vytvořit"));
    lxw_worksheet* ws = workbook_add_worksheet(wb, t.list.toUtf8().constData());
    lxw_format* tucne = workbook_add_format(wb);
    format_set_bold(tucne);
    lxw_format* cisla[4] = {};
    const char* masky[4] = {"0", "0.0", "0.00", "0.000"};
    for (int i = 0; i < 4; ++i) {
        cisla[i] = workbook_add_format(wb);
        format_set_num_format(cisla[i], masky[i]);
    }
    for (int c = 0; c < t.zahlavi.size(); ++c)
        worksheet_write_string(ws, 0, lxw_col_t(c), t.zahlavi[c].toUtf8().constData(), tucne);
    for (int r = 0; r < t.radky.size(); ++r) {
        const QList<Bunka>& radek = t.radky[r];
        for (int c = 0; c < radek.size(); ++c) {
            const Bunka& b = radek[c];
            if (b.cislo)
                worksheet_write_number(ws, lxw_row_t(r + 1), lxw_col_t(c), *b.cislo,
                                       cisla[qBound(0, b.desetinna, 3)]);
            else if (!b.text.isEmpty())
                worksheet_write_string(ws, lxw_row_t(r + 1), lxw_col_t(c), b.text.toUtf8().constData(),
                                       nullptr);
        }
    }
    worksheet_set_column(ws, 1, 1, 30, nullptr);
    const lxw_error e = workbook_close(wb);
    if (e != LXW_NO_ERROR) {
        QFile::remove(docasny);
        return chyba(path, QString::fromUtf8(lxw_strerror(e)));
    }
    if (QFileInfo::exists(path) && !QFile::remove(path)) {
        QFile::remove(docasny);
        return chyba(path, QStringLiteral("starší soubor je otevřený nebo chráněný"));
    }
    if (!QFile::rename(docasny, path)) {
        QFile::remove(docasny);
        return chyba(path, QStringLiteral("soubor nelze přejmenovat"));
    }
    return ExportVysledek{true, QString(), 1};
}

ExportVysledek csv(const TabulkaExportu& t, const QString& path) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return chyba(path, f.errorString());
    f.write(csvTabulky(t));
    if (!f.commit()) return chyba(path, f.errorString());
    return ExportVysledek{true, QString(), 1};
}

} // namespace

ExportVysledek exportujTabulku(const TabulkaExportu& tabulka, TabulkovyFormat format, const QString& path) {
    return format == TabulkovyFormat::Xlsx ? xlsx(tabulka, path) : csv(tabulka, path);
}

} // namespace qx
