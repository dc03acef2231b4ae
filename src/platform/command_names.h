#pragma once

#include <QString>

// Names of the main window's bands and of the tools that code looks up or reacts to; the
// command bar addresses both by name, and a name is compared exactly.
namespace Band {
inline const QString Main = QStringLiteral("Main");
inline const QString ClientMenu = QStringLiteral("Client_menu");
inline const QString MainFile = QStringLiteral("Main_file");
inline const QString File = QStringLiteral("File");
inline const QString View = QStringLiteral("View");
inline const QString Help = QStringLiteral("Help");
inline const QString Windows = QStringLiteral("Windows");
inline const QString Lang = QStringLiteral("Lang");
inline const QString Channel = QStringLiteral("Channel");
inline const QString Tools = QStringLiteral("Tools");
inline const QString State = QStringLiteral("state");
} // namespace Band

namespace ToolName {
inline const QString Open = QStringLiteral("Open");
inline const QString Save = QStringLiteral("Save");
inline const QString Export = QStringLiteral("Export");
inline const QString Lang = QStringLiteral("Lang");
inline const QString Print = QStringLiteral("Print");
inline const QString Exit = QStringLiteral("Exit");
inline const QString Copy = QStringLiteral("Copy");
inline const QString Title = QStringLiteral("Title");
inline const QString CrossLine = QStringLiteral("CrossLine");
inline const QString Refresh = QStringLiteral("Refresh");
// The run summary line under a chart's title, on or off.
inline const QString Summary = QStringLiteral("Summary");
// The active window's chart alone on the screen, or the main window when it has none.
inline const QString FullScreen = QStringLiteral("FullScreen");
// Folds the side pane to its arrow, and unfolds it.
inline const QString SidePane = QStringLiteral("SidePane");
inline const QString CloseWindow = QStringLiteral("miWClose");
inline const QString NextWindow = QStringLiteral("miWNext");
inline const QString PreviousWindow = QStringLiteral("miWPrevious");
inline const QString Guid = QStringLiteral("Guid");
inline const QString About = QStringLiteral("About");
inline const QString TileH = QStringLiteral("miWTileH");
inline const QString TileV = QStringLiteral("miWTileV");
inline const QString Cascade = QStringLiteral("miWCascade");
inline const QString ArrangeIcons = QStringLiteral("miWArrangeIcons");
// The tool bar's channel selector and its drop-down's two entries.
inline const QString Channel = QStringLiteral("Channel");
inline const QString CH1 = QStringLiteral("CH1");
inline const QString CH2 = QStringLiteral("CH2");
// Menu-bar openers: "File" and "Help" of "Main"; "file", "View", "WList", "Help" of
// "Client_menu".
inline const QString MainFileMenu = QStringLiteral("File");
inline const QString ClientFileMenu = QStringLiteral("file");
inline const QString ViewMenu = QStringLiteral("View");
inline const QString WindowMenu = QStringLiteral("WList");
inline const QString HelpMenu = QStringLiteral("Help");
// Status bar: connection lamp, receive lamp, the status line's drop-down list.
inline const QString ConnectionLamp = QStringLiteral("L1");
inline const QString ReceiveLamp = QStringLiteral("L2");
inline const QString StateList = QStringLiteral("sState");
} // namespace ToolName
