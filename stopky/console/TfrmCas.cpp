#include "TfrmCas.h"

#include "TimesList.h"
#include "console/qxini.h"
#include "device/DeviceVersions.h"
#include "display/TimeText.h"
#include "display/textlimit.h"
#include "link/Settings.h"
#include "link/VersionTable.h"
#include "link/serialports.h"
#include "messages/ActualFile.h"
#include "messages/Messages.h"
#include "messages/TimeUnits.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace {

// Fonts of the console: the window's default face and the time display's bold face. The names
// resolve through fontconfig to metric twins (fonts-liberation).
QFont faceFont(const QString& family, int pixelHeight, bool bold = false) {
    QFont f(family);
    f.setPixelSize(pixelHeight);
    f.setBold(bold);
    return f;
}

QFont arial(int pixelHeight, bool bold = true) {
    return faceFont(QStringLiteral("Arial"), pixelHeight, bold);
}

void setTextColor(QWidget* w, const QColor& color) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::Text, color);
    w->setPalette(p);
}

template <typename T> T* named(QWidget* parent, const char* name) {
    auto* w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, int x, int y, int w = -1,
              int h = -1) {
    auto* l = named<QLabel>(parent, name);
    l->setText(caption);
    if (w < 0) {
        l->adjustSize();
        l->move(x, y);
    } else {
        l->setGeometry(x, y, w, h);
    }
    return l;
}

// The operator types at most `limit` characters into `e`; a text the program sets is kept whole
// (QLineEdit's own maximum length would cut it, and counts UTF-16 units).
void limitTyping(QLineEdit* e, int limit) {
    auto before = std::make_shared<QString>(e->text());
    QObject::connect(e, &QLineEdit::textChanged, e, [e, before] { *before = e->text(); });
    QObject::connect(e, &QLineEdit::textEdited, e, [e, before, limit](const QString& after) {
        const stopky::TypedText t = stopky::limitTyped(*before, after, e->cursorPosition(), limit);
        if (t.text == after) return;
        e->setText(t.text);
        e->setCursorPosition(t.cursor);
    });
}

QFrame* panel(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* p = named<QFrame>(parent, name);
    p->setGeometry(x, y, w, h);
    p->setFrameShape(QFrame::StyledPanel);
    p->setFrameShadow(QFrame::Raised);
    return p;
}

} // namespace

TfrmCas::TfrmCas(const QString& extraPort, int version, std::unique_ptr<qx::LocalChannel> channel,
                 QWidget* parent)
    : QWidget(parent), m_channel(std::move(channel)) {
    if (!m_channel) m_channel = std::make_unique<qx::LocalChannel>(qx::StopkyName);
    setObjectName(QStringLiteral("TfrmCas"));
    setWindowTitle(QStringLiteral("Dozodoro RO 4"));
    // fontconfig knows no metric twin of the old bitmap face; Liberation Sans keeps the captions
    // within their places (DejaVu Sans is wider).
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    setFont(faceFont(QStringLiteral("MS Sans Serif"), 11));
    resize(451, 288);
    m_bounds = new WindowBounds(this);

    buildMeasuringPanels();
    buildPortChoicePanels();

    m_decoder.setListener(this);
    tmrPrep = new QTimer(this);
    tmrPrep->setObjectName(QStringLiteral("tmrPrep"));
    tmrPrep->setInterval(2000);
    connect(tmrPrep, &QTimer::timeout, this, &TfrmCas::tmrPrepTimer);

    connect(&m_link, &stopky::SerialLink::promptChanged, this, [this](const QString& l1, const QString& l2) {
        lblUvod->setText(l1);
        lblUvod1->setText(l2);
    });
    connect(&m_link, &stopky::SerialLink::greetingReceived, this, &TfrmCas::onGreeting);
    connect(&m_link, &stopky::SerialLink::portLost, this, &TfrmCas::onPortLost);
    connect(&m_link, &stopky::SerialLink::dataReceived, this, &TfrmCas::onData);
    connect(&m_link, &stopky::SerialLink::resumedWithoutGreeting, this, &TfrmCas::onResumed);
    connect(&m_link, &stopky::SerialLink::stateChanged, this, &TfrmCas::updateHealth);

    // A journal that cannot be written is told once (until it works again); timing goes on.
    m_journal.onError = [this](const QString& error) {
        showErrorBox(m_journalBox, QMessageBox::Warning, "journalErrorBox",
                     QStringLiteral("Záznam časů nelze zapsat."),
                     error + QStringLiteral("\nMěření běží dál a časy jdou do zapisníku, jen se neukládají "
                                            "do záznamu."));
    };
    m_healthTimer.setInterval(1000);
    connect(&m_healthTimer, &QTimer::timeout, this, &TfrmCas::updateHealth);
    m_healthTimer.start();
    m_reconnect.setInterval(500);
    connect(&m_reconnect, &QTimer::timeout, this, &TfrmCas::reopenLostPort);
    m_sound.setDirectory(QDir::currentPath());
    m_sound.preload(
        {QStringLiteral("zacatek.wav"), QStringLiteral("pozor.wav"), QStringLiteral("vystrel.wav")});
    makeAutoStart();
    connect(&m_countdown, &stopky::Countdown::textChanged, lblCas, &QLabel::setText);

    connect(CBUvod, &QComboBox::activated, this, [this](int) { CBUvodChange(); });
    connect(CBFormat, &QComboBox::activated, this, [this](int) { nastav_typ(); });
    for (const auto& [number, rb] : m_radios)
        connect(rb, &QRadioButton::clicked, this, [this, number] { versionClicked(number); });

    // A conversion error is reported without a nested event loop: bytes keep being decoded.
    connect(this, &TfrmCas::conversionError, this, [this](const QString& entry, const QString& error) {
        if (!m_conversionBox) m_conversionErrors = 0;
        ++m_conversionErrors;
        const QString info = m_conversionErrors == 1
                                 ? entry
                                 : QStringLiteral("%1\n(%2 takových časů od otevření této zprávy)")
                                       .arg(entry)
                                       .arg(m_conversionErrors);
        showErrorBox(m_conversionBox, QMessageBox::Critical, "conversionErrorBox", error, info);
    });

    connect(m_channel.get(), &qx::LocalChannel::messageReceived, this, &TfrmCas::zpravaOdZapisniku);

    frmLED = new TfrmLED(frames);
    frmLED->onKeyDown = [this](int key, Qt::KeyboardModifiers shift) { FormKeyDown(key, shift); };
    connect(SB_zobr, &QToolButton::clicked, this, [this](bool down) {
        frmLED->setVisible(down);
        if (down) frmLED->PrekresliLED();
    });
    connect(frmLED, &TfrmLED::closedByUser, this, [this] { SB_zobr->setChecked(false); });
    for (QLineEdit* e : {edtSDH, edtM0, edtM1, edtM2, edtMR})
        connect(e, &QLineEdit::textChanged, this, &TfrmCas::ledTexts);
    watchScrollFocus(edtText, frmLED);
    connect(this, &TfrmCas::splitRequested, this, &TfrmCas::mezicas);

    FormCreate(extraPort, version);
}

TfrmCas::~TfrmCas() {
    delete frmLED;
}

void TfrmCas::buildMeasuringPanels() {
    // Time display: black, bold Arial labels.
    pnlCas = panel(this, "pnlCas", 8, 8, 249, 153);
    pnlCas->setAutoFillBackground(true);
    {
        QPalette p = pnlCas->palette();
        p.setColor(QPalette::Window, Qt::black);
        pnlCas->setPalette(p);
    }
    lblTyp = label(pnlCas, "lblTyp", QString(), 8, 8, 227, 16);
    lblTyp->setFont(arial(13));
    setTextColor(lblTyp, Qt::cyan);

    const auto timeLine = [this](const char* name, int x, int y, int w) {
        QLabel* l = label(pnlCas, name, QStringLiteral("P 888,888"), x, y, w, 57);
        l->setFont(arial(45));
        l->setAlignment(Qt::AlignRight | Qt::AlignTop);
        setTextColor(l, Qt::red);
        return l;
    };
    lblCas = timeLine("lblCas", 8, 25, 227);
    lblCasD = timeLine("lblCasD", 13, 75, 222);

    frames = new FrameClock(this);
    DXCas1 = new ClockWidget(frames, nullptr, pnlCas);
    DXCas1->setGeometry(8, 25, 227, 57);
    DXCas1->hide();
    connect(DXCas1, &ClockWidget::textChanged, lblCas, &QLabel::setText);
    connect(DXCas1, &ClockWidget::limitReached, this, [this] { t_cas = false; });

    const auto statusLabel = [this](const char* name, const QString& caption, int x, int w, bool right) {
        QLabel* l = label(pnlCas, name, caption, x, 129, w, 16);
        l->setFont(arial(11));
        setTextColor(l, Qt::yellow);
        if (right) l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    lblDraha = statusLabel("lblDraha", QStringLiteral("jeden útok"), 6, 67, false);
    lblPriprava = statusLabel("lblPriprava", QStringLiteral("5:00"), 72, 27, true);
    lblTerce = statusLabel("lblTerce", QStringLiteral("rozepínací"), 110, 60, true);
    lblNCas = statusLabel("lblNCas", QStringLiteral("čas: Ano"), 181, 54, true);
    lblNCas->hide();

    // Time format and times list.
    pnlUloz = panel(this, "pnlUloz", 8, 167, 249, 119);
    lblFormat = label(pnlUloz, "lblFormat", QStringLiteral("Formát času: 888,88L 888,88"), 13, 6);
    lblFormat->setFont(arial(13));
    lblFormat->adjustSize();
    setTextColor(lblFormat, Qt::red);
    lblCasQX = label(pnlUloz, "lblCasQX", QStringLiteral("Časy z časomíry"), 13, 28);
    lblCasQX->setFont(arial(13));
    lblCasQX->adjustSize();
    CBCas = new TimesList(pnlUloz);
    CBCas->setFont(faceFont(font().family(), 21, true));
    CBCas->setGeometry(13, 50, 222, CBCas->sizeHint().height());
    CBCas->onKeyDown = [this](int key, Qt::KeyboardModifiers shift) { FormKeyDown(key, shift); };
    btnDel = named<QPushButton>(pnlUloz, "btnDel");
    btnDel->setText(QStringLiteral("Vymazat"));
    btnDel->setGeometry(89, 88, 81, 21);
    {
        QFont f = btnDel->font();
        f.setBold(true);
        btnDel->setFont(f);
    }
    btnDel->setEnabled(false);
    CBCas->setDeleteButton(btnDel);
    connect(btnDel, &QPushButton::clicked, CBCas, &TimesList::btnDelClick);

    // LED window texts and the automatic start.
    pnl_ext = panel(this, "pnl_ext", 258, 8, 185, 278);
    SB_zobr = named<QToolButton>(pnl_ext, "SB_zobr");
    SB_zobr->setText(QStringLiteral("Zobrazit/schovat LED"));
    SB_zobr->setCheckable(true);
    SB_zobr->setGeometry(4, 2, 175, 22);

    const auto editRow = [this](const char* lblName, const QString& caption, int lx, int ly,
                                const char* edtName, int ex, int ey, int maxLength) {
        label(pnl_ext, lblName, caption, lx, ly);
        auto* e = named<QLineEdit>(pnl_ext, edtName);
        e->setGeometry(ex, ey, 179 - ex, 21);
        if (maxLength > 0) limitTyping(e, maxLength);
        return e;
    };
    edtSDH = editRow("lblSDH1", QStringLiteral("Název týmu:"), 4, 28, "edtSDH", 69, 25, 25);
    edtM0 = editRow("lblM0", QStringLiteral("Text 0. mezičasu:"), 5, 50, "edtM0", 93, 47, 20);
    edtM1 = editRow("lblM1", QStringLiteral("Text 1. mezičasu:"), 4, 72, "edtM1", 94, 69, 20);
    edtM2 = editRow("lblM2", QStringLiteral("Text 2. mezičasu:"), 4, 94, "edtM2", 93, 91, 20);
    edtMR = editRow("lblMR", QStringLiteral("Text rozdílu mezi.:"), 4, 116, "edtMR", 95, 113, 20);
    edtText = editRow("lblText", QStringLiteral("Posuvný text:"), 4, 138, "edtText", 69, 135, 0);
    lblSDH1 = pnl_ext->findChild<QLabel*>(QStringLiteral("lblSDH1"));
    lblM0 = pnl_ext->findChild<QLabel*>(QStringLiteral("lblM0"));
    lblM1 = pnl_ext->findChild<QLabel*>(QStringLiteral("lblM1"));
    lblM2 = pnl_ext->findChild<QLabel*>(QStringLiteral("lblM2"));
    lblMR = pnl_ext->findChild<QLabel*>(QStringLiteral("lblMR"));
    lblText = pnl_ext->findChild<QLabel*>(QStringLiteral("lblText"));
    setTabOrder(edtSDH, edtM0);
    setTabOrder(edtM0, edtM1);
    setTabOrder(edtM1, edtM2);
    setTabOrder(edtM2, edtMR);
    setTabOrder(edtMR, edtText);

    lblMezicas = label(pnl_ext, "lblMezicas", QStringLiteral("Mezičasy zobrazíte mezerníkem"), 5, 158);
    setTextColor(lblMezicas, Qt::red);
    btnAutomat = named<QPushButton>(pnl_ext, "btnAutomat");
    btnAutomat->setText(QStringLiteral("Automatický start"));
    btnAutomat->setGeometry(5, 173, 173, 26);
    {
        QFont f = btnAutomat->font();
        f.setBold(true);
        btnAutomat->setFont(f);
    }
    btnAutomat->setFocusPolicy(Qt::ClickFocus);
    btnAutomat->setEnabled(false);

    lblM0C = label(pnl_ext, "lblM0C", QString(), 5, 205, 175, 16);
    lblM1C = label(pnl_ext, "lblM1C", QString(), 5, 222, 175, 16);
    lblM2C = label(pnl_ext, "lblM2C", QString(), 5, 238, 175, 16);
    lblMRC = label(pnl_ext, "lblMRC", QString(), 5, 254, 175, 16);
}

void TfrmCas::buildPortChoicePanels() {
    pnlUvod = panel(this, "pnlUvod", 96, 6, 249, 144);
    lblVerze = label(pnlUvod, "lblVerze", QStringLiteral("Volba verze časomíry"), 15, 6);

    // One radio button per version stopky can be set to, in the table's order, four to a row; the
    // third row (the ninth button, beside the format choice) sits 2 px lower.
    int place = 0;
    for (const qx::DeviceVersion& v : qx::deviceVersions()) {
        if (!v.stopkyVersion) continue;
        auto* b = named<QRadioButton>(pnlUvod, v.radioName);
        b->setText(QString::fromLatin1(v.caption));
        b->adjustSize();
        const int row = place / 4;
        b->move(15 + 58 * (place % 4), 22 + 18 * row + (row >= 2 ? 2 : 0));
        ++place;
        m_radios.emplace_back(v.verze, b);
    }

    lblFormatC = label(pnlUvod, "lblFormatC", QStringLiteral("Zobrazovaný formát"), 62, 62);
    CBFormat = named<QComboBox>(pnlUvod, "CBFormat");
    CBFormat->addItem(QStringLiteral("setiny"));
    CBFormat->addItem(QStringLiteral("tisíciny"));
    CBFormat->setCurrentIndex(0);
    CBFormat->setFont(faceFont(QStringLiteral("Times New Roman"), 13));
    CBFormat->setGeometry(167, 58, 59, CBFormat->sizeHint().height());

    lblUvod = label(pnlUvod, "lblUvod", QString(), 10, 83, 235, 16);
    lblUvod1 = label(pnlUvod, "lblUvod1", QString(), 10, 102, 235, 16);
    CBUvod = named<QComboBox>(pnlUvod, "CBUvod");
    CBUvod->setGeometry(101, 115, 100, CBUvod->sizeHint().height());

    pnlReklama = panel(this, "pnlReklama", 8, 152, 435, 134);
    imgReklama = label(pnlReklama, "imgReklama", QString(), 0, 0, 435, 134);
    imgReklama->setAlignment(Qt::AlignCenter);
    imgReklama->setFont(arial(20));
    imgReklama->setText(QStringLiteral("Stopky pro požární sport"));
    setTextColor(imgReklama, QColor(0x80, 0, 0));

    // Placed by schovat_form: beside "Časy z časomíry" when measuring, under the banner otherwise.
    lblSpojeni = named<QLabel>(this, "lblSpojeni");
    lblSpojeni->setFont(faceFont(font().family(), 10));
    lblSpojeni->setWordWrap(true);
    lblSpojeni->setText(stopky::healthText(stopky::PortHealth::NoPort, -1));
}

// Start-up: window place and device version from qx.ini (or the command line), the port-choice
// view, the port list.
void TfrmCas::FormCreate(const QString& extraPort, int version) {
    m_extraPort = extraPort;
    if (m_channel->listenResult() == qx::LocalChannel::ListenResult::NotListening) m_channel->listen();
    QString chybaIni;
    const stopky::QxIni ini = stopky::readQxIni(stopky::qxIniPath(), &chybaIni);
    if (!chybaIni.isEmpty()) { // a qx.ini that is there but cannot be read: said once, never written over
        auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(), chybaIni, QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("qxIniErrorBox"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
    }
    m_bounds->setOuter(QRect(ini.casLeft, ini.casTop, ini.casWidth, ini.casHeight));
    verze = ini.typ;
    nastav_typ();
    if (QRadioButton* rb = radioOf(version)) rb->click();
    lblTyp->setText(QStringLiteral("Měří: 1-2 štafety, 1 útok, přípravu"));
    schovat_form(false);
    LEDCreate(ini);
    // The times of today, as listed before the program last ended, and the settings the device
    // last announced (for a device that keeps running while the console restarts).
    for (const QString& entry : m_journal.todaysEntries())
        CBCas->appendEntry(entry);
    m_lastSettings = m_journal.lastSettings();
    m_link.setResumeAllowed(m_lastSettings.has_value());
    CBUvod->addItems(stopky::portList(extraPort));
    CBUvod->setCurrentIndex(-1);
    if (!extraPort.isEmpty()) {
        CBUvod->setCurrentIndex(0);
        CBUvodChange();
    }
}

// The LED window's part of qx.ini: the format choice and the split captions.
void TfrmCas::LEDCreate(const stopky::QxIni& ini) {
    frmLED->setLedBounds(QRect(ini.ledLeft, ini.ledTop, ini.ledWidth, ini.ledHeight));
    edtM0->setText(ini.m0);
    edtM1->setText(ini.m1);
    edtM2->setText(ini.m2);
    edtMR->setText(ini.mr);
    // The stored format applies where the version offers the choice (elsewhere it stays at
    // "setiny"). The version values are not derived again, but the texts follow the new choice,
    // and zapisnik hears the format in force, not the one announced before it was applied.
    if (qx::deviceVersion(verze).formatOffered && (ini.format == 0 || ini.format == 1) &&
        ini.format != CBFormat->currentIndex()) {
        CBFormat->setCurrentIndex(ini.format);
        const stopky::TypSettings& typ = m_decoder.nastavTyp(m_decoder.verze(), ini.format);
        DXCas1->setVersion(typ.verze, typ.format);
    }
    posliZapisniku(qx::AM_Form, verze, CBFormat->currentIndex());
}

void TfrmCas::FormClose() {
    m_reconnect.stop();
    m_link.close();
    m_journal.flush();
    const QString path = stopky::qxIniPath();
    stopky::QxIni ini = stopky::readQxIni(path);
    ini.format = CBFormat->currentIndex() < 0 ? 0 : CBFormat->currentIndex();
    ini.m0 = edtM0->text();
    ini.m1 = edtM1->text();
    ini.m2 = edtM2->text();
    ini.mr = edtMR->text();
    const QRect led = frmLED->ledBounds();
    ini.ledLeft = led.left();
    ini.ledTop = led.top();
    ini.ledWidth = led.width();
    ini.ledHeight = led.height();
    const QRect g = m_bounds->outer();
    ini.casLeft = g.left();
    ini.casTop = g.top();
    ini.casWidth = g.width();
    ini.casHeight = g.height();
    int checked = 0;
    for (const auto& [number, rb] : m_radios) {
        if (rb->isChecked()) {
            checked = number;
            break;
        }
    }
    ini.typ = checked;
    stopky::writeQxIni(path, ini, checked != 0);
}

void TfrmCas::closeEvent(QCloseEvent* event) {
    FormClose();
    frmLED->hide();
    QWidget::closeEvent(event);
}

QRadioButton* TfrmCas::radioOf(int v) const {
    for (const auto& [number, rb] : m_radios) {
        if (number == v) return rb;
    }
    return nullptr;
}

void TfrmCas::versionClicked(int v) {
    verze = v;
    nastav_typ();
}

// nastav_typ and the nastav_cas it ends with. Checking the version's radio button runs its click
// handler, which derives the values a second time with the button checked (as at start-up, when
// nothing is checked yet and the defaults apply first).
void TfrmCas::nastav_typ() {
    t_cas = false;
    DXCas1->stopRun(false);
    frmLED->haltScroll();
    // An unknown version (no radio button to check) keeps the defaults and the format texts.
    const stopky::TypSettings& typ =
        m_decoder.nastavTyp(verze, CBFormat->currentIndex() < 0 ? 0 : CBFormat->currentIndex());
    lblFormat->setText(typ.lblFormat);
    lblFormat->adjustSize();
    m_link.setVersion(verze);
    DXCas1->setVersion(typ.verze, typ.format);
    DXCas1->setMaxTime(typ.maxTime);
    nastav_cas();
}

// Checks the version's radio button (its click handler runs: the values are derived again with
// the button checked), shows or hides the format choice and announces version and format.
void TfrmCas::nastav_cas() {
    if (QRadioButton* rb = radioOf(verze); rb && !rb->isChecked()) {
        rb->setChecked(true);
        versionClicked(verze);
    }
    const bool offered = qx::deviceVersion(verze).formatOffered;
    lblFormatC->setVisible(offered);
    CBFormat->setVisible(offered);
    if (!offered) CBFormat->setCurrentIndex(0);
    posliZapisniku(qx::AM_Form, verze, CBFormat->currentIndex());
}

void TfrmCas::CBUvodChange() {
    m_reconnect.stop();
    m_portLost = false;
    schovat_form(false);
    m_chosenPort = CBUvod->currentText();
    m_link.choosePort(m_chosenPort);
    updateHealth();
}

void TfrmCas::reopenLostPort() {
    if (!m_portLost || m_chosenPort.isEmpty() || !QFileInfo::exists(m_chosenPort)) return;
    CBUvod->setCurrentIndex(CBUvod->findText(m_chosenPort));
    if (!m_link.choosePort(m_chosenPort)) return; // there, but not ready yet: tried again
    m_reconnect.stop();
    m_portLost = false;
    m_journal.port(verze, QStringLiteral("%1 je zpět, čeká se na časomíru").arg(m_chosenPort));
    m_journal.flush();
    updateHealth();
}

void TfrmCas::updateHealth() {
    using stopky::PortHealth;
    PortHealth state = PortHealth::NoPort;
    if (m_portLost) {
        state = PortHealth::Lost;
    } else {
        switch (m_link.state()) {
        case stopky::SerialLink::State::NoPort:
            state = PortHealth::NoPort;
            break;
        case stopky::SerialLink::State::Waiting:
            state = PortHealth::Waiting;
            break;
        case stopky::SerialLink::State::NoAnswer:
            state = PortHealth::NoAnswer;
            break;
        case stopky::SerialLink::State::Connected:
            state = PortHealth::Connected;
            break;
        }
    }
    lblSpojeni->setText(stopky::healthText(state, m_lastByte.isValid() ? m_lastByte.elapsed() : -1));
    lblSpojeni->setToolTip(m_chosenPort);
}

void TfrmCas::onPortLost(const QString& reason) {
    // The run stops where it stood; zapisnik hears nothing of it (no time, no split).
    t_cas = false;
    DXCas1->stopRun(false);
    m_countdown.stop();
    tmrPrep->stop();
    m_decoder.connectionLost();
    frmLED->hideStartBanner();
    setRunEditsEnabled(true);
    // The automatic start begins anew after the device's next reset byte; nothing pulses DTR on
    // the port chosen next.
    m_autoStart->cancel();
    delete m_autoStart;
    m_autoStart = nullptr;
    makeAutoStart();
    btnAutomat->setText(stopky::AutoStart::captionStart());
    btnAutomat->setEnabled(false);

    // zapisnik's status line says the device is gone (settings byte 0: no device answer).
    posliZapisniku(qx::AM_Nast, verze, qx::kPortOdpojen);
    m_journal.port(verze, QStringLiteral("%1 odpojen: %2").arg(m_chosenPort, reason));
    m_journal.flush();
    m_lastByte.invalidate();
    // The same path is opened again by itself when it comes back (the adapter plugged in again).
    m_portLost = !m_chosenPort.isEmpty();
    if (m_portLost) m_reconnect.start();
    updateHealth();

    // Back to the port choice, with the ports as they are now (a USB adapter plugged in again may
    // have another name) and the lost one still offered.
    schovat_form(false);
    CBUvod->clear();
    CBUvod->addItems(stopky::portList(m_extraPort));
    if (!m_chosenPort.isEmpty() && CBUvod->findText(m_chosenPort) < 0) CBUvod->insertItem(0, m_chosenPort);
    CBUvod->setCurrentIndex(CBUvod->findText(m_chosenPort));

    // One box, not modal (bytes of another port may come while it is open); a later loss
    // updates it.
    showErrorBox(m_portLostBox, QMessageBox::Warning, "portLostBox",
                 QStringLiteral("Spojení s časomírou na portu %1 se přerušilo: %2")
                     .arg(m_chosenPort, reason.isEmpty() ? QStringLiteral("chyba portu") : reason),
                 QStringLiteral("Běžící čas se zastavil. Až se port znovu objeví, spojení se obnoví samo; "
                                "jinak vyberte jiný port a zapněte časomíru."));
}

void TfrmCas::showErrorBox(QPointer<QMessageBox>& box, QMessageBox::Icon icon, const char* name,
                           const QString& text, const QString& info) {
    if (!box) {
        box = new QMessageBox(icon, windowTitle(), text, QMessageBox::Ok, this);
        box->setObjectName(QString::fromLatin1(name));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
    } else {
        box->setText(text);
    }
    box->setInformativeText(info);
    box->show();
    box->raise();
}

void TfrmCas::onGreeting(const QByteArray& greeting, int v) {
    m_lastByte.start();
    m_resync = false;
    m_journal.greeting(v, QByteArrayView(greeting));
    m_decoder.applyGreeting(QByteArrayView(greeting));
    m_journal.flush();
    schovat_form(true);
    updateHealth();
}

void TfrmCas::onResumed(const QByteArray& bytes, int v) {
    const stopky::JournalSettings last = m_lastSettings.value_or(stopky::JournalSettings{v, {}});
    if (last.verze != verze) {
        if (QRadioButton* rb = radioOf(last.verze)) rb->click();
    }
    m_journal.port(
        verze, QStringLiteral("%1: časomíra běží bez pozdravu, platí poslední nastavení").arg(m_chosenPort));
    // Whatever the device sent before is unknown: nothing counts until its next reset or
    // settings frame.
    m_decoder.connectionLost();
    m_decoder.applySettings(last.nast);
    m_resync = true;
    schovat_form(true);
    onData(bytes);
}

void TfrmCas::onData(const QByteArray& bytes) {
    m_lastByte.start();
    m_journal.bytes(verze, QByteArrayView(bytes));
    QByteArrayView rest(bytes);
    if (m_resync) {
        const qsizetype at = stopky::resumePoint(rest);
        rest = at < 0 ? QByteArrayView() : rest.sliced(at);
        m_resync = at < 0;
    }
    if (!rest.isEmpty()) m_decoder.feed(rest);
    m_journal.flush();
}

void TfrmCas::posliZapisniku(quint32 msg, qint32 wParam, qint32 lParam) {
    emit zapisnikMessage(msg, wParam, lParam);
    m_channel->send(qx::ZapisnikName, msg, wParam, lParam); // skipped when zapisnik is not running
}

void TfrmCas::zpravaOdZapisniku(quint32 msg, qint32, qint32) {
    switch (msg) {
    case qx::AM_Nast: // request: the version and the settings byte (0 before a device has answered)
        posliZapisniku(qx::AM_Nast, verze, m_decoder.nast()[0]);
        break;
    case qx::AM_Form: // request: the version and the format choice
        posliZapisniku(qx::AM_Form, verze, CBFormat->currentIndex());
        break;
    case qx::AM_Text:
        amText();
        break;
    default: // AM_Cas1, AM_Cas2, AM_Mezi go the other way
        break;
    }
}

// AM_Text: the current team into edtSDH, the next teams into the scrolling text.
void TfrmCas::amText() {
    const qx::ActualReadResult file = qx::readActualFile();
    if (!file.ok) {
        showErrorBox(m_actualFileBox, QMessageBox::Critical, "actualFileErrorBox", file.error, QString());
        return;
    }
    edtSDH->setText(file.line1);
    if (edtText->isEnabled()) edtText->setFocus(Qt::OtherFocusReason);
    edtText->setText(file.line2);
    if (edtM1->isEnabled()) edtM1->setFocus(Qt::OtherFocusReason);
    // Leaving edtText restarts the scrolling line; an inactive window gets no focus events, so
    // the new text is started here as well (not during a run, when edtText is disabled).
    if (edtText->isEnabled()) frmLED->restartScroll(edtText->text());
}

void TfrmCas::setRunEditsEnabled(bool enabled) {
    for (QLineEdit* e : {edtM1, edtM2, edtMR, edtSDH, edtText})
        e->setEnabled(enabled);
}

void TfrmCas::settingsApplied(const stopky::SettingsOutcome& o) {
    lblNCas->setVisible(o.lblNCasVisible);
    if (o.lblNCas) lblNCas->setText(*o.lblNCas);
    if (o.lblDraha) lblDraha->setText(*o.lblDraha);
    pripravaM = o.pripravaM;
    pripravaS = o.pripravaS;
    lblPriprava->setText(o.lblPriprava);
    if (o.lblTerce) lblTerce->setText(*o.lblTerce);
    m_journal.settings(o.verze, o.nast);
    m_lastSettings = stopky::JournalSettings{o.verze, o.nast};
    m_link.setResumeAllowed(true);
    posliZapisniku(qx::AM_Nast, o.verze, o.nast[0]);
    lblFormat->setText(o.lblFormat);
    lblFormat->adjustSize();
    lblCas->clear();
    lblCasD->clear();
}

// The automatic start over the current sound output and DTR line; its state carries over.
void TfrmCas::makeAutoStart() {
    const QString caption = m_autoStart ? m_autoStart->caption() : stopky::AutoStart::captionStart();
    delete m_autoStart;
    m_autoStart = new stopky::AutoStart(m_soundOut, m_dtrLine, this);
    if (caption != stopky::AutoStart::captionStart()) m_autoStart->reset();
    connect(m_autoStart, &stopky::AutoStart::captionChanged, btnAutomat, &QPushButton::setText);
    connect(m_autoStart, &stopky::AutoStart::enabledChanged, btnAutomat, &QPushButton::setEnabled);
    disconnect(btnAutomat, &QPushButton::clicked, nullptr, nullptr);
    connect(btnAutomat, &QPushButton::clicked, m_autoStart, &stopky::AutoStart::click);
}

void TfrmCas::setSoundOutput(stopky::SoundOutput* sound) {
    m_soundOut = sound;
    makeAutoStart();
}

void TfrmCas::setDtrLine(stopky::DtrLine* dtr) {
    m_dtrLine = dtr;
    makeAutoStart();
}

void TfrmCas::countdownStart() {
    m_countdown.start(lblPriprava->text());
}

void TfrmCas::reset() {
    t_cas = false;
    m_countdown.stop();
    lblCas->clear();
    lblCasD->clear();
    tmrPrep->stop();
    for (QLabel* l : {lblM0C, lblM1C, lblM2C, lblMRC})
        l->hide();
    splits.clear();
    frmLED->clearRows();
    setRunEditsEnabled(true);
    m_autoStart->reset(); // caption "Automatický start", enabled; no DTR pulse after a reset
    DXCas1->stopRun(true);
    lblCas->clear();
    frmLED->hideStartBanner();
}

void TfrmCas::start() {
    m_countdown.stop();
    lblCas->setText(stopky::kStartText.toString());
    t_cas = true;
    DXCas1->startRun(); // the run's time counts from here (and shows the clock's surface)
    CBCas->setFocus(Qt::OtherFocusReason);
    setRunEditsEnabled(false);
    frmLED->showStartBanner();
    posliZapisniku(qx::AM_Mezi, 0, 0);
}

void TfrmCas::targetsLabel(const QString& text) {
    lblTerce->setText(text);
}

void TfrmCas::timeShownLabel(const QString& text) {
    lblNCas->setText(text);
}

void TfrmCas::statusLine(const QString& text) {
    lblCasD->setText(text);
}

void TfrmCas::timeCompleted(int, const QString& text) {
    lblCasD->setText(text);
}

void TfrmCas::endOfSet(const stopky::ResultSetOutcome& o) {
    t_cas = false;
    setRunEditsEnabled(true);
    DXCas1->stopRun(true);
    applyResultSet(o, true);
}

void TfrmCas::recall(const stopky::ResultSetOutcome& o) {
    applyResultSet(o, false);
}

void TfrmCas::applyResultSet(const stopky::ResultSetOutcome& o, bool listAndSend) {
    if (o.lblCas) lblCas->setText(*o.lblCas);
    if (o.lblCasD) lblCasD->setText(*o.lblCasD);
    if (listAndSend) {
        // Listed and journaled first; the journal is on the disk before anything goes on.
        for (const stopky::ResultEntry& e : o.entries) {
            CBCas->appendEntry(e.text);
            m_journal.entry(verze, e.text, e.ok ? QString() : e.error);
        }
        m_journal.sync();
        for (const stopky::ResultEntry& e : o.entries) {
            if (!e.ok) {
                emit conversionError(e.text, e.error);
                continue;
            }
            for (const stopky::AmSend& m : e.messages)
                posliZapisniku(m.msg, m.wParam, m.lParam);
        }
    }
    if (o.startRotation && !tmrPrep->isActive()) tmrPrep->start();
}

void TfrmCas::tmrPrepTimer() {
    if (const std::optional<QString> text = m_decoder.rotationTick())
        lblCasD->setText(*text);
    else
        tmrPrep->stop();
}

void TfrmCas::schovat_form(bool measuring) {
    pnl_ext->setVisible(measuring);
    pnlCas->setVisible(measuring);
    pnlUloz->setVisible(measuring);
    pnlReklama->setVisible(!measuring);
    pnlUvod->setVisible(!measuring);
    if (measuring)
        lblSpojeni->setGeometry(pnlUloz->x() + 118, pnlUloz->y() + 26, 128, 24);
    else
        lblSpojeni->setGeometry(pnlReklama->x() + 8, pnlReklama->y() + pnlReklama->height() - 18,
                                pnlReklama->width() - 16, 14);
    lblSpojeni->raise();
    if (!measuring) {
        lblUvod->setText(QStringLiteral("Vyberte komunikační port a "));
        lblUvod1->setText(QStringLiteral("zapněte časomíru:"));
    }
}

void TfrmCas::ledTexts() {
    frmLED->setTexts(edtSDH->text(), {edtM0->text(), edtM1->text(), edtM2->text(), edtMR->text()});
}

void TfrmCas::mezicas() {
    if (!t_cas) return;
    const int format =
        CBFormat->currentIndex() < 0 ? 0 : qx::effectiveFormatIndex(verze, CBFormat->currentIndex());
    const QList<stopky::SplitTimes::AmMezi> sent = ::mezicas(
        splits, DXCas1->runClock(), format, {edtM0->text(), edtM1->text(), edtM2->text(), edtMR->text()},
        frmLED, {lblM0C, lblM1C, lblM2C, lblMRC});
    for (const stopky::SplitTimes::AmMezi& m : sent)
        posliZapisniku(qx::AM_Mezi, m.row, qint32(m.value));
}

void TfrmCas::FormKeyDown(int key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Space && t_cas) emit splitRequested();
}

void TfrmCas::keyPressEvent(QKeyEvent* event) {
    FormKeyDown(event->key(), event->modifiers());
    QWidget::keyPressEvent(event);
}
