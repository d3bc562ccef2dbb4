#pragma once

// The results server's switch on the settings panel: on or off, the port, the address phones
// open and its QR code. Nothing is served while the switch is off.

#include "web/WebServer.h"

#include <QFrame>
#include <QHostAddress>
#include <QImage>

class QCheckBox;
class QLabel;
class QSpinBox;

class PanelWeb : public QFrame {
    Q_OBJECT
public:
    // `naslouchani`: where the server listens (every interface in the program, loopback in tests).
    explicit PanelWeb(QWidget* parent, const QHostAddress& naslouchani = QHostAddress::AnyIPv4);

    QCheckBox* CB_web;
    QSpinBox* edt_web_port;
    QLabel* lbl_web_adresa;
    QLabel* lbl_web_qr;

    // Turns the server on at the port; false (the switch stays off, the reason in the label)
    // when the port cannot be opened.
    bool zapni(int port);
    void vypni();
    qx::WebServer& server() { return server_; }
    // "http://192.168.1.5:8080/" while on, empty while off.
    QString adresaStranky() const { return adresa_; }
    // The QR code of the address, black on white, `modul` pixels per module (null while off).
    QImage qrObrazek(int modul) const;

signals:
    // The operator turned the server on or off (the window remembers it in qx_db.ini).
    void prepnuto(bool zapnuto, int port);
    // The server has just started: the window publishes its first snapshot.
    void spusten();

private:
    void ukaz();

    QHostAddress naslouchani_;
    qx::WebServer server_;
    QString adresa_;
};

// The QR code of a text as an image, black on white with a quiet zone of four modules.
QImage qrObrazek(const QString& text, int modul);
