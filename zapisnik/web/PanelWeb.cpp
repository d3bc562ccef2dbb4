#include "web/PanelWeb.h"

#include "web/QrKod.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QSpinBox>

QImage qrObrazek(const QString& text, int modul) {
    const std::optional<qx::QrKod> k = qx::qrKod(text.toUtf8());
    if (!k) return QImage();
    const int okraj = 4;
    const int strana = (k->strana + 2 * okraj) * modul;
    QImage img(strana, strana, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    for (int y = 0; y < k->strana; ++y)
        for (int x = 0; x < k->strana; ++x)
            if (k->tmavy(x, y)) p.fillRect((x + okraj) * modul, (y + okraj) * modul, modul, modul, Qt::black);
    return img;
}

PanelWeb::PanelWeb(QWidget* parent, const QHostAddress& naslouchani)
    : QFrame(parent), naslouchani_(naslouchani) {
    setObjectName(QStringLiteral("pnl_web"));
    setGeometry(0, 197, 409, 150);
    setFrameShape(QFrame::StyledPanel);
    CB_web = new QCheckBox(QStringLiteral("Výsledky na webu, port:"), this);
    CB_web->setObjectName(QStringLiteral("CB_web"));
    CB_web->setGeometry(6, 6, 150, 19);
    edt_web_port = new QSpinBox(this);
    edt_web_port->setObjectName(QStringLiteral("edt_web_port"));
    edt_web_port->setGeometry(158, 5, 70, 21);
    edt_web_port->setRange(1, 65535);
    edt_web_port->setValue(8080);
    lbl_web_adresa = new QLabel(this);
    lbl_web_adresa->setObjectName(QStringLiteral("lbl_web_adresa"));
    lbl_web_adresa->setGeometry(6, 30, 260, 110);
    lbl_web_adresa->setWordWrap(true);
    lbl_web_adresa->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbl_web_adresa->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lbl_web_qr = new QLabel(this);
    lbl_web_qr->setObjectName(QStringLiteral("lbl_web_qr"));
    lbl_web_qr->setGeometry(268, 4, 136, 136);
    lbl_web_qr->setAlignment(Qt::AlignCenter);
    connect(CB_web, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            zapni(edt_web_port->value());
        else
            vypni();
        emit prepnuto(server_.bezi(), edt_web_port->value());
    });
    ukaz();
}

bool PanelWeb::zapni(int port) {
    QString chyba;
    const bool ok = server_.spust(naslouchani_, quint16(port), &chyba);
    {
        const QSignalBlocker block(CB_web);
        CB_web->setChecked(ok);
        edt_web_port->setValue(ok ? server_.port() : port);
    }
    adresa_ =
        ok ? QStringLiteral("http://%1:%2/").arg(qx::adresaProTelefony(naslouchani_)).arg(server_.port())
           : QString();
    ukaz();
    if (!ok)
        lbl_web_adresa->setText(QStringLiteral("Server se nespustil na portu %1: %2").arg(port).arg(chyba));
    else
        emit spusten();
    return ok;
}

void PanelWeb::vypni() {
    server_.zastav();
    {
        const QSignalBlocker block(CB_web);
        CB_web->setChecked(false);
    }
    adresa_.clear();
    ukaz();
}

QImage PanelWeb::qrObrazek(int modul) const {
    return adresa_.isEmpty() ? QImage() : ::qrObrazek(adresa_, modul);
}

void PanelWeb::ukaz() {
    edt_web_port->setEnabled(!server_.bezi());
    if (!server_.bezi()) {
        lbl_web_adresa->setText(QStringLiteral("Vypnuto: nic se nezveřejňuje."));
        lbl_web_qr->clear();
        return;
    }
    const QString nasl = naslouchani_ == QHostAddress::AnyIPv4 || naslouchani_ == QHostAddress::Any
                             ? QStringLiteral("všech adresách")
                             : QStringLiteral("adrese ") + naslouchani_.toString();
    lbl_web_adresa->setText(QStringLiteral("Zapnuto. Stránka pro telefony:\n%1\nhlasatel: %1hlasatel\n"
                                           "Naslouchá na %2, port %3.")
                                .arg(adresa_, nasl)
                                .arg(server_.port()));
    const QImage img = qrObrazek(3);
    lbl_web_qr->setPixmap(
        QPixmap::fromImage(img.scaled(132, 132, Qt::KeepAspectRatio, Qt::FastTransformation)));
}
