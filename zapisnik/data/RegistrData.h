#pragma once

// What the register panels do to the data, as values: the municipality register of a district and
// the start list of a competition. The database's data module implements it; tests may give
// their own.

#include "data/Radky.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace qx {

struct Druzstvo;

class RegistrData {
public:
    virtual ~RegistrData() = default;

    virtual QStringList load_obce(const QString& okres) = 0;
    virtual bool obec_existuje(const QString& okres, const QString& obec) = 0;
    virtual void insert_obec(const QString& okres, const QString& obec) = 0;
    virtual void delete_obec(const QString& okres, const QString& obec) = 0;

    virtual QList<DruzstvoRadek> load_listina(qint64 id_soutez, const QString& kategorie) = 0;
    virtual void save_listina(std::optional<qint64> id, qint64 id_soutez, const Druzstvo& d) = 0;
    virtual void delete_listina(qint64 id) = 0;
    // The same for an entry the operator saw as `videno`: another computer's change made
    // meanwhile is reported (the database throws KonfliktZaznamu) instead of overwritten. A
    // store that is never shared may simply write.
    virtual void save_listina(const DruzstvoRadek& videno, const Druzstvo& d) {
        save_listina(videno.id, videno.id_soutez, d);
    }
    virtual void delete_listina(const DruzstvoRadek& videno) { delete_listina(videno.id); }
};

} // namespace qx
