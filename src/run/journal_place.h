#pragma once

#include <QString>

class Background;

// Where live runs keep their recovery journals ("" keeps none), and what syncs them.
struct JournalPlace {
    QString folder;
    Background *background = nullptr; // with a folder, always one
};
