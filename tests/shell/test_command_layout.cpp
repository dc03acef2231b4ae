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
