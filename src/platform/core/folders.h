#pragma once

#include <QString>

// Where the program runs from, and the per-user folders it can fall back on.
struct ProgramPlace {
    QString exeDir;
    bool writable = false; // exeDir can be written by this user
    QString installPrefix; // the prefix the program was built to be installed under
    QString documents; // the user's documents folder
};
// An installed program (its folder read-only, under the install prefix or under /usr) keeps
// the user's runs in "chargemon" in the documents folder, also when run as root; a program
// run from its build or a folder of the user's own keeps them in "save" beside itself.
bool isInstalled(const ProgramPlace &place);
QString saveFolderAt(const ProgramPlace &place);

// The program folder: the executable's folder when the program is not installed, otherwise
// the per-user data folder. Run files default to saveFolder().
QString programFolder();
QString saveFolder();
// The recovery journals of live runs, in the per-user data folder.
QString journalFolder();
// The battery book's database, in the per-user data folder.
QString bookFile();
// The per-user configuration folder of the program's files other than its settings,
// ~/.config/chargemon.
QString configFolder();
