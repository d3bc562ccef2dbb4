#pragma once

// Where the programs keep their settings files (qx.ini of stopky, qx_db.ini of zapisnik) and
// their journals.

#include <QString>

namespace qx {

// The settings folder, by the first rule that applies:
//  1. the environment variable QX_CONFIG_DIR, when set and not empty;
//  2. the folder of the program file, when that folder is writable (a portable copy);
//  3. the user's XDG config folder: $XDG_CONFIG_HOME/qx (normally ~/.config/qx).
// The folder of rule 3 may not exist yet; IniFile::save creates it.
QString configDir(const QString& programDir);
// The same with the running program's folder.
QString configDir();
// Full path of a settings file by the rule above, e.g. configPath("qx.ini").
QString configPath(const QString& fileName);

// The folder of the programs' journals (stopky's days, zapisnik's received entries): beside the
// settings when QX_CONFIG_DIR is set, else $XDG_STATE_HOME/qx, else ~/.local/state/qx. It may not
// exist yet.
QString journalDir();
// The folder of the programs' own data (journals, backups): the settings folder when it comes
// from QX_CONFIG_DIR or is the program's folder (rules 1 and 2 above), otherwise the user's XDG
// data folder $XDG_DATA_HOME/qx (normally ~/.local/share/qx). It may not exist yet.
QString dataDir(const QString& programDir);
QString dataDir();

} // namespace qx
