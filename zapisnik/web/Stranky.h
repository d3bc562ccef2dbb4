#pragma once

// The results server's pages and data, rendered from a snapshot by pure functions: the same
// snapshot always gives the same bytes. Every text from the database is HTML-escaped.

#include "web/Snimek.h"

#include <QByteArray>
#include <QString>

namespace qx {

// The live pages; each has its own stream of updates.
enum class Stranka { Vysledky, Startovka, Hlasatel };

// "&", "<", ">", '"' and "'" as character references.
QString escapujHtml(const QString& text);

// The page's changing part (what an update replaces), HTML.
QString obsahStranky(Stranka stranka, const Snimek& snimek);
// The whole page: header, navigation, the changing part and the script that keeps it live.
QByteArray stranka(Stranka stranka, const Snimek& snimek);
// /vysledky.json: the snapshot as JSON (shape in README).
QByteArray vysledkyJson(const Snimek& snimek);
// One server-sent event carrying a page's changing part: every line prefixed by "data: ",
// the snapshot's number as the event's id.
QByteArray sseUdalost(Stranka stranka, const Snimek& snimek);

// The path of a page ("/", "/startovka", "/hlasatel") and back.
QString cestaStranky(Stranka stranka);
std::optional<Stranka> strankaCesty(const QString& cesta);
// The query value of a page's update stream ("vysledky", "startovka", "hlasatel") and back.
QString jmenoStranky(Stranka stranka);
std::optional<Stranka> strankaJmena(const QString& jmeno);

} // namespace qx
