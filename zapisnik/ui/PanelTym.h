#pragma once

// The fire brigades (SDH) of a district: the municipality register, shown
// together with the categories. Choosing a district lists its municipalities
// for deletion; a new name is checked against the district while it is typed.

#include "data/RegistrData.h"
#include "ui/ErrorSink.h"

#include <QFrame>

class QComboBox;
class QLineEdit;
class QPushButton;

class PanelTym : public QFrame {
    Q_OBJECT
public:
    PanelTym(qx::RegistrData& data, const qx::ErrorSink& chyby, QWidget* parent);

    QComboBox* CB_tym_okres;
    QComboBox* CB_tym_smazat;
    QLineEdit* edt_tym_novy;
    QPushButton* SB_tym_smazat;
    QPushButton* SB_tym_novy;

    // Handlers (the operator's actions; public so the window and tests can run them).
    void CB_tym_okresChange();
    void CB_tym_smazatChange();
    void edt_tym_novyChange();
    void SB_tym_novyClick();
    void SB_tym_smazatClick();

    // Another computer changed the register: the district's municipalities are listed again, the
    // chosen one stays chosen while it is there, and a typed new name is checked again.
    void obnovZJinych();

    // Whether the last duplicate check found the typed name in the district.
    bool duplicitni() const { return duplicitni_; }

signals:
    // The window's refresh (after a district is chosen).
    void obnovit();

private:
    void setDuplicitni(bool on);

    qx::RegistrData& data_;
    const qx::ErrorSink& chyby_;
    bool duplicitni_ = false;
};
