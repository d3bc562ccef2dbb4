#pragma once

// The nine device versions and what the console derives from the chosen one (`nastav_typ`).

#include <QString>
#include <QtGlobal>

#include <array>

namespace stopky {

// One row of the two version tables (protocol side and display side).
struct VersionInfo {
    int verze;              // 454 ... 468
    const char* radioName;  // "RB454"
    const char* caption;    // "4,54"
    quint8 BCas;            // data bytes per time frame: 3 or 4
    quint8 pocetB_Uvod;     // waiting bytes at which the greeting is read: 5 or 3
    int greetingBytes;      // bytes the greeting read takes: 3, or 4 for 466, 467, 468
    bool targetWholeByte;   // target code is the whole byte 1 (else its upper four bits)
    int settingsFrameBytes; // data bytes of a settings frame: 1, or 2 for 467
    bool prepFromNast1;     // preparation minutes from nast[1] as two decimal digits (467)
    bool lblNCasShown;      // 466, 467, 468
    qint32 maxTime;         // running-clock limit in ms
    const char* formatU;    // time-format text of the attack modes, e.g. "888,888L 888,888"
    const char* formatS;    // time-format text of the lane modes, e.g. "888,888"
    bool formatOffered;     // the "setiny"/"tisíciny" choice is shown (else forced to "setiny")
};

// The nine rows in the order of the radio buttons: 454, 456, 457, 458, 462, 463, 466, 467, 468.
const std::array<VersionInfo, 9>& versionTable();

// The row of `verze`, or nullptr when it is not one of the nine.
const VersionInfo* findVersion(int verze);

// What `nastav_typ` derives for a version. For an unknown version the defaults hold (BCas 3,
// pocetB_Uvod 5, maxTime 999999, format choice hidden) and formatU/formatS keep the previous texts.
struct TypSettings {
    int verze = 0;
    bool known = false; // one of the nine (a radio button is checked)
    quint8 BCas = 3;
    quint8 pocetB_Uvod = 5;
    qint32 maxTime = 999999;
    QString formatU; // kept from before for an unknown version
    QString formatS;
    bool formatOffered = false;   // show lblFormatC and CBFormat
    int format = 0;               // the format choice in force: the requested one, or 0 when hidden
    bool lblNCasShown = false;    // 466, 467, 468 (applied by Nastav_uPC)
    int greetingBytes = 3;        // 4 for 466, 467, 468
    int settingsFrameBytes = 1;   // 2 for 467
    bool targetWholeByte = false; // 458, 466, 467, 468
    QString lblFormat;            // "Formát času: " + formatU (attack bit of nast0 set) or formatS
};

// nastav_typ for version `verze` and the requested format choice `format` (CBFormat's index),
// given the previous format texts (empty at program start) and the current settings byte nast[0].
// The console additionally stops the running clock (t_cas := false) and the scrolling text
// (t_posun := false), checks the radio button of the version, shows or hides the format choice and
// sends AM_Form (verze, format).
TypSettings nastav_typ(int verze, int format, const QString& prevFormatU, const QString& prevFormatS,
                       quint8 nast0);

// "Formát času: " followed by formatU when bit 3 of nast0 is set, else by formatS.
QString lblFormatText(quint8 nast0, const QString& formatU, const QString& formatS);

} // namespace stopky
