#include "shell/command_layout.h"

#include "platform/qt_command_bar.h"

#include <QFile>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>
#include <QToolBar>

namespace {

using Kind = Tool::Kind;
using Role = BandSpec::Role;

const BandSpec *band(const QString &name)
{
    for (const BandSpec &spec : commandLayout())
        if (spec.name == name)
            return &spec;
    return nullptr;
}

const ToolSpec *tool(const QString &bandName, const QString &name)
{
    if (const BandSpec *spec = band(bandName))
        for (const ToolSpec &tool : spec->tools)
            if (tool.name == name)
                return &tool;
    return nullptr;
}

} // namespace

class TestCommandLayout : public QObject {
    Q_OBJECT
private slots:
    void bandsInOrder()
    {
        QStringList names;
        for (const BandSpec &spec : commandLayout())
            names << spec.name;
        QCOMPARE(names,
                 QStringList({ "Main", "Client_menu", "Main_file", "File", "View", "Help",
                               "Windows", "Lang", "Channel", "Tools", "state" }));
    }

    void bands_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<Role>("role");
        QTest::addColumn<QStringList>("tools");
        const QString sep = QStringLiteral("separator1");
        QTest::newRow("Main") << "Main"
                              << "Band8" << Role::MenuBar << QStringList { "File", "Help" };
        QTest::newRow("Client_menu")
            << "Client_menu"
            << "Menu" << Role::MenuBar << QStringList { "file", "View", "WList", "Help" };
        QTest::newRow("Main_file")
            << "Main_file"
            << "Main_file" << Role::PopUp << QStringList { "Open", "Lang", "Exit" };
        QTest::newRow("File") << "File"
                              << "miFile" << Role::PopUp
                              << QStringList { "Open", "Save",  "Export", sep,   "Lang",
                                               sep,    "Print", sep,      "Exit" };
        QTest::newRow("View") << "View"
                              << "&view" << Role::PopUp
                              << QStringList { "Copy", "Title", "CrossLine", "Refresh" };
        QTest::newRow("Help") << "Help"
                              << "&Help" << Role::PopUp << QStringList { "Guid", "About" };
        QTest::newRow("Windows") << "Windows"
                                 << "Windows" << Role::PopUp
                                 << QStringList { "miWTileH", "miWTileV", "miWCascade",
                                                  "miWArrangeIcons", "miWWindowList" };
        QTest::newRow("Lang") << "Lang"
                              << "Lang" << Role::PopUp << QStringList { "Eng", "Cht" };
        QTest::newRow("Channel") << "Channel"
                                 << "Channel" << Role::PopUp << QStringList { "CH1", "CH2" };
        QTest::newRow("Tools") << "Tools"
                               << "ToolsBar" << Role::ToolBar
                               << QStringList { "Open",   "Save",  "Print",   sep,         "Copy",
                                                "Export", sep,     "Title",   "CrossLine", sep,
                                                "Lang",   "Tool6", "Channel", "Tool19" };
        QTest::newRow("state") << "state"
                               << "状态栏" << Role::StatusBar
                               << QStringList { "L1", "L2", "sState", "sdate", "Tool1", "stime" };
    }
    void bands()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(Role, role);
        QFETCH(QStringList, tools);
        const BandSpec *spec = band(name);
        QVERIFY(spec);
        QCOMPARE(spec->title, title);
        QCOMPARE(spec->role, role);
        QStringList names;
        for (const ToolSpec &tool : spec->tools) {
            names << tool.name;
            QCOMPARE(tool.kind == Kind::Separator, tool.name == "separator1");
        }
        QCOMPARE(names, tools);
    }

    void captionsAndTips_data()
    {
        QTest::addColumn<QString>("band");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("description");
        const QString open = "Load saved data for analyze you batteries performance ";
        const QString save = "Save data into database,you can load it later.";
        const QString print = "Print preview the chart.";
        const QString copy
            = "Copy the chart to clipboard,then you can paster it from other program";
        const QString title = "Add description for your batteries ";
        QTest::newRow("Main File") << "Main"
                                   << "File"
                                   << "&File"
                                   << "";
        QTest::newRow("Main Help") << "Main"
                                   << "Help"
                                   << "&Help"
                                   << "";
        QTest::newRow("Client file") << "Client_menu"
                                     << "file"
                                     << "&File"
                                     << "";
        QTest::newRow("Client View") << "Client_menu"
                                     << "View"
                                     << "&View"
                                     << "";
        QTest::newRow("Client WList") << "Client_menu"
                                      << "WList"
                                      << "Window"
                                      << "";
        QTest::newRow("Client Help") << "Client_menu"
                                     << "Help"
                                     << "&Help"
                                     << "";
        QTest::newRow("Main_file Open") << "Main_file"
                                        << "Open"
                                        << "&Open" << open;
        QTest::newRow("Main_file Lang") << "Main_file"
                                        << "Lang"
                                        << "&Language"
                                        << "Set language";
        QTest::newRow("Main_file Exit") << "Main_file"
                                        << "Exit"
                                        << "&Exit"
                                        << "Return to windows.";
        QTest::newRow("File Open") << "File"
                                   << "Open"
                                   << "&Open" << open;
        QTest::newRow("File Save") << "File"
                                   << "Save"
                                   << "&Save" << save;
        QTest::newRow("File Export") << "File"
                                     << "Export"
                                     << "&Export"
                                     << "Export data to .CSV,It used by EXCEL.";
        QTest::newRow("File Print") << "File"
                                    << "Print"
                                    << "&Print" << print;
        QTest::newRow("View Copy") << "View"
                                   << "Copy"
                                   << "&Copy" << copy;
        QTest::newRow("View Title") << "View"
                                    << "Title"
                                    << "&Title" << title;
        QTest::newRow("View CrossLine") << "View"
                                        << "CrossLine"
                                        << "CrossLine"
                                        << "";
        QTest::newRow("View Refresh") << "View"
                                      << "Refresh"
                                      << "Refresh"
                                      << "Refresh";
        QTest::newRow("Help Guid") << "Help"
                                   << "Guid"
                                   << "&Guid"
                                   << "User guid.";
        QTest::newRow("Help About") << "Help"
                                    << "About"
                                    << "&About"
                                    << "About us.";
        QTest::newRow("TileH") << "Windows"
                               << "miWTileH"
                               << "Tile &Horizontally"
                               << "";
        QTest::newRow("TileV") << "Windows"
                               << "miWTileV"
                               << "Tile &Vertically"
                               << "";
        QTest::newRow("Cascade") << "Windows"
                                 << "miWCascade"
                                 << "&Cascade"
                                 << "";
        QTest::newRow("ArrangeIcons") << "Windows"
                                      << "miWArrangeIcons"
                                      << "&ArrangeIcons"
                                      << "";
        QTest::newRow("Eng") << "Lang"
                             << "Eng"
                             << "&English"
                             << "";
        QTest::newRow("Cht") << "Lang"
                             << "Cht"
                             << "&C正體中文"
                             << "";
        QTest::newRow("CH1") << "Channel"
                             << "CH1"
                             << "Channel 1"
                             << "";
        QTest::newRow("CH2") << "Channel"
                             << "CH2"
                             << "Channel 2"
                             << "";
        QTest::newRow("bar Open") << "Tools"
                                  << "Open"
                                  << "Open" << open;
        QTest::newRow("bar Save") << "Tools"
                                  << "Save"
                                  << "Save" << save;
        QTest::newRow("bar Print") << "Tools"
                                   << "Print"
                                   << "Print" << print;
        QTest::newRow("bar Copy") << "Tools"
                                  << "Copy"
                                  << "Copy" << copy;
        QTest::newRow("bar Export") << "Tools"
                                    << "Export"
                                    << "Export"
                                    << "Export data to .CSV format,It can be opened by EXCEL.";
        QTest::newRow("bar Title") << "Tools"
                                   << "Title"
                                   << "Title" << title;
        QTest::newRow("bar CrossLine") << "Tools"
                                       << "CrossLine"
                                       << "CrossLine"
                                       << "";
        QTest::newRow("bar Lang") << "Tools"
                                  << "Lang"
                                  << "Language"
                                  << "Set language";
        QTest::newRow("bar Channel") << "Tools"
                                     << "Channel"
                                     << "CH1"
                                     << "";
        QTest::newRow("Tool6") << "Tools"
                               << "Tool6"
                               << ""
                               << "";
        QTest::newRow("Tool19") << "Tools"
                                << "Tool19"
                                << ""
                                << "";
        QTest::newRow("sState") << "state"
                                << "sState"
                                << "Tool4"
                                << "";
        QTest::newRow("sdate") << "state"
                               << "sdate"
                               << "2012-02-20"
                               << "";
        QTest::newRow("stime") << "state"
                               << "stime"
                               << "14:34"
                               << "";
        QTest::newRow("Tool1") << "state"
                               << "Tool1"
                               << ""
                               << "";
    }
    void captionsAndTips()
    {
        QFETCH(QString, band);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, description);
        const ToolSpec *spec = tool(band, name);
        QVERIFY(spec);
        QCOMPARE(spec->caption, caption);
        QCOMPARE(spec->description, description);
    }

    void popUps()
    {
        const QMap<QString, QString> expected {
            { "Main/File", "Main_file" },       { "Main/Help", "Help" },
            { "Client_menu/file", "File" },     { "Client_menu/View", "View" },
            { "Client_menu/WList", "Windows" }, { "Client_menu/Help", "Help" },
            { "Main_file/Lang", "Lang" },       { "File/Lang", "Lang" },
            { "Tools/Lang", "Lang" },           { "Tools/Channel", "Channel" },
        };
        QMap<QString, QString> opened;
        for (const BandSpec &spec : commandLayout())
            for (const ToolSpec &tool : spec.tools)
                if (!tool.subBand.isEmpty())
                    opened.insert(spec.name + "/" + tool.name, tool.subBand);
        QCOMPARE(opened, expected);
    }

    void specialTools()
    {
        QStringList checkable;
        QStringList windowLists;
        for (const BandSpec &spec : commandLayout())
            for (const ToolSpec &tool : spec.tools) {
                if (tool.checkable)
                    checkable << spec.name + "/" + tool.name;
                if (tool.windowList)
                    windowLists << spec.name + "/" + tool.name;
            }
        QCOMPARE(checkable, QStringList({ "View/CrossLine", "Tools/CrossLine" }));
        QCOMPARE(windowLists, QStringList({ "Windows/miWWindowList" }));

        QList<Kind> kinds;
        for (const ToolSpec &tool : band("state")->tools)
            kinds << tool.kind;
        QCOMPARE(kinds,
                 QList<Kind>({ Kind::Lamp, Kind::Lamp, Kind::DropDownList, Kind::Label, Kind::Label,
                               Kind::Label }));
        QCOMPARE(tool("state", "sdate")->clockFormat, "yyyy-MM-dd");
        QCOMPARE(tool("state", "stime")->clockFormat, "hh:mm");
        QVERIFY(tool("state", "L1")->lampColor.isValid());
        QVERIFY(tool("state", "L2")->lampColor.isValid());
    }

    // The layout as the main window shows it: every tool answers by band and name, and the
    // main menu bar stands while no chart window is open.
    void onTheMainWindow()
    {
        QTest::failOnWarning(QRegularExpression(".*"));
        QMainWindow window;
        window.setCentralWidget(new QMdiArea);
        FakeClock clock;
        QtCommandBar bar(&window, nullptr, commandLayout(), clock);
        for (const BandSpec &spec : commandLayout()) {
            QStringList names;
            for (const ToolSpec &tool : spec.tools) {
                names << tool.name;
                QCOMPARE(bar.tool(spec.name, tool.name).band(), spec.name);
                QVERIFY2(tool.icon.isEmpty() || QFile::exists(tool.icon), qPrintable(tool.icon));
            }
            QCOMPARE(bar.toolNames(spec.name), names);
        }
        QStringList menuBar;
        for (QAction *action : window.menuBar()->actions())
            menuBar << action->text();
        QCOMPARE(menuBar, QStringList({ "&File", "&Help" }));
        QCOMPARE(bar.toolBar()->windowTitle(), "ToolsBar");
        bar.tool("Tools", "Channel").setPicture("CH1");
        bar.tool("Tools", "Channel").setPicture("CH2");
        QCOMPARE(bar.tool("state", "sdate").caption(), "2026-12-06");
    }
};

QTEST_MAIN(TestCommandLayout)
#include "test_command_layout.moc"
