#pragma once

// The measurement panel: the chosen competition's results, the current team with its placing, the
// time box that collects the times received from the timer console, the split row and the next
// teams. The widgets only: what they show comes from the measurement service as values.

#include "ui/StringGrid.h"

#include <QFrame>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class PanelMereni : public QFrame {
    Q_OBJECT
public:
    explicit PanelMereni(QWidget* parent);

    QLabel* lbl_mereni_soutez;
    StringGrid* SG_mereni;
    QLabel* lbl_mereni_aktual;
    QLabel* lbl_mereni_tym;
    QLabel* lbl_mereni_poradi;
    QComboBox* CB_mereni_cas;
    QPushButton* btn_mereni_ulozit;
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
};
