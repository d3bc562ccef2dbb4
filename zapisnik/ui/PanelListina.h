#pragma once

// The start list of the chosen competition: its teams in start order, each
// with brigade (SDH), district, team mark, category and track. New-entry mode
// ("Nový tým" down) or edit mode on the grid's current row.

#include "StringGrid.h"
#include "data/RegistrData.h"
#include "measurement/Kontext.h"
#include "ui/ErrorSink.h"

#include <QFrame>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class PanelListina : public QFrame {
    Q_OBJECT
public:
    // The panel works on the chosen competition and settings category of the snapshot that
    // `kontext` gives at the time of each action.
    PanelListina(qx::RegistrData& data, const qx::ErrorSink& chyby,
                 std::function<qx::MereniKontext()> kontext, QWidget* parent);

    QPushButton* SB_listina_novy_tym;
    QPushButton* btn_listina_smazat_tym;
    QLabel* lbl_listina_okres;
    QComboBox* CB_listina_okres;
    QFrame* pnl_listina_detail;
    QLineEdit* edt_listina_poradi;
    QComboBox* CB_listina_nazevSDH;
    QLineEdit* edt_listina_tym;
    QComboBox* CB_listina_kat;
    QLineEdit* edt_listina_draha;
    QPushButton* btn_listina_ulozit;
    StringGrid* SG_listina;

    // The start-list operations on the panel's fields and current row.
    void load_listina();
    void save_listina();
    void delete_listina();
    // The districts the district list offers.
    void setOkresy(const QStringList& okresy);
    // The categories the category list offers.
    void setKategorie(const QStringList& kategorie);
    // The entries shown, in the grid's order.
    const QList<qx::DruzstvoRadek>& radky() const { return radky_; }

    // This panel's part of the window's refresh.
    void obnov();
    // Another computer changed the competition: the list is read again, the current entry stays
    // current, and the fields are refreshed only when the operator has not started editing them.
    void obnovZJinych();

    // Asked when a save or delete finds the entry changed by another computer meanwhile: true to
    // write the operator's values over it ("Přepsat mým"), false to keep what is stored. Without
    // it the stored values are kept.
    std::function<bool(const QString& ulozeno, const QString& moje)> konflikt;

    // Handlers.
    void SB_listina_novy_tymClick();
    void CB_listina_okresChange();
    void btn_listina_ulozitClick();
    void btn_listina_smazat_tymClick();
    void SG_listinaClick();

signals:
    // The window's refresh.
    void obnovit();
    // The list was loaded anew with this many entries (the measurement view needs at least one).
    void listinaNactena(int pocet);

private:
    // The entry of the grid's current row; none on an empty row.
    std::optional<qint64> aktualniId() const;
    void load_obce();
    // The fields show this entry as it was loaded, unedited and without the focus.
    bool poleNezmenena(const qx::DruzstvoRadek& d) const;
    qx::Druzstvo pole() const;

    qx::RegistrData& data_;
    const qx::ErrorSink& chyby_;
    std::function<qx::MereniKontext()> kontext_;
    QList<qx::DruzstvoRadek> radky_;
    // Insert (a new entry) or update (the current row's entry) on save.
    bool vlozit_ = false;
};
