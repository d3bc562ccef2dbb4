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

private:
    Tdm_QX& dm_;
};

} // namespace qx
