#pragma once

#include "platform/command_bar.h"

#include <QColor>
#include <QKeySequence>
#include <QString>
#include <vector>

// One tool of a band as the layout describes it, with the caption and tip that this band
// shows (a menu and the tool bar can caption the same command differently).
struct ToolSpec {
    QString name;
    Tool::Kind kind = Tool::Kind::Button;
    QString caption;
    QString description;
    // The pop-up band this tool opens; "" for none.
    QString subBand;
    // Resource path of the tool's design picture; "" for none.
    QString icon;
    // Shows a checked look; clicking never toggles it, the command does.
    bool checkable = false;
    // Keys that click it; only menu items take keys, so a command's copies never share one.
    QList<QKeySequence> keys;
    // The place in a menu where the open child windows are listed.
    bool windowList = false;
    // A label that shows the clock in this QDateTime format instead of its caption.
    QString clockFormat;
    // The colour of a lit lamp, and what it tells (a source text of context "StatusLamp"), for
    // screen readers: the lamps carry no caption.
    QColor lampColor;
    const char *lampMeaning = nullptr;
};

struct BandSpec {
    enum class Role {
        // The first menu-bar band is the main window's own; the others are shown only
        // while a child window that registered them is the current one.
        MenuBar,
        PopUp,
        ToolBar,
        StatusBar,
        // A docked form; made by CommandBar::dockPane, never by the layout.
        Pane,
    };
    QString name;
    QString title;
    Role role = Role::PopUp;
    std::vector<ToolSpec> tools;
};
