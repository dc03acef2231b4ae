#pragma once

#include "support/window_rig.h"

// The main window with no port to find, at the size of a large screen: the live runs a bench
// makes are the only ones.
inline void openQuietWindow(WindowRig &rig)
{
    rig.ports.list.clear();
    rig.window.load();
    rig.window.showNormal();
    rig.window.setGeometry(0, 0, 1600, 1000);
}
