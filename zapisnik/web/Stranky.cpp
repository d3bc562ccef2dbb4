#include "web/Stranky.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace qx {

namespace {

QString e(const QString& t) {
    return escapujHtml(t);
}

const char* const kStyl = R"(
*{box-sizing:border-box}
body{margin:0;font-family:"Liberation Sans",Arial,sans-serif;font-size:16px;line-height:1.35;color:#111;background:#fff}
nav{display:flex;flex-wrap:wrap;gap:4px;padding:6px;background:#b00000}
nav a{color:#fff;text-decoration:none;padding:6px 10px;border-radius:4px;font-weight:bold}
nav a.aktivni{background:#fff;color:#b00000}
main{padding:8px;max-width:900px;margin:0 auto}
h1{font-size:1.3em;margin:6px 0;color:#b00000;overflow-wrap:anywhere}
h2{font-size:1.1em;margin:14px 0 4px;color:#00008b;overflow-wrap:anywhere}
table{width:100%;border-collapse:collapse;table-layout:fixed}
th,td{padding:5px 4px;border-bottom:1px solid #ddd;vertical-align:top;text-align:left;overflow-wrap:anywhere}
th{background:#eee;font-size:.85em}
td.poz,th.poz{width:3.2em;font-weight:bold}
td.cas,th.cas{width:5.5em;text-align:right;font-weight:bold;white-space:nowrap}
small{color:#555}
.pripravuje{border:2px solid #00008b;border-radius:6px;padding:6px 8px;margin:8px 0}
.pripravuje p{margin:2px 0;overflow-wrap:anywhere}
.prazdne{color:#555;font-style:italic}
#spojeni{font-size:.8em;color:#555;text-align:center;margin:8px}
.hlasatel{font-size:1.6em}
.hlasatel h1{font-size:1.4em}
.hlasatel .tym{font-size:1.5em;font-weight:bold;color:#b00000;overflow-wrap:anywhere}
.hlasatel .umisteni{font-size:1.6em;font-weight:bold;color:#800000}
.hlasatel ul{list-style:none;padding:0;margin:4px 0}
.hlasatel li{padding:3px 0;border-bottom:1px solid #ddd;overflow-wrap:anywhere}
.hlasatel .casy li{font-size:1.3em;font-weight:bold}
)";

// Connects to the page's update stream and replaces the changing part with every event. The
// browser reconnects by itself; a stream refused for good is opened again after a second.
const char* const kSkript = R"(
(function(){
var obsah=document.getElementById('obsah'),stav=document.getElementById('spojeni');
function pripoj(){
var es=new EventSource('/udalosti?stranka='+document.body.dataset.stranka);
es.onopen=function(){stav.textContent='Stránka se obnovuje sama.';};
es.onmessage=function(ev){obsah.innerHTML=ev.data;};
es.onerror=function(){stav.textContent='Spojení přerušeno, připojuji znovu…';
if(es.readyState===2){es.close();setTimeout(pripoj,1000);}};
}
if(window.EventSource)pripoj();else stav.textContent='Prohlížeč neumí živé obnovení, načtěte stránku znovu.';
})();
)";

QString titulekStranky(Stranka s) {
    switch (s) {
    case Stranka::Vysledky:
        return QStringLiteral("Výsledky");
    case Stranka::Startovka:
        return QStringLiteral("Startovní listina");
    case Stranka::Hlasatel:
        return QStringLiteral("Hlasatel");
    }
    return QString();
}

QString soutezNadpis(const Snimek& s) {
    if (s.soutez.isEmpty()) return QStringLiteral("<h1>Soutěž není vybrána</h1>");
    return QStringLiteral("<h1>") + e(s.soutez) + QStringLiteral("</h1>");
}

QString pripravuje(const Snimek& s) {
    QString h = QStringLiteral("<section class=\"pripravuje\"><h2>Na základně se připravuje</h2>");
    if (s.radek1.isEmpty() && s.radek2.isEmpty())
        h += QStringLiteral("<p class=\"prazdne\">Nikdo</p>");
    else
        h += QStringLiteral("<p class=\"r1\"><b>") + e(s.radek1) +
             QStringLiteral("</b></p><p class=\"r2\">") + e(s.radek2) + QStringLiteral("</p>");
    return h + QStringLiteral("</section>");
}

QString druzstvoBunka(const QString& nazev, const QString& tym, const QString& okres, const QString& kat) {
    QString h = QStringLiteral("<b>") + e(nazev) + QStringLiteral("</b>");
    if (!tym.isEmpty()) h += QStringLiteral(" ") + e(tym);
    h += QStringLiteral("<br><small>") + e(okres);
    if (!okres.isEmpty() && !kat.isEmpty()) h += QStringLiteral(" · ");
    h += e(kat) + QStringLiteral("</small>");
    return h;
}

QString vysledkyObsah(const Snimek& s) {
    QString h = soutezNadpis(s) + pripravuje(s);
    if (s.kategorie.isEmpty()) return h + QStringLiteral("<p class=\"prazdne\">Zatím žádné výsledky.</p>");
    for (const SnimekKategorie& k : s.kategorie) {
        h += QStringLiteral("<h2>") + (k.nazev.isEmpty() ? QStringLiteral("Bez kategorie") : e(k.nazev)) +
             QStringLiteral("</h2><table class=\"vysledky\"><thead><tr><th class=\"poz\">Poř.</th>"
                            "<th>Družstvo</th><th class=\"cas\">Výsledek</th></tr></thead><tbody>");
        for (const SnimekVysledek& r : k.vysledky)
            h += QStringLiteral("<tr data-id=\"%1\"><td class=\"poz\">").arg(r.id) + e(r.pozice) +
                 QStringLiteral("</td><td>") + druzstvoBunka(r.nazev_dr, r.tym, r.okres, r.kategorie) +
                 QStringLiteral("</td><td class=\"cas\">") + e(r.cas) + QStringLiteral("</td></tr>");
        h += QStringLiteral("</tbody></table>");
    }
    return h;
}

QString startovkaObsah(const Snimek& s) {
    QString h = soutezNadpis(s) + QStringLiteral("<h2>Startovní listina</h2>");
    if (s.startovka.isEmpty())
        return h + QStringLiteral("<p class=\"prazdne\">Startovní listina je prázdná.</p>");
    h += QStringLiteral("<table class=\"startovka\"><thead><tr><th class=\"poz\">Poř.</th><th>Družstvo</th>"
                        "</tr></thead><tbody>");
    for (const SnimekStart& r : s.startovka)
        h += QStringLiteral("<tr><td class=\"poz\">") + e(r.poradi) + QStringLiteral("</td><td>") +
             druzstvoBunka(r.nazev_dr, r.tym, r.okres, r.kategorie) + QStringLiteral("</td></tr>");
    return h + QStringLiteral("</tbody></table>");
}

QString startText(const SnimekStart& r) {
    QString t = r.nazev_dr;
    if (!r.tym.isEmpty()) t += QStringLiteral(" (") + r.tym + QStringLiteral(")");
    if (!r.kategorie.isEmpty()) t += QStringLiteral(" - ") + r.kategorie;
    return t;
}

QString hlasatelObsah(const Snimek& s) {
    QString h =
        QStringLiteral("<div class=\"hlasatel\">") + soutezNadpis(s) + QStringLiteral("<h2>Na základně</h2>");
    if (s.aktualniTym.isEmpty()) {
        h += QStringLiteral("<p class=\"prazdne\">Žádné družstvo</p>");
    } else {
        h += QStringLiteral("<p class=\"tym\">") + e(s.aktualniTym) + QStringLiteral("</p>");
        if (!s.prijateCasy.isEmpty()) {
            h += QStringLiteral("<ul class=\"casy\">");
            for (const QString& c : s.prijateCasy)
                h += QStringLiteral("<li>") + e(c) + QStringLiteral("</li>");
            h += QStringLiteral("</ul>");
        }
        if (!s.aktualniUmisteni.isEmpty())
            h += QStringLiteral("<p class=\"umisteni\">") + e(s.aktualniUmisteni) + QStringLiteral("</p>");
    }
    h += QStringLiteral("<h2>Připraví se</h2>");
    if (s.dalsi.isEmpty()) {
        h += QStringLiteral("<p class=\"prazdne\">Nikdo</p>");
    } else {
        h += QStringLiteral("<ul class=\"dalsi\">");
        for (const SnimekStart& r : s.dalsi)
            h += QStringLiteral("<li>") + e(startText(r)) + QStringLiteral("</li>");
        h += QStringLiteral("</ul>");
    }
    h += QStringLiteral("<h2>Poslední výsledky</h2>");
    if (s.posledni.isEmpty()) {
        h += QStringLiteral("<p class=\"prazdne\">Zatím žádné</p>");
    } else {
        h += QStringLiteral("<ul class=\"posledni\">");
        for (const SnimekVysledek& r : s.posledni)
            h += QStringLiteral("<li>") + e(r.pozice) + QStringLiteral(" ") +
                 e(startText(SnimekStart{QString(), r.nazev_dr, r.okres, r.tym, r.kategorie})) +
                 QStringLiteral(" <b>") + e(r.cas) + QStringLiteral("</b></li>");
        h += QStringLiteral("</ul>");
    }
    return h + QStringLiteral("</div>");
}

QJsonValue cislo(std::optional<double> v) {
    return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
}

QJsonObject vysledekJson(const SnimekVysledek& r) {
    const std::optional<int> p = poziceJakoCislo(r.pozice);
    return QJsonObject{{QStringLiteral("id"), double(r.id)},
                       {QStringLiteral("umisteni"), p ? QJsonValue(*p) : QJsonValue(QJsonValue::Null)},
                       {QStringLiteral("pozice"), r.pozice},
                       {QStringLiteral("sdh"), r.nazev_dr},
                       {QStringLiteral("okres"), r.okres},
                       {QStringLiteral("tym"), r.tym},
                       {QStringLiteral("kategorie"), r.kategorie},
                       {QStringLiteral("vysledek"), r.cas},
                       {QStringLiteral("cas"), cislo(casJakoCislo(r.cas))}};
}

QJsonObject startJson(const SnimekStart& r) {
    return QJsonObject{{QStringLiteral("poradi"), r.poradi},
                       {QStringLiteral("sdh"), r.nazev_dr},
                       {QStringLiteral("okres"), r.okres},
                       {QStringLiteral("tym"), r.tym},
                       {QStringLiteral("kategorie"), r.kategorie}};
}

} // namespace

QString escapujHtml(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += QStringLiteral("&amp;");
            break;
        case u'<':
            out += QStringLiteral("&lt;");
            break;
        case u'>':
            out += QStringLiteral("&gt;");
            break;
        case u'"':
            out += QStringLiteral("&quot;");
            break;
        case u'\'':
            out += QStringLiteral("&#39;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString obsahStranky(Stranka stranka, const Snimek& snimek) {
    switch (stranka) {
    case Stranka::Vysledky:
        return vysledkyObsah(snimek);
    case Stranka::Startovka:
        return startovkaObsah(snimek);
    case Stranka::Hlasatel:
        return hlasatelObsah(snimek);
    }
    return QString();
}

QByteArray stranka(Stranka s, const Snimek& snimek) {
    QString nav;
    for (Stranka x : {Stranka::Vysledky, Stranka::Startovka, Stranka::Hlasatel})
        nav += QStringLiteral("<a href=\"%1\"%2>%3</a>")
                   .arg(cestaStranky(x), x == s ? QStringLiteral(" class=\"aktivni\"") : QString(),
                        titulekStranky(x));
    const QString titulek =
        titulekStranky(s) + (snimek.soutez.isEmpty() ? QString() : QStringLiteral(" – ") + e(snimek.soutez));
    const QString html =
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"cs\"><head><meta charset=\"utf-8\">"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
                       "<title>") +
        titulek + QStringLiteral("</title><style>") + QString::fromUtf8(kStyl) +
        QStringLiteral("</style></head><body data-stranka=\"") + jmenoStranky(s) +
        QStringLiteral("\"><nav>") + nav + QStringLiteral("</nav><main id=\"obsah\">") +
        obsahStranky(s, snimek) + QStringLiteral("</main><p id=\"spojeni\">Připojuji…</p><script>") +
        QString::fromUtf8(kSkript) + QStringLiteral("</script></body></html>\n");
    return html.toUtf8();
}

QByteArray vysledkyJson(const Snimek& s) {
    QJsonArray kategorie;
    for (const SnimekKategorie& k : s.kategorie) {
        QJsonArray vysledky;
        for (const SnimekVysledek& r : k.vysledky)
            vysledky.append(vysledekJson(r));
        kategorie.append(
            QJsonObject{{QStringLiteral("nazev"), k.nazev}, {QStringLiteral("vysledky"), vysledky}});
    }
    QJsonArray startovka;
    for (const SnimekStart& r : s.startovka)
        startovka.append(startJson(r));
    QJsonArray casy;
    for (const QString& c : s.prijateCasy)
        casy.append(c);
    QJsonArray dalsi;
    for (const SnimekStart& r : s.dalsi)
        dalsi.append(startJson(r));
    QJsonArray posledni;
    for (const SnimekVysledek& r : s.posledni)
        posledni.append(vysledekJson(r));
    const QJsonObject o{
        {QStringLiteral("verze"), double(s.verze)},
        {QStringLiteral("soutez"), s.soutez},
        {QStringLiteral("desetinna_mista"), s.format == 1 ? 3 : 2},
        {QStringLiteral("pripravuje"),
         QJsonObject{{QStringLiteral("radek1"), s.radek1}, {QStringLiteral("radek2"), s.radek2}}},
        {QStringLiteral("kategorie"), kategorie},
        {QStringLiteral("startovka"), startovka},
        {QStringLiteral("hlasatel"), QJsonObject{{QStringLiteral("tym"), s.aktualniTym},
                                                 {QStringLiteral("prijate_casy"), casy},
                                                 {QStringLiteral("umisteni"), s.aktualniUmisteni},
                                                 {QStringLiteral("dalsi"), dalsi},
                                                 {QStringLiteral("posledni"), posledni}}}};
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

QByteArray sseUdalost(Stranka stranka, const Snimek& snimek) {
    QByteArray out = "id: " + QByteArray::number(snimek.verze) + "\n";
    // A carriage return would end a line of the event early.
    const QByteArray obsah = obsahStranky(stranka, snimek).toUtf8().replace('\r', ' ');
    for (const QByteArray& radek : obsah.split('\n'))
        out += "data: " + radek + "\n";
    return out + "\n";
}

QString cestaStranky(Stranka s) {
    switch (s) {
    case Stranka::Vysledky:
        return QStringLiteral("/");
    case Stranka::Startovka:
        return QStringLiteral("/startovka");
    case Stranka::Hlasatel:
        return QStringLiteral("/hlasatel");
    }
    return QString();
}

std::optional<Stranka> strankaCesty(const QString& cesta) {
    for (Stranka s : {Stranka::Vysledky, Stranka::Startovka, Stranka::Hlasatel})
        if (cesta == cestaStranky(s)) return s;
    return std::nullopt;
}

QString jmenoStranky(Stranka s) {
    switch (s) {
    case Stranka::Vysledky:
        return QStringLiteral("vysledky");
    case Stranka::Startovka:
        return QStringLiteral("startovka");
    case Stranka::Hlasatel:
        return QStringLiteral("hlasatel");
    }
    return QString();
}

std::optional<Stranka> strankaJmena(const QString& jmeno) {
    for (Stranka s : {Stranka::Vysledky, Stranka::Startovka, Stranka::Hlasatel})
        if (jmeno == jmenoStranky(s)) return s;
    return std::nullopt;
}

} // namespace qx
