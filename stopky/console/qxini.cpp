#include "qxini.h"

#include "settings/ConfigDir.h"
#include "settings/IniFile.h"

namespace stopky {

namespace {

constexpr const char* kCas = "Cas";
constexpr const char* kLed = "LED";

} // namespace

QString qxIniPath() {
    return qx::configPath(QStringLiteral("qx.ini"));
}

QxIni readQxIni(const QString& path, QString* error) {
    QxIni v;
    qx::IniFile ini;
    QString chyba;
    const qx::IniFile::LoadResult loaded = ini.load(path, &chyba);
    if (loaded == qx::IniFile::LoadResult::Unreadable && error)
        *error =
            chyba + QStringLiteral(" Stopky použijí výchozí nastavení a soubor při ukončení nepřepíšou.");
    if (loaded != qx::IniFile::LoadResult::Loaded) return v;
    v.casLeft = ini.integer(kCas, "Left", v.casLeft);
    v.casHeight = ini.integer(kCas, "Height", v.casHeight);
    v.casTop = ini.integer(kCas, "Top", v.casTop);
    v.casWidth = ini.integer(kCas, "Width", v.casWidth);
    v.typ = ini.integer(kCas, "Typ", v.typ);
    v.format = ini.integer(kLed, "Format", v.format);
    v.m0 = ini.text(kLed, "M0");
    v.m1 = ini.text(kLed, "M1");
    v.m2 = ini.text(kLed, "M2");
    v.mr = ini.text(kLed, "MR");
    v.ledLeft = ini.integer(kLed, "Left", v.ledLeft);
    v.ledHeight = ini.integer(kLed, "Height", v.ledHeight);
    v.ledTop = ini.integer(kLed, "Top", v.ledTop);
    v.ledWidth = ini.integer(kLed, "Width", v.ledWidth);
    return v;
}

bool writeQxIni(const QString& path, const QxIni& v, bool writeTyp) {
    qx::IniFile ini;
    ini.load(path); // a missing file starts empty; an unreadable one is not saved over

    ini.setInteger(kLed, "Format", v.format);
    ini.setText(kLed, "M0", v.m0);
    ini.setText(kLed, "M1", v.m1);
    ini.setText(kLed, "M2", v.m2);
    ini.setText(kLed, "MR", v.mr);
    ini.setInteger(kLed, "Left", v.ledLeft);
    ini.setInteger(kLed, "Height", v.ledHeight);
    ini.setInteger(kLed, "Top", v.ledTop);
    ini.setInteger(kLed, "Width", v.ledWidth);

    ini.setInteger(kCas, "Left", v.casLeft);
    ini.setInteger(kCas, "Height", v.casHeight);
    ini.setInteger(kCas, "Top", v.casTop);
    ini.setInteger(kCas, "Width", v.casWidth);
    if (writeTyp) ini.setInteger(kCas, "Typ", v.typ);

    return ini.save(path);
}

} // namespace stopky
