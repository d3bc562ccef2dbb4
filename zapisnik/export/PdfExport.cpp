#include "export/PdfExport.h"

#include "settings/WholeFile.h"

#include <QBuffer>
#include <QColor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QUrl>

namespace qx {

namespace {

constexpr int kRozliseni = 96;
// The button-face grey of the table header band.
const QColor kSedaPasu(0xF0, 0xF0, 0xF0);

// The few fonts of a document, each made once with the ascent that turns a line's top into its
// baseline.
class Pisma {
public:
    explicit Pisma(QPaintDevice* zarizeni) : m_zarizeni(zarizeni) {}

    struct Pismo {
        QFont font;
        qreal ascent = 0;
    };

    const Pismo& pismo(const Kresba& k) {
        const int klic = k.velikost * 4 + (k.tucne ? 2 : 0) + (k.preskrtnute ? 1 : 0);
        auto it = m_pisma.find(klic);
        if (it == m_pisma.end()) {
            QFont f(kPismoPdf);
            f.setStyleHint(QFont::Serif);
            f.setPointSize(k.velikost);
            f.setBold(k.tucne);
            f.setStrikeOut(k.preskrtnute);
            f.setKerning(false);
            it = m_pisma.insert(klic, Pismo{f, QFontMetricsF(f, m_zarizeni).ascent()});
        }
        return *it;
    }

private:
    QPaintDevice* m_zarizeni;
    QHash<int, Pismo> m_pisma;
};

} // namespace

void kresli(const QList<Stranka>& stranky, QPdfWriter& writer) {
    writer.setResolution(kRozliseni);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setCreator(QStringLiteral("Časomíry QX"));

    QPainter p(&writer);
    Pisma pisma(&writer);
    const QPen pero(Qt::black, 1);
    p.setPen(pero);
    for (qsizetype i = 0; i < stranky.size(); ++i) {
        if (i > 0) writer.newPage();
        QPainterPath vyplne;
        vyplne.setFillRule(Qt::WindingFill);
        for (const Kresba& k : stranky[i]) {
            switch (k.druh) {
            case Kresba::Druh::Text: {
                const Pisma::Pismo& f = pisma.pismo(k);
                p.setFont(f.font);
                p.drawText(QPointF(k.x, k.y + f.ascent), k.text);
                break;
            }
            case Kresba::Druh::Cara:
                p.drawLine(QLineF(k.x, k.y, k.x2, k.y2));
                break;
            case Kresba::Druh::Obdelnik:
                p.setBrush(k.seda ? kSedaPasu : QColor(Qt::white));
                p.drawRect(QRectF(k.x, k.y, k.x2 - k.x, k.y2 - k.y));
                break;
            case Kresba::Druh::Vypln:
                vyplne.addRect(QRectF(k.x, k.y, k.x2 - k.x, k.y2 - k.y));
                break;
            }
        }
        // The fills of a page as one shape: adjoining ones show no seam between them.
        if (!vyplne.isEmpty()) p.fillPath(vyplne, Qt::black);
    }
    p.end();
}

QByteArray pdfDokument(const QList<Stranka>& stranky) {
    QByteArray data;
    {
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        kresli(stranky, writer);
    }
    return data;
}

ExportVysledek exportujPdf(const ExportVstup& vstup, const QString& path) {
    const QList<Stranka> stranky = rozvrhni(vstup);
    ExportVysledek v;
    const int err = replaceFile(path, pdfDokument(stranky));
    if (err != 0) {
        v.chyba = replaceFileError(path, err);
        return v;
    }
    v.ok = true;
    v.stran = int(stranky.size());
    return v;
}

void otevriPdf(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

} // namespace qx
