#pragma once

// The measurement data on the database: the start-list rows of druzstvaqx read and written
// through the data module's statements.

#include "measurement/MereniData.h"

namespace qx {

class Tdm_QX;

class MereniDataDb : public MereniData {
public:
    explicit MereniDataDb(Tdm_QX& dm) : dm_(dm) {}

    QList<DruzstvoRadek> listina(const QString& idSoutez, const QString& kategorie) override;
    QList<DruzstvoRadek> druzstvaSouteze(const QString& idSoutez) override;
    void zapisVysledky(const QList<ZmenaVysledku>& zmeny) override;
    void ulozUtok(qint64 id, Kolo kolo, const QString& terc, const QString& cas) override;
    void ulozStafetu(qint64 id, Kolo kolo, const QString& cas) override;
    void ulozMezicasy(qint64 id, const std::array<QString, 4>& mezicasy) override;
    void ulozUtok(const DruzstvoRadek& videno, Kolo kolo, const QString& terc, const QString& cas) override;
    void ulozStafetu(const DruzstvoRadek& videno, Kolo kolo, const QString& cas) override;
    void ulozMezicasy(const DruzstvoRadek& videno, const std::array<QString, 4>& mezicasy) override;
    void transakce(const QString& idSoutez, const std::function<void()>& prace) override;

    // The history: records go to zmenyqx in the writes' own transaction, while the table is there.
    void sHistorii(const QList<ZaznamZmeny>& zaznamy, const std::function<void()>& zapis) override;
    std::optional<DruzstvoRadek> druzstvo(qint64 id) override;
    QList<ZaznamZmeny> historie(qint64 idDruzstva) override;

    // Creates the history table when it is missing. False when it cannot be created: the
    // program works on and keeps no history (`chyba` gets the operator's message).
    bool pripravHistorii(QString* chyba = nullptr);
    // Whether changes are being recorded (unknown until the first write or pripravHistorii).
    std::optional<bool> historieVedena() const { return historie_; }

private:
    Tdm_QX& dm_;
    std::optional<bool> historie_;
};

} // namespace qx
