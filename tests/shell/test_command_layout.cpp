#include "shell/command_layout.h"
#include "support/fake_clock.h"

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
                              << QStringList { "Copy", "Title", "CrossLine", "Refresh", "Summary" };
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

    // The one command whose tip differs between menu and tool bar.
    void exportTips()
    {
        QCOMPARE(tool("File", "Export")->description, "Export data to .CSV,It used by EXCEL.");
        QCOMPARE(tool("Tools", "Export")->description,
                 "Export data to .CSV format,It can be opened by EXCEL.");
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
        QCOMPARE(checkable, QStringList({ "View/CrossLine", "View/Summary", "Tools/CrossLine" }));
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
        // "Main": "File" opens "Main_file" (Open, Lang, Exit), then "Help".
        const QList<QAction *> menuBar = window.menuBar()->actions();
        QCOMPARE(menuBar.size(), 2);
        QCOMPARE(menuBar[0]->menu()->actions().size(), 3);
        QCOMPARE(bar.toolBar()->windowTitle(), "ToolsBar");
        bar.tool("Tools", "Channel").setPicture("CH1");
        bar.tool("Tools", "Channel").setPicture("CH2");
        QCOMPARE(bar.tool("state", "sdate").caption(), "2026-12-06");
    }
};

QTEST_MAIN(TestCommandLayout)
#include "test_command_layout.moc"
