#pragma once

// The connection settings dialog: server, port, user, password (hidden as it is typed) and
// database. "Vyzkoušet" tries a connection with the values as they stand, in the background, and
// tells the result; "Uložit" writes them to qx_db.ini's [Databaze] and closes the dialog (the
// window then connects with them).

#include "data/HlidacSpojeni.h"
#include "data/Tdm_QX.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class DialogSpojeni : public QDialog {
    Q_OBJECT
public:
    // `iniPath`: where "Uložit" writes (the program's qx_db.ini by default).
    DialogSpojeni(const qx::ConnectionSettings& settings, QWidget* parent = nullptr, QString iniPath = {});

    // The values as typed, over the settings the dialog was opened with (time-outs, socket).
    qx::ConnectionSettings nastaveni() const;

    QLineEdit* edt_server;
    QLineEdit* edt_port;
    QLineEdit* edt_uzivatel;
    QLineEdit* edt_heslo;
    QLineEdit* edt_databaze;
    QPushButton* btn_vyzkouset;
    QPushButton* btn_ulozit;
    QPushButton* btn_zrusit;
    QLabel* lbl_vysledek;

    // A try under way (its result comes to lbl_vysledek).
    bool zkousi() const { return pokus_.bezi(); }

signals:
    // The try ended; `ok` when the server answered.
    void vyzkouseno(bool ok);

private:
    void vyzkouset();
    void ulozit();

    qx::ConnectionSettings puvodni_;
    QString iniPath_;
    qx::PokusOSpojeni pokus_;
};
