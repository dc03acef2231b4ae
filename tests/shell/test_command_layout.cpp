#include "platform/qt_command_bar.h"
#include "shell/command_layout.h"
#include "support/fake_clock.h"

#include <QFile>
#include <QMainWindow>
#include <QMdiArea>
#include <QRegularExpression>
#include <QTest>

class TestCommandLayout : public QObject {
    Q_OBJECT
private slots:
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
        bar.tool("Tools", "Channel").setPicture("CH1");
        bar.tool("Tools", "Channel").setPicture("CH2");
        QCOMPARE(bar.tool("state", "sdate").caption(), "2026-12-06");
    }
};

QTEST_MAIN(TestCommandLayout)
#include "test_command_layout.moc"
