#pragma once

// The start list of the chosen competition: its teams in start order, each
// with brigade (SDH), district, team mark, category and track. New-entry mode
// ("Nový tým" down) or edit mode on the grid's current row.

#include "StringGrid.h"
#include "data/Tdm_QX.h"

#include <QFrame>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TfrmQX;

class PanelListina : public QFrame {
    Q_OBJECT
public:
    // The panel works on the window's chosen competition (id_soutez) and its
    // settings category (CB_nast_kat); the window reloads the list.
    PanelListina(TfrmQX& frm, qx::Tdm_QX& dm, QWidget* parent);

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
    void save_listina();
    void delete_listina();

    // This panel's part of the window's refresh.
    void obnov();

    // Handlers.
    void SB_listina_novy_tymClick();
    void CB_listina_okresChange();
    void btn_listina_ulozitClick();
    void btn_listina_smazat_tymClick();
    void SG_listinaClick();

signals:
    // The window's refresh.
    void obnovit();
    // A failed statement; the action has ended there.
    void chyba(const QString& text);

private:
    void guarded(const std::function<void()>& action);

    TfrmQX& frm_;
    qx::Tdm_QX& dm_;
};
