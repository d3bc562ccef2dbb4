#include "locale/CzechTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QtDebug>

namespace qx {

bool installCzechTranslations(QCoreApplication& app, const QString& folder) {
    const QString dir = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    bool base = false;
    // qtbase: dialogs, buttons, context menus; qtmultimedia: its error texts.
    for (const char* module : {"qtbase", "qtmultimedia"}) {
        auto* t = new QTranslator(&app);
        if (t->load(QLatin1String(module) + QStringLiteral("_cs"), dir)) {
            QCoreApplication::installTranslator(t);
            if (qstrcmp(module, "qtbase") == 0) base = true;
        } else {
            delete t;
        }
    }
    if (!base)
        qWarning("Qt's Czech translations (qtbase_cs.qm) are not in %s; install qt6-translations-l10n",
                 qPrintable(dir));
    return base;
}

} // namespace qx
