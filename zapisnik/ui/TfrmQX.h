#pragma once

// The results manager's main window: tool bar, the content panels (one view at
// a time), the status strip, the start-up sequence and the refresh
// Zobraz_seznamy that ends most user actions.

#include "StringGrid.h"
#include "data/HlidacSpojeni.h"
#include "data/Tdm_QX.h"
#include "measurement/Kontext.h"
#include "measurement/MereniDataDb.h"
#include "measurement/MereniSluzba.h"
#include "messages/LocalChannel.h"
#include "ui/ErrorSink.h"
#include "web/Snimek.h"
#include "zaloha/ZalohaSql.h"

#include <QHostAddress>
#include <QMainWindow>

#include <cstdint>
#include <functional>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialog;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;
class PanelListina;
class PanelMereni;
class PanelNastaveni;
class PanelTym;
class PanelWeb;
class QTimer;

class TfrmQX : public QMainWindow {
    Q_OBJECT
public:
    // The data module must outlive the window. The constructor runs the
    // start-up sequence; when the start-up load fails, startupFailed() is true
    // and the program is to end.
    explicit TfrmQX(qx::Tdm_QX& dm, QWidget* parent = nullptr);
    ~TfrmQX() override;

    bool startupFailed() const { return startupFailed_; }

    // Every message box of the window goes through here; by default it is
    // shown modally. Tests replace it to see the boxes without blocking.
    static std::function<void(QMessageBox&)> messageBoxSeam;

    // Opens an exported file in the desktop's viewer without waiting; tests replace it.
    static std::function<void(const QString&)> openPdfSeam;

    // Where the results server listens: every interface; tests keep it on loopback.
    static QHostAddress webNaslouchani;

    // The connection settings dialog (as exec() it is modal); tests replace it to fill it in and
    // press its buttons. Returns the dialog's result.
    static std::function<int(QDialog&)> dialogSeam;

    // The database failure message of the start-up load: which server was tried and how the
    // program's own server is started; `co` (what failed, when known) follows.
    static QString dbFailureMessage(const qx::ConnectionSettings& settings, const QString& co = {});

    // Window state.
    QString id_soutez;
    QString nazev_souteze;
    QString datum_souteze;
    QString cas_souteze;
    int32_t poradi = 1;
    int32_t verze = 466;
    uint8_t nast = 170;

    // A message from the timer console (AM_Nast, AM_Form; AM_Cas1, AM_Cas2 and
    // AM_Mezi go to the measurement panel).
    void zpravaOdStopek(quint32 msg, qint32 wParam, qint32 lParam);
    // Writes "actual.txt" for a new current team and tells the timer console
    // (AM_Text). False, with the error shown, when the file could not be written.
    bool posliAktualniTym(const QString& line1, const QString& line2);
    qx::LocalChannel& channel() { return channel_; }

    // The settings snapshot: the settings panel's choices with the chosen competition, the
    // measurement mode and the device version. Every rule and export works on this value.
    qx::MereniKontext kontext() const;
    // The window's error sink: every handler runs through it.
    const qx::ErrorSink& chyby() const { return chyby_; }

    // Refresh of the visible panels and their controls.
    void Zobraz_seznamy();
    // Title rows and row heights of the four grids.
    void Nastav_SG();

    // Register operations on the window's controls.
    void load_souteze();
    void save_soutez();
    void delete_soutez();
    void load_okres();
    void load_kat();
    // False when the name was refused (the message has been shown and the fields stay).
    bool save_kat();
    void delete_kat();
    void load_listina();

    // Tool bar.
    QFrame* pnl_ovl;
    QPushButton* SB_soutez;
    QPushButton* SB_kat;
    QPushButton* SB_listina;
    QPushButton* SB_nast;
    QPushButton* SB_mereni;
    QPushButton* SB_export;
    QButtonGroup* navigace;

    // Competitions.
    QFrame* pnl_soutez;
    QPushButton* SB_soutez_nova;
    QPushButton* btn_soutez_smazat;
    QLabel* lbl_soutez_okres;
    QComboBox* CB_soutez_okres;
    QFrame* pnl_soutez_detail;
    QLineEdit* edt_soutez_nazev;
    QComboBox* cb_soutez_misto;
    QDateEdit* edt_soutez_datum;
    QLineEdit* edt_soutez_cas;
    QLineEdit* edt_soutez_tel;
    QLineEdit* edt_soutez_web;
    QPushButton* btn_soutez_ulozit;
    StringGrid* SG_souteze;

    // Categories.
    QFrame* pnl_kat;
    QPushButton* SB_kat_nova;
    QPushButton* btn_kat_smazat;
    QLabel* lbl_kat_nazev;
    QLineEdit* edt_kat_nazev;
    QLabel* lbl_kat_zkr;
    QLineEdit* edt_kat_zkr;
    QPushButton* btn_kat_ulozit;
    StringGrid* SG_kat;

    // The panels with widgets of their own (tests reach those through the panel or by name).
    PanelTym* pnl_tym = nullptr;
    PanelListina* pnl_listina = nullptr;
    PanelNastaveni* pnl_nast = nullptr;
    PanelMereni* pnl_mereni = nullptr;
    // The results server's switch, shown with the settings panel.
    PanelWeb* pnl_web = nullptr;

    // Turns the results server on at `port` (zapisnik --serve PORT); false when it cannot listen.
    bool zapniWeb(int port);
    // Publishes the current state to the results server (after the pending change, coalesced).
    void zverejniWeb();

    // Several computers on one server. Every kIntervalZmen ms the window reads the change counters
    // of the shared registers and of the chosen competition (one statement) and, when another
    // computer changed them, reloads the visible panel without touching what the operator is
    // typing. Tests call kontrolaZmen directly.
    static constexpr int kIntervalZmen = 1000;
    void kontrolaZmen();
    // The box of a save that found its row changed by another computer: true for "Přepsat mým".
    bool rozhodniKonflikt(const QString& ulozeno, const QString& moje);

    // Status strip.
    QFrame* pnl_casomira;
    QLabel* lbl_casomira;
    // Shown (red) while the last backup failed; hidden otherwise.
    QLabel* lbl_zaloha;

    // The backup of the chosen competition into the folder of qx_db.ini ([Zaloha]), keeping the
    // newest there. Interval: every five minutes (the timer); NaPozadani: "Záloha" in the menu
    // of "pdf", the outcome is told in a box; Konec: at the end of the program, a failure goes to
    // standard error. A failure of the timer's backup shows in the status strip, not in a box,
    // and the next tick tries again. Nothing happens without a chosen competition.
    enum class Zaloha { Interval, NaPozadani, Konec };
    std::optional<qx::ZapisZalohy> zalohuj(Zaloha kdy);
    QTimer* zalohaTimer = nullptr;
    static constexpr int kZalohaInterval = 5 * 60 * 1000;

    // The database outage notice under the status strip (the window grows by its height while it
    // is shown): which server, what failed, that the program tries again; and afterwards what was
    // done once the server came back.
    QFrame* pnl_spojeni;
    QLabel* lbl_spojeni;
    QPushButton* btn_spojeni_nastavit;
    // The database connection on the settings view: the server and the button to its dialog.
    QFrame* pnl_nast_spojeni;
    QLabel* lbl_nast_spojeni;
    QPushButton* btn_nast_spojeni;

    // Tries the server in the background during an outage (tests shorten its interval).
    qx::HlidacSpojeni& hlidacSpojeni() { return hlidac_; }
    bool vypadekTrva() const { return dm_.pozastaveno(); }
    // Opens the connection settings dialog; true when new settings were saved (and are used).
    bool nastavitPripojeni();

private:
    void FormCreate();
    void buildToolBar(QWidget* client);
    void buildSoutez(QWidget* client);
    void buildKat(QWidget* client);
    void buildTym(QWidget* client);
    void buildListina(QWidget* client);
    void buildNast(QWidget* client);
    void buildMereni(QWidget* client);
    void buildCasomira(QWidget* client);
    void connectHandlers();

    void zobrazSoutez();
    void zobrazKat();
    void zobrazListina();
    void zobrazNast();
    void zobrazMereni();

    // Handlers.
    void SB_soutez_novaClick();
    void CB_soutez_okresChange();
    void btn_soutez_ulozitClick();
    void btn_soutez_smazatClick();
    void SG_soutezeClick();
    void SG_soutezeDblClick();
    void SB_kat_novaClick();
    void SG_katClick();
    void btn_kat_ulozitClick();
    void btn_kat_smazatClick();
    void SB_mereniClick();
    // "pdf": the start list in the "Listina" view, the results in the "Měření" view, written whole
    // to "export.pdf" in the working folder and opened in the viewer.
    void SB_exportClick();
    // The context menu of "pdf": the same list as a spreadsheet, "export.xlsx" or "export.csv".
    void SB_exportMenu(const QPoint& kde);
    void exportTabulky(bool xlsx);
    void CB_nast_katChange();
    // The discipline chosen on the settings panel sets the measurement mode.
    void CB_nast_disciplinaChange(uint8_t nastZDiscipliny);

    // Start-up requests to the timer console: AM_Nast (0, 0) and AM_Form (0, 0);
    // its answers arrive as ordinary messages.
    void requestTimerConsoleSettings();
    // Entering the measurement panel: placings, the current team, then the refresh (which
    // recomputes the competition).
    void enterMeasurementPanel();
    // Shows or hides the split row of the measurement panel (one attack only).
    void setSplitRowShown(bool shown);

    // An error box; details, when given, go to its details part.
    void showError(const QString& text, const QString& details = {});
    void showBox(QMessageBox& box);
    // A failed connection that is no outage (refused login, missing database): a box that offers
    // the connection settings.
    void showConnectionError(const qx::DbError& e);
    // True when the operator saved new connection settings from it (the load is tried again).
    bool showStartupFailure(const QString& co, const QString& detail);

    // The database outage: one notice, statements fail at once, the watcher tries the server.
    void vypadekSpojeni(const qx::DbError& e);
    // The server answers again: the notice goes, a kept save is done, the visible panel refreshed.
    void spojeniObnoveno();
    void ukazSpojeni(const QString& text, bool chyba);
    void skryjSpojeni();
    void buildSpojeni(QWidget* client);

    // The competitions' and categories' lists read again after another computer's change: the
    // current row stays, the fields only when the operator has not started editing them.
    void obnovSouteze();
    void obnovKat();

    // The competition and category of the current grid row; none on an empty row.
    std::optional<qint64> aktualniSoutez() const;
    std::optional<qint64> aktualniKategorie() const;

    qx::Tdm_QX& dm_;
    qx::ErrorSink chyby_{[this](const QString& text, const QString& details) { showError(text, details); }};
    qx::MereniDataDb mereniData_{dm_};
    qx::MereniSluzba sluzba_{mereniData_};
    QList<qx::SoutezRadek> souteze_;
    QList<qx::KategorieRadek> kategorie_;
    // Insert (a new row) or update (the current row) on the next save.
    bool vlozitSoutez_ = false;
    bool vlozitKat_ = false;
    // The operator changed the competition's date box since the last refresh; otherwise a save
    // writes back the stored date as it is.
    bool datumZmenen_ = false;
    bool startupFailed_ = false;
    qx::LocalChannel channel_{QStringLiteral("TfrmQX")};
    QTimer* webTimer_ = nullptr;   // coalesces the changes of one action into one snapshot
    QTimer* zmenyTimer_ = nullptr; // the check of the other computers' changes
    int otevreneBoxy_ = 0;         // no reload under an open box
    qx::HlidacSpojeni hlidac_;
    QTimer* spojeniTimer_ = nullptr; // hides the notice of what was done after an outage
    qx::UlozeneCasy ulozene_;        // the speaker's last results, in the order of saving
};

// Program entry after the application object exists: the window on the given
// data module, then the event loop. Returns the exit code; 1 when the start-up
// load failed (the program ends after the message).
// `webPort` other than 0 turns the results server on at that port.
int runZapisnik(qx::Tdm_QX& dm, int webPort = 0);
