#pragma once

// Where the programs keep their settings files (qx.ini of stopky, qx_db.ini of zapisnik).

#include <QString>

namespace stopky {

// The settings folder, by the first rule that applies:
//  1. the environment variable QX_CONFIG_DIR, when set and not empty;
//  2. the folder of the program file, when that folder is writable (a portable copy);
//  3. the user's XDG config folder: $XDG_CONFIG_HOME/qx (normally ~/.config/qx).
// The folder of rule 3 may not exist yet; writers create it (ensureConfigDir).
QString qxConfigDir();

// The same rule with the program's folder given (tests, or callers without a QCoreApplication).
QString qxConfigDir(const QString& programDir);

// Full path of a settings file by the rule above, e.g. qxConfigPath("qx.ini").
QString qxConfigPath(const QString& fileName);

// Creates the folder of `filePath` when it is missing; true when it exists afterwards.
bool ensureConfigDir(const QString& filePath);

} // namespace stopky
