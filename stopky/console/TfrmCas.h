#pragma once

#include "console/qxini.h"
#include "display/TfrmLED.h"
#include "display/clockwidget.h"
#include "display/splits.h"
#include "display/windowbounds.h"
#include "link/Decoder.h"
#include "link/Journal.h"
#include "link/ResultSet.h"
#include "link/autostart.h"
#include "link/countdown.h"
#include "link/linkhealth.h"
#include "link/seriallink.h"
#include "link/soundplayer.h"
#include "messages/LocalChannel.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class TimesList;

// The timer console's main window: the port-choice view shown before the timing device has
// answered and the measuring view shown afterwards. The window only holds the widgets under
// their names and forwards events; the logic lives in the link and display libraries.
class TfrmCas : public QWidget, private stopky::DecoderListener {
    Q_OBJECT
public:
    // `extraPort`: a device named on the command line (--port); listed first and opened at once.
    // `version`: a version named on the command line (--version), chosen before the port is
    // opened as if its radio button had been clicked; 0 keeps the one stored in qx.ini.
    // `channel`: the channel under "TfrmCas", made to listen by the program entry before anything
    // else (a second copy of the program ends there); without one the console makes and starts
    // its own.
    explicit TfrmCas(const QString& extraPort = {}, int version = 0,
                     std::unique_ptr<qx::LocalChannel> channel = {}, QWidget* parent = nullptr);
    ~TfrmCas() override;

    // The version and format set-up: derives the version values, checks the version's radio
    // button, shows or hides the format choice and announces the version and format.
    void nastav_typ();
    void nastav_cas();

    // Opens the port chosen in CBUvod and awaits the device's greeting.
    void CBUvodChange();

    // The one place where messages to zapisnik leave the console.
    void posliZapisniku(quint32 msg, qint32 wParam, qint32 lParam);
    // A message from zapisnik: the requests AM_Nast (0, 0) and AM_Form (0, 0), and AM_Text.
    void zpravaOdZapisniku(quint32 msg, qint32 wParam, qint32 lParam);
    qx::LocalChannel& channel() { return *m_channel; }

    stopky::Decoder& decoder() { return m_decoder; }
    stopky::SerialLink& link() { return m_link; }
    stopky::Countdown& countdown() { return m_countdown; }
    stopky::AutoStart& autoStart() { return *m_autoStart; }
    stopky::Journal& journal() { return m_journal; }
    // Tests put their recorders here before anything plays or pulses.
    void setSoundOutput(stopky::SoundOutput* sound);
    void setDtrLine(stopky::DtrLine* dtr);
    int verze = 454;
    QTimer* tmrPrep = nullptr;

    // Switches between the port-choice view (false) and the measuring view (true).
    void schovat_form(bool measuring);

    // The console's key handler: keys that no control took, and every key of the times list.
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);

signals:
    // The space bar while a run is in progress: take a split time.
    void splitRequested();
    // A message for zapisnik (number, WParam, LParam), in the order the console produces them.
    void zapisnikMessage(int msg, qint32 wParam, qint32 lParam);
    // A time whose transfer text could not be converted: its message was not sent.
    void conversionError(const QString& entry, const QString& error);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

public:
    // Widgets, under the names the tests look for with findChild.
    QFrame* pnlCas = nullptr;
    QFrame* pnlUloz = nullptr;
    QFrame* pnl_ext = nullptr;
    QFrame* pnlUvod = nullptr;
    QFrame* pnlReklama = nullptr;
    QLabel* imgReklama = nullptr;

    QLabel* lblTyp = nullptr;
    QLabel* lblCas = nullptr;
    QLabel* lblCasD = nullptr;
    ClockWidget* DXCas1 = nullptr;
    QLabel* lblDraha = nullptr;
    QLabel* lblPriprava = nullptr;
    QLabel* lblTerce = nullptr;
    QLabel* lblNCas = nullptr;

    QLabel* lblFormat = nullptr;
    QLabel* lblCasQX = nullptr;
    TimesList* CBCas = nullptr;
    QPushButton* btnDel = nullptr;

    QToolButton* SB_zobr = nullptr;
    QLabel* lblSDH1 = nullptr;
    QLineEdit* edtSDH = nullptr;
    QLabel* lblM0 = nullptr;
    QLineEdit* edtM0 = nullptr;
    QLabel* lblM1 = nullptr;
    QLineEdit* edtM1 = nullptr;
    QLabel* lblM2 = nullptr;
    QLineEdit* edtM2 = nullptr;
    QLabel* lblMR = nullptr;
    QLineEdit* edtMR = nullptr;
    QLabel* lblText = nullptr;
    QLineEdit* edtText = nullptr;
    QLabel* lblMezicas = nullptr;
    QPushButton* btnAutomat = nullptr;
    QLabel* lblM0C = nullptr;
    QLabel* lblM1C = nullptr;
    QLabel* lblM2C = nullptr;
    QLabel* lblMRC = nullptr;

    QLabel* lblVerze = nullptr;
    // The radio button of a version (named "RB454" ... after the table of device versions);
    // nullptr for a number stopky cannot be set to.
    QRadioButton* radioOf(int verze) const;
    QLabel* lblFormatC = nullptr;
    QComboBox* CBFormat = nullptr;
    QLabel* lblUvod = nullptr;
    // The link's health: port state and the age of the device's last byte (both views).
    QLabel* lblSpojeni = nullptr;
    QLabel* lblUvod1 = nullptr;
    QComboBox* CBUvod = nullptr;

    // A run is in progress: the running clock runs and the space bar takes split times.
    bool t_cas = false;

    // The public display window and the frame clock it shares with the running clock.
    FrameClock* frames = nullptr;
    TfrmLED* frmLED = nullptr;
    stopky::SplitTimes splits;

    // The space bar during a run: the next split time, on the LED window and the console, and
    // to zapisnik.
    void mezicas();

private:
    void buildMeasuringPanels();
    void buildPortChoicePanels();
    void FormCreate(const QString& extraPort, int version);
    void FormClose();
    void versionClicked(int v);
    void applyResultSet(const stopky::ResultSetOutcome& o, bool listAndSend);
    void onGreeting(const QByteArray& greeting, int verze);
    // Every byte after the greeting: into the journal, then to the decoder.
    void onData(const QByteArray& bytes);
    // The device kept running while the console was down: its last settings from the journal,
    // decoding from the next reset or settings frame on.
    void onResumed(const QByteArray& bytes, int verze);
    void updateHealth();
    // The lost port's path is back: it is opened again and the greeting awaited.
    void reopenLostPort();
    void tmrPrepTimer();

    // DecoderListener
    void settingsApplied(const stopky::SettingsOutcome& o) override;
    void countdownStart() override;
    void reset() override;
    void start() override;
    void targetsLabel(const QString& text) override;
    void timeShownLabel(const QString& text) override;
    void statusLine(const QString& text) override;
    void timeCompleted(int slot, const QString& lblCasD) override;
    void endOfSet(const stopky::ResultSetOutcome& o) override;
    void recall(const stopky::ResultSetOutcome& o) override;

    // The open port failed (device unplugged, read error): the run stops, the operator is told
    // (one box, updated), zapisnik hears that the device is gone and the port choice comes back;
    // the same path is opened again by itself when it reappears.
    void onPortLost(const QString& reason);
    QPointer<QMessageBox> m_portLostBox;
    QPointer<QMessageBox> m_journalBox;
    stopky::Journal m_journal;
    std::optional<stopky::JournalSettings> m_lastSettings; // of the last greeting or settings frame
    bool m_resync = false;    // bytes are skipped up to the next reset or settings frame
    bool m_portLost = false;  // the chosen port disappeared and is watched for
    QElapsedTimer m_lastByte; // since the device's last byte; invalid before any
    QTimer m_healthTimer;     // refreshes lblSpojeni
    QTimer m_reconnect;       // looks for the lost port's path
    // Errors are told in non-modal boxes, one per kind of error: a box still open is updated with
    // the latest case instead of another one being opened.
    void showErrorBox(QPointer<QMessageBox>& box, QMessageBox::Icon icon, const char* name,
                      const QString& text, const QString& info);
    QPointer<QMessageBox> m_actualFileBox;
    QPointer<QMessageBox> m_conversionBox;
    int m_conversionErrors = 0; // since the conversion box was opened
    // The console's place as qx.ini keeps it ("Cas": outer bounds, kept on a screen).
    WindowBounds* m_bounds = nullptr;
    QString m_extraPort;
    QString m_chosenPort;

    void setRunEditsEnabled(bool enabled);
    void stopRun(bool hideSurface);
    void ledTexts();

    void LEDCreate(const stopky::QxIni& ini);
    void amText();

    std::vector<std::pair<int, QRadioButton*>> m_radios; // version number, its radio button
    std::unique_ptr<qx::LocalChannel> m_channel;
    stopky::Decoder m_decoder;
    stopky::SerialLink m_link;
    stopky::SoundPlayer m_sound;
    stopky::Countdown m_countdown;
    stopky::AutoStart* m_autoStart = nullptr;
    stopky::SoundOutput* m_soundOut = &m_sound;
    stopky::DtrLine* m_dtrLine = &m_link;
    void makeAutoStart();
    qint32 pripravaM = 0;
    qint32 pripravaS = 0;
};
