#pragma once

// The history table zmenyqx: every change of a stored time, split, result or placing with the
// old and new value, when, why and on which computer. Created by db/schema.sql; the program
// creates it too when an older database lacks it.

#include "data/RadekZmeny.h"
#include "data/Tdm_QX.h"

#include <QList>
#include <QString>

namespace qx {

class Tdm_QX;

// Creates zmenyqx when it is missing. Throws DbError when it cannot. Not inside a transaction
// (the server ends one at a CREATE TABLE).
void zalozHistorii(Tdm_QX& dm);

// Stores the records with the server's time and this computer's name, as one statement.
void zapisHistorii(Tdm_QX& dm, const QList<ZaznamZmeny>& zaznamy);

// The recorded changes of one team, or of a whole competition, oldest first, each with the team's
// description when the team is still there. Without the table: none.
QList<ZaznamZmeny> historieDruzstva(Tdm_QX& dm, qint64 idDruzstva);
QList<ZaznamZmeny> historieSouteze(Tdm_QX& dm, qint64 idSoutez);

// The name this computer is recorded under.
QString nazevPocitace();

} // namespace qx
