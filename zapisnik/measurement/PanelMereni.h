#pragma once

// The measurement panel: the chosen competition's results, the current team with its placing, the
// time box that collects the times received from the timer console, the split row and the next
// teams. The panel shows what the measurement service returns and forwards the operator's
// actions to it; the rules (entry checks, results, ranking) live in the core library.

#include "measurement/Kontext.h"
#include "measurement/MereniSluzba.h"
#include "measurement/Prijem.h"
#include "measurement/ZaznamPrijatych.h"
#include "ui/ErrorSink.h"
#include "ui/StringGrid.h"

#include <QFrame>

#include <cstdint>
#include <functional>
#include <optional>

class OknoHistorie;
class QComboBox;
class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;

class PanelMereni : public QFrame {
    Q_OBJECT
public:
    // `poradi` is the window's position of the current team; the panel moves it.
    PanelMereni(qx::MereniSluzba& sluzba, const qx::ErrorSink& chyby,
                std::function<qx::MereniKontext()> kontext, int32_t& poradi, QWidget* parent);

    QLabel* lbl_mereni_soutez;
    StringGrid* SG_mereni;
    QLabel* lbl_mereni_aktual;
    QLabel* lbl_mereni_tym;
    QLabel* lbl_mereni_poradi;
    QComboBox* CB_mereni_cas;
    QPushButton* btn_mereni_ulozit;
    QPushButton* btn_mereni_historie;
    QLabel* lblMezicas;
    QLineEdit* edtM1;
    QLineEdit* edtM2;
    QLineEdit* edtM3;
    QLineEdit* edtM4;
    QPushButton* btnMezi;
    QLabel* lbl_mereni_pripravi;
    QPushButton* btn_mereni_prev;
    QPushButton* btn_mereni_next;

    // The split row (caption, four fields and their save button): one attack only.
    void setSplitRowShown(bool shown);

    // The operations, each as one action (a failure ends it with the window's message).
    void load_mereni(int kolik);
    void load_mereni_poradi();
    // Recomputes every result of the competition, re-ranks and shows the current team again.
    void zmena_nast();

    // Another computer changed the competition: the results grid is ranked again from what is
    // stored. The current team, the time box and the received times stay as they are.
    void obnovVysledky();
    // Asked when a time or the splits find the team's stored ones changed by another computer
    // meanwhile: true to store the operator's over them, false to keep (and show) the stored.
    std::function<bool(const QString& ulozeno, const QString& moje)> konflikt;

    // Messages from the timer console. Received times are kept whatever panel is shown, and each
    // entry of the time box's list is in the journal of received entries before it is shown
    // (its arrival time is the entry's tooltip); at start the list is filled again from it.
    void amCas1(int kod, qint64 pocet);
    void amCas2(qint64 pocet);
    void amMezi(int cislo, qint64 pocet);

    // Handlers.
    void btn_mereni_ulozitClick();

    // A save of a time that the database outage stopped: kept (team and text) until the server is
    // back, then done by dokonciCekajiciUlozeni(); the time box keeps the text meanwhile.
    bool maCekajiciUlozeni() const { return cekajici_.has_value(); }
    QString cekajiciText() const { return cekajici_ ? cekajici_->text : QString(); }
    // Does the kept save; true when it was stored (it stays kept when the outage goes on).
    bool dokonciCekajiciUlozeni();
    void btnMeziClick();
    // "Historie": the recorded changes of the current team, in a window of its own (not modal).
    void btn_mereni_historieClick();
    // The same for the team `id` (a double click on its row of the results grid). The window, or
    // nullptr when the history could not be read (the error has been shown).
    OknoHistorie* ukazHistorii(qint64 id, const QString& druzstvo);

    // The id of the current team's row (0 before the first load_mereni).
    qint64 id_akt() const { return id_akt_; }
    // The entry picked from the time box's list and not changed since (-1: none).
    int vybranaPolozka() const { return vybrana_; }

    // What the results server publishes: the grid last shown, the current team last shown and the
    // times received for it (the time box's list).
    const QList<qx::VysledekRadek>& vysledky() const { return vysledky_; }
    const qx::MereniPohled& pohled() const { return pohled_; }
    QStringList prijateCasy() const;
    // The journal behind the time box's list.
    const qx::ZaznamPrijatych& zaznam() const { return zaznam_; }

signals:
    // The current and next teams changed: the window writes "actual.txt" and tells the console.
    void aktualniTym(const QString& radek1, const QString& radek2);
    // A click in the results grid: the window's refresh (and with it the recomputation).
    void obnovit();
    // The grid, the current team or the received times changed (the results server follows).
    void zmenaProWeb();
    // A time of the team `id` was saved (the speaker's last results follow the order of saving).
    void casUlozen(qint64 id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void zobrazVysledky(const QList<qx::VysledekRadek>& radky);
    void kontrolaCasu();
    void kontrolaMezicasu();
    void casZmenen(const QString& text);
    void setCasText(const QString& text);
    std::array<QString, 4> mezicasy() const;
    void pridejPolozku(const qx::PrijatyCas& cas);
    void prijato(const QString& entry);
    bool ulozCas(qint64 id, const QString& text);
    // The current team's row as shown, for a store that must not overwrite another's.
    std::optional<qx::DruzstvoRadek> videno() const;

    qx::MereniSluzba& sluzba_;
    const qx::ErrorSink& chyby_;
    std::function<qx::MereniKontext()> kontext_;
    int32_t& poradi_;
    qx::PrijemCasu prijem_;
    qx::ZaznamPrijatych zaznam_;
    QMessageBox* zaznamBox_ = nullptr;
    qint64 id_akt_ = 0;
    int vybrana_ = -1;
    QString predchoziText_;
    bool plnim_ = false; // the program sets the box's text: no entry check
    QList<qx::VysledekRadek> vysledky_;
    qx::MereniPohled pohled_;
    struct CekajiciUlozeni {
        qint64 id;
        QString text;
    };
    std::optional<CekajiciUlozeni> cekajici_;
};
