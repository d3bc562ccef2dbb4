#pragma once

#include <QString>

class QCoreApplication;

namespace qx {

// Installs Qt's Czech translations (qtbase_cs.qm and the modules' files, Debian package
// qt6-translations-l10n) into the application, so that the texts Qt itself supplies (message
// box buttons, "Show Details…", the edit boxes' context menus) are Czech like the rest of the
// interface, whatever the system's language. The folder is Qt's translations folder unless
// `folder` is given. Returns false (and warns once) when qtbase_cs.qm is not there; the
// program then runs with Qt's English texts.
bool installCzechTranslations(QCoreApplication& app, const QString& folder = {});

} // namespace qx
