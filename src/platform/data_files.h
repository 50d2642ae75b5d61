// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the program finds its files. A build or a copy run from its own folder keeps everything
// beside the executable; an installed program has its element database and help pages in its
// data folder (share/durnix of the prefix it was installed to, or of the desktop's data folders)
// and the user's durnix.cfg in the user's configuration folder (~/.config/durnix/).

#include <QString>
#include <QStringList>

namespace durnix {

// The folders that may hold the element database and the help pages, in the order they are
// searched: the program's folder, the data folder of its prefix (bin/../share/durnix), then
// durnix/ in each data folder of the desktop (~/.local/share, /usr/local/share, /usr/share).
QStringList DataFolders(const QString& programFolder);

// The element database Durnix.mdb: in the first data folder that has it, or in the program's
// folder when none has (where its message then says it cannot be opened).
QString ElementDatabasePath(const QString& programFolder);

// The help file Durnix.hlp (a folder of pages), found as the element database is.
QString HelpFilePath(const QString& programFolder);

// The durnix.cfg read at start: the program's folder's when it is there, else the one in the
// user's configuration folder (which need not exist).
QString ConfigPathToRead(const QString& programFolder);

// The folder that "Load default" and "Save current setting" open on: the program's folder when
// it keeps the program's files (durnix.cfg or the help pages beside the executable, as in a
// build) and the user may write there, else the user's configuration folder, made when it is
// missing.
QString ConfigSaveFolder(const QString& programFolder);

}  // namespace durnix
