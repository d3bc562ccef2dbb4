#include "DialogSpojeni.h"

#include "QxDbIni.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>
#include <optional>

DialogSpojeni::DialogSpojeni(const qx::ConnectionSettings& settings, QWidget* parent, QString iniPath)
    : QDialog(parent), puvodni_(settings),
      iniPath_(iniPath.isEmpty() ? qx::qxDbIniPath() : std::move(iniPath)) {
    setObjectName(QStringLiteral("DialogSpojeni"));
    setWindowTitle(QStringLiteral("Připojení k databázi"));
    const auto pole = [this](const char* name, const QByteArray& value) {
        auto* e = new QLineEdit(QString::fromUtf8(value), this);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    edt_server = pole("edt_server", settings.host);
    edt_port = pole("edt_port", settings.port ? QByteArray::number(settings.port) : QByteArray());
    edt_port->setValidator(new QIntValidator(1, 65535, edt_port));
    edt_port->setPlaceholderText(QStringLiteral("výchozí (3306)"));
    edt_uzivatel = pole("edt_uzivatel", settings.user);
    edt_heslo = pole("edt_heslo", settings.password);
    edt_heslo->setEchoMode(QLineEdit::Password);
    edt_databaze = pole("edt_databaze", settings.database);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Server:"), edt_server);
    form->addRow(QStringLiteral("Port:"), edt_port);
    form->addRow(QStringLiteral("Uživatel:"), edt_uzivatel);
    form->addRow(QStringLiteral("Heslo:"), edt_heslo);
    form->addRow(QStringLiteral("Databáze:"), edt_databaze);

    auto* napoveda = new QLabel(
        QStringLiteral("Server „localhost“ znamená databázi na tomto počítači (přes soket); jiný počítač "
                       "zadejte jeho adresou."),
        this);
    napoveda->setWordWrap(true);
    lbl_vysledek = new QLabel(this);
    lbl_vysledek->setObjectName(QStringLiteral("lbl_vysledek"));
    lbl_vysledek->setWordWrap(true);
    lbl_vysledek->setMinimumHeight(34);

    btn_vyzkouset = new QPushButton(QStringLiteral("Vyzkoušet"), this);
    btn_vyzkouset->setObjectName(QStringLiteral("btn_vyzkouset"));
    btn_ulozit = new QPushButton(QStringLiteral("Uložit"), this);
    btn_ulozit->setObjectName(QStringLiteral("btn_ulozit"));
    btn_ulozit->setDefault(true);
    btn_zrusit = new QPushButton(QStringLiteral("Zrušit"), this);
    btn_zrusit->setObjectName(QStringLiteral("btn_zrusit"));
    auto* tlacitka = new QHBoxLayout;
    tlacitka->addWidget(btn_vyzkouset);
    tlacitka->addStretch();
    tlacitka->addWidget(btn_ulozit);
    tlacitka->addWidget(btn_zrusit);

    auto* v = new QVBoxLayout(this);
    v->addLayout(form);
    v->addWidget(napoveda);
    v->addWidget(lbl_vysledek);
    v->addLayout(tlacitka);
    setMinimumWidth(360);

    connect(btn_vyzkouset, &QPushButton::clicked, this, &DialogSpojeni::vyzkouset);
    connect(btn_ulozit, &QPushButton::clicked, this, &DialogSpojeni::ulozit);
    connect(btn_zrusit, &QPushButton::clicked, this, &QDialog::reject);
}

qx::ConnectionSettings DialogSpojeni::nastaveni() const {
    qx::ConnectionSettings s = puvodni_;
    const qx::ConnectionSettings vychozi;
    const auto text = [](QLineEdit* e, const QByteArray& def) {
        const QByteArray v = e->text().trimmed().toUtf8();
        return v.isEmpty() ? def : v;
    };
    s.host = text(edt_server, vychozi.host);
    s.port = edt_port->text().trimmed().toUInt();
    if (s.port > 65535) s.port = 0;
    s.user = text(edt_uzivatel, vychozi.user);
    s.password = edt_heslo->text().toUtf8(); // as typed: blanks may belong to it
    s.database = text(edt_databaze, vychozi.database);
    return s;
}

void DialogSpojeni::vyzkouset() {
    if (pokus_.bezi()) return;
    const qx::ConnectionSettings s = nastaveni();
    lbl_vysledek->setStyleSheet(QString());
    lbl_vysledek->setText(QStringLiteral("Zkouším spojení se serverem %1…").arg(s.server()));
    btn_vyzkouset->setEnabled(false);
    pokus_.zkus(s, [this, s](bool ok, const std::optional<qx::DbError>& chyba) {
        btn_vyzkouset->setEnabled(true);
        if (ok) {
            lbl_vysledek->setStyleSheet(QStringLiteral("color: green;"));
            lbl_vysledek->setText(QStringLiteral("Spojení funguje: databáze %1 na serveru %2.")
                                      .arg(QString::fromUtf8(s.database), s.server()));
        } else {
            lbl_vysledek->setStyleSheet(QStringLiteral("color: red;"));
            lbl_vysledek->setText(chyba ? chyba->zprava() + u'\n' + chyba->podrobnosti()
                                        : QStringLiteral("Spojení nefunguje."));
        }
        emit vyzkouseno(ok);
    });
}

void DialogSpojeni::ulozit() {
    QString chyba;
    if (!qx::writeDatabazeIni(iniPath_, nastaveni(), &chyba)) {
        lbl_vysledek->setStyleSheet(QStringLiteral("color: red;"));
        lbl_vysledek->setText(chyba);
        return;
    }
    accept();
}
