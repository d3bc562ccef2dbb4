#pragma once

// What the console derives from the chosen device version (`nastav_typ`), read from the common
// table of device versions (device/DeviceVersions.h).

#include "device/DeviceVersions.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace stopky {

// What `nastav_typ` derives for a version: its row of the table. A number stopky cannot be set to
// gets the row of other numbers (BCas 3, pocetB_Uvod 5, maxTime 999999, format choice hidden),
// and formatU/formatS keep the previous texts. The defaults below are that row's, in force before
// the first nastav_typ.
struct TypSettings {
    int verze = 0;
    bool known = false; // one of the versions stopky can be set to (a radio button is checked)
    quint8 BCas = qx::deviceVersion(0).BCas;
    quint8 pocetB_Uvod = qx::deviceVersion(0).pocetB_Uvod;
    qint32 maxTime = qx::deviceVersion(0).maxTime;
    QString formatU; // kept from before for an unknown version
    QString formatS;
    bool formatOffered = false; // show lblFormatC and CBFormat
    int format = 0;             // the format choice in force: the requested one, or 0 when hidden
    bool lblNCasShown = false;  // applied by Nastav_uPC
    int greetingBytes = qx::deviceVersion(0).greetingBytes;
    int settingsFrameBytes = qx::deviceVersion(0).settingsFrameBytes;
    bool targetWholeByte = false;
    QString lblFormat; // "Formát času: " + formatU (attack bit of nast0 set) or formatS
};

// nastav_typ for version `verze` and the requested format choice `format` (CBFormat's index),
// given the previous format texts (empty at program start) and the current settings byte nast[0].
// The console additionally stops the running clock (t_cas := false) and the scrolling text
// (t_posun := false), checks the radio button of the version, shows or hides the format choice and
// sends AM_Form (verze, format).
TypSettings nastav_typ(int verze, int format, const QString& prevFormatU, const QString& prevFormatS,
                       quint8 nast0);

// The command-line option "--version V" (or "--version=V"): the version the console is set to at
// start-up, as if its radio button had been clicked, before a port named by "--port" is opened.
// V names a version as its radio button does: by number (468) or by caption (4,68).
struct VersionArgument {
    bool given = false; // the option is there
    int verze = 0;      // the version; 0 when V is missing or not a version stopky can be set to
    QString text;       // V as written
};
// `arguments` as QCoreApplication::arguments() gives them (program name first).
VersionArgument versionArgument(const QStringList& arguments);

// "Formát času: " followed by formatU when bit 3 of nast0 is set, else by formatS.
QString lblFormatText(quint8 nast0, const QString& formatU, const QString& formatS);

} // namespace stopky
