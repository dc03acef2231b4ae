#pragma once

#include <QString>

// The program folder: the executable's folder when it can be written (a portable
// install), otherwise the per-user data folder. Run files default to its "save" folder.
QString programFolder();
QString saveFolder();
// The recovery journals of live runs, in the per-user data folder.
QString journalFolder();
// The battery book's database, in the per-user data folder.
QString bookFile();
