#pragma once

// The settings panel: the category worked on, the phase, the second-phase
// result mode, the export switches, the discipline, the time format, and the
// organiser's name and split titles that its save button writes to qx_db.ini.
// The rules live in Nastaveni.h; this is the panel and its wiring.

#include "measurement/Kontext.h"
#include "ui/QxDbIni.h"

#include <QFrame>

#include <cstdint>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class PanelNastaveni : public QFrame {
    Q_OBJECT
public:
    explicit PanelNastaveni(QWidget* parent);

    QComboBox* CB_nast_kat;
    QComboBox* CB_nast_kolo;
    QComboBox* CB_nast_cas;
    QCheckBox* CB_nast_stafeta;
    QComboBox* CB_nast_disciplina;
    QComboBox* CBFormat;
    QComboBox* CB_mezicas;
    QLineEdit* edtPoradatel;
    QLineEdit* edtM1nast;
    QLineEdit* edtM2nast;
    QLineEdit* edtM3Nast;
    QLineEdit* edtM4Nast;
    QPushButton* btNPoradatel;

    // The panel's part of the window's refresh: the result mode only in the
    // second phase.
    void obnov();

    // The panel's part of the settings snapshot: category, phase, result mode, export switch,
    // format, split switch and titles, organiser. The rest (competition, mode, version) is left
    // as it is in `k`.
    qx::MereniKontext kontext(qx::MereniKontext k) const;
    // The categories the category list offers (the chosen one stays chosen when still there).
    void setKategorie(const QStringList& kategorie);
    // AM_Form: the device's format, selected without the change action and locked.
    void zamkniFormat(int format);

    // The settings-file values the panel shows, and their reading into it.
    qx::QxDbIni nastaveni() const;
    void nactiNastaveni(const qx::QxDbIni& ini);

    // Handlers.
    void CB_nast_disciplinaChange();
    // Writes the six keys to the settings file; false (with chyba emitted)
    // when it cannot be written.
    bool btNPoradatelClick();

signals:
    // The operator chose another category.
    void kategorieZmenena();
    // The operator changed the phase, the result mode, the format or the split switch.
    void obnovit();
    // The operator chose a discipline: the measurement mode it sets.
    void disciplinaZmenena(uint8_t nast);
    void chyba(const QString& text);
};
