#include "book_feature/book_window.h"
#include "compare/compare_file.h"
#include "compare_feature/compare_window.h"
#include "i18n/languages.h"
#include "platform/analog_gauge.h"
#include "platform/chart.h"
#include "platform/core/folders.h"
#include "platform/panel_lamp.h"
#include "platform/segment_readout.h"
#include "platform/trend_chart.h"
#include "publish/mqtt_json.h"
#include "publish/mqtt_publisher.h"
#include "run/live_runs.h"
#include "run/run.h"
#include "run/run_file.h"
#include "setup/adform.h"
#include "shell/command_layout.h"
#include "shell/window_arrangement.h"
#include "support/files.h"
#include "support/private_broker.h"
#include "support/sqlite_file.h"
#include "support/window_rig.h"

#include <QtTest>
#include <QtWidgets>
#include <qcustomplot.h>
#include <sys/stat.h>

namespace {
QProgressDialog *shownProgress(QWidget &window)
{
    for (auto *progress : window.findChildren<QProgressDialog *>())
        if (progress->isVisible())
            return progress;
    return nullptr;
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    using Rig = WindowRig;
    QTemporaryDir dir;

    // A run file with a title and `rows` samples, written as the program writes it.
    QString runFile(const QString &name, int rows)
    {
        const QString path = dir.filePath(name);
        RunFile::write(path, QStringLiteral("pack A\r\n"), rows, rowText);
        return path;
    }

    // A run of `rows` + 1 samples, long enough that opening it takes a while.
    QString largeFile(int rows = 200'000)
    {
        const QString path = runFile(QStringLiteral("large%1.mdb").arg(rows), 1);
        runSql(path,
               { QStringLiteral("with recursive r(n) as (select 1 union all select n + 1 from r "
                                "where n < %1) insert into CHGLOG select n / 86400.0, type, Chg, "
                                "Ext_temp, In_temp, In_Volt, Bat_volt, Current, n, Power, C1, C2, "
                                "C3, C4, C5, C6, C7, C8, C9, C10, C11, C12 from CHGLOG, r")
                     .arg(rows) });
        return path;
    }

private slots:
    // Each limit kept, an empty value kept, the value just past the limit dropped.
    void implausibleReadings()
    {
        const std::tuple<int, double, double> limits[] = { { Bat_volt, 1, 0.99 },
                                                           { Bat_volt, 51, 51.01 },
                                                           { In_Volt, 20, 20.01 },
                                                           { Ext_temp, 150, 151 },
                                                           { In_temp, 100, 101 } };
        QString verdicts;
        for (const auto &[field, kept, dropped] : limits)
            for (const Value &v :
                 { Value(Fixed::fromDouble(kept)), Value(), Value(Fixed::fromDouble(dropped)) }) {
                ChannelReading r = reading(1);
                verdicts += implausible((r[field] = v, r)) ? 'x' : '-';
            }
        QCOMPARE(verdicts, QString("--x").repeated(5));
    }

    // The program's layout on the window: every tool answers by band and name, its picture is
    // there, and the main menu bar stands while no chart window is open. Then the status line
    // keeps ten lines, either copy of CrossLine sets the flag and the toolbar's button, and every
    // caption follows the language.
    void commandLayoutOnTheWindow()
    {
        QTest::failOnWarning(QRegularExpression(".*"));
        Rig rig;
        for (const BandSpec &spec : commandLayout()) {
            QStringList names;
            for (const ToolSpec &tool : spec.tools) {
                names << tool.name;
                QVERIFY2(tool.icon.isEmpty() || QFile::exists(tool.icon), qPrintable(tool.icon));
            }
            QCOMPARE(rig.window.Menu().toolNames(spec.name), names);
        }
        // "Main": "File" opens "Main_file" (Open, Import, Watch, Stop watching, Book, Pack
        // labels, Compare, Lang, Exit), then "Help".
        const QList<QAction *> menuBar = rig.window.menuBar()->actions();
        QCOMPARE(menuBar.size(), 2);
        QCOMPARE(menuBar[0]->menu()->actions().size(), 9);
        rig.tool("Tools", "Channel").setPicture("CH1");
        rig.tool("Tools", "Channel").setPicture("CH2");
        QCOMPARE(rig.tool("state", "sdate").caption(), "2026-12-06");
        for (int i = 1; i <= 11; ++i) // the eleventh line starts the list afresh
            rig.window.State_add(QString::number(i));
        QCOMPARE(rig.status(), QStringList({ "10:00:00  11" }));
        QCOMPARE(rig.tool("state", "sState").text(), QStringLiteral("10:00:00  11"));
        rig.click("View", "CrossLine");
        QVERIFY(rig.tool("Tools", "CrossLine").checked() && rig.window.viewState().crossLineOn);
        QVERIFY(!rig.tool("View", "CrossLine").checked());
        rig.click("Tools", "CrossLine");
        QVERIFY(!rig.tool("Tools", "CrossLine").checked() && !rig.window.viewState().crossLineOn);
        // Every caption of the bars and the information panel, in both languages.
        const auto shown = [&] {
            QStringList out;
            for (const QString band : { "File", "View", "Help", "Lang", "Windows", "Client_menu",
                                        "Main", "Main_file", "Tools", "Channel" })
                for (const QString &name : rig.window.Menu().toolNames(band))
                    out << rig.tool(band, name).caption();
            for (QWidget *control : rig.panel().findChildren<QWidget *>()) {
                auto *gauge = qobject_cast<AnalogGauge *>(control);
                out << (gauge ? gauge->caption() : control->property("text").toString());
            }
            out.removeAll(QString());
            return out;
        };
        rig.click("Lang", "Eng");
        const QStringList english = shown();
        rig.click("Lang", "Cht");
        const QStringList chinese = shown();
        QStringList same; // every caption but these follows the language
        for (qsizetype i = 0; i < english.size(); ++i)
            if (english[i] == chinese.value(i))
                same << english[i];
        QCOMPARE(chinese.size(), english.size());
        QCOMPARE(same.join('|'), "&Refresh|&English|繁體中文(&F)|CH1|Channel &1|Channel &2");
        QCOMPARE(rig.settings.value(SettingsKeys::Lang), "CHT");
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), "取消"); // Qt's own too
        rig.click("Lang", "Eng");
        QCOMPARE(shown(), english);
        QCOMPARE(rig.settings.value(SettingsKeys::Lang), "ENG");
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
    }

    // A live window per channel and run, which closes only with the main window. The selector
    // picks the live window; the panel shows its channel, its lamps its curves.
    void channelSelector()
    {
        Rig rig;
        rig.window.show();
        // A small screen at 200 %: new windows shrink to stand inside the chart area.
        rig.window.resize(700, 420);
        QApplication::processEvents();
        Tool &channel = rig.tool("Tools", "Channel");
        const auto shownVolts = [&](double ch1, double ch2) {
            rig.clock.advanceSeconds(1);
            for (int c : { 1, 2 }) {
                ChannelReading r = reading(10);
                r[Bat_volt] = Fixed::fromDouble(c == 1 ? ch1 : ch2);
                rig.window.liveRuns().Reading_Proc(c, r);
            }
            return rig.panel().LED1(1).text();
        };
        rig.window.Channel_Proc(2); // no live window at all
        QCOMPARE(channel.caption() + '|' + channel.subBand(), "CH1|"); // and no pop-up
        rig.feed(1, 10);
        channel.setCaption("x");
        rig.window.Channel_Proc(2); // only channel 1 is live: unchanged
        rig.window.liveRuns().refreshChannelDropDown(); // still no pop-up
        QCOMPARE(channel.caption() + '|' + channel.subBand(), "x|");
        rig.feed(2, 10, 0); // a new live window is active at once, and shows its channel
        QApplication::processEvents();
        for (tee *doc : rig.documents())
            QVERIFY(rig.area().viewport()->rect().contains(doc->geometry()));
        rig.window.liveRuns().refreshChannelDropDown();
        QCOMPARE(channel.caption() + '|' + channel.subBand(), "CH2|Channel");
        auto *one = dynamic_cast<tee *>(rig.window.Newdoc());
        QPointer<tee> two = dynamic_cast<tee *>(rig.window.CH2Doc());
        rig.click("Channel", "CH1");
        QVERIFY(channel.caption() == "CH1" && rig.area().activeSubWindow() == one);
        QCOMPARE(shownVolts(7.20, 8.40), "7.20");
        rig.window.Channel_Proc(2);
        QVERIFY(channel.caption() == "CH2" && rig.area().activeSubWindow() == two);
        QCOMPARE(shownVolts(7.30, 8.50), "8.50");
        PanelLamp &lamp = rig.panel().ChartLight(1);
        one->active();
        lamp.click();
        QVERIFY(!one->chart().seriesShown(1) && two->chart().seriesShown(1));
        two->active();
        QVERIFY(lamp.isChecked());
        one->active();
        QVERIFY(!lamp.isChecked());
        two->active();
        rig.window.viewState().crossLineHeld = true; // a cross-line read-out stays on the panel
        QCOMPARE(shownVolts(7.40, 8.60), "8.50");
        QVERIFY(rig.window.liveRuns().bothLive() && rig.tool("state", "L1").on());
        rig.feed(1, 9); // capacity went back: channel 1's run is over
        QVERIFY(!rig.window.Newdoc());
        rig.feed(1, 9, 0);
        QStringList captions;
        for (tee *doc : rig.documents())
            captions << doc->caption();
        QCOMPARE(captions.join(", "),
                 "CH1 Chart 1 END, CH2 Chart 2 >>Live<<, CH1 Chart 3 >>Live<<");
        QVERIFY(!two->close()); // closes with the main window only
        rig.click("File", "Exit");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!two);
    }

    // Another station's run, through a broker, in a chart window of its own until the station
    // goes offline; the panel follows whichever live window is active.
    void watchStation()
    {
        Broker broker;
        if (!broker.start(false))
            QSKIP("no mosquitto here");
        Rig rig;
        rig.window.show();
        const MqttBroker at = broker.client("pit-2");
        RunHub stationHub; // of the station watched
        LiveRuns runs(stationHub, rig.clock, {});
        auto station = std::make_unique<MqttPublisher>(stationHub, rig.clock, at);
        QTest::qWait(500); // online
        rig.dialogs.inputAnswers << QString("127.0.0.1:%1").arg(broker.port) << "pit-2";
        rig.click("Main_file", "Watch");
        QTRY_COMPARE(rig.dialogs.asked.size(), 2); // once the broker has listed its stations
        QCOMPARE(rig.dialogs.asked[1].text + '|' + rig.dialogs.asked[1].defaultText,
                 "Station:|pit-2");
        rig.feed(1, 10); // a local run beside it
        const auto volts = [&](LiveRuns &to, int hundredths) {
            ChannelReading r = reading(20);
            r[Bat_volt] = Fixed::fromHundredths(hundredths);
            to.Reading_Proc(1, r);
        };
        for (qint64 s = 1; s <= 3; ++s) {
            rig.clock.advanceSeconds(1);
            volts(runs, 900 + s);
            QTRY_COMPARE(rig.documents().size() == 2 ? rig.documents()[1]->run().samples().count()
                                                     : -1,
                         s == 1 ? -1 : s - 1); // opened by the first reading recorded
        }
        tee *watched = rig.documents()[1];
        QCOMPARE(watched->caption(), "pit-2 CH1 Chart 1 >>Live<<");
        QCOMPARE(watched->chart().subtitleLine(), RunSummary::of(watched->run().samples()).line());
        QCOMPARE(rig.panel().LED1(1).text(), "9.03");
        rig.documents()[0]->active();
        rig.clock.advanceSeconds(1);
        volts(rig.window.liveRuns(), 700);
        volts(runs, 904);
        QTRY_COMPARE(watched->run().samples().count(), 3);
        QCOMPARE(rig.panel().LED1(1).text(), "7.00");
        // Its window closes; the station's run goes on being received.
        const std::shared_ptr<Run> run = watched->sharedRun();
        QVERIFY(watched->close());
        rig.clock.advanceSeconds(1);
        volts(runs, 905);
        QTRY_COMPARE(run->samples().count(), 4);
        // Stopped watching, it ends.
        rig.dialogs.inputAnswers << "pit-2";
        rig.click("Main_file", "StopWatching");
        QVERIFY(!run->isLive());
        QCOMPARE(rig.status().last().mid(10), "MQTT: pit-2 is no longer watched.");
        station.reset();
        // A hostile publisher opens a few windows at most, and what it sent beyond is said.
        rig.dialogs.inputAnswers << QString("127.0.0.1:%1").arg(broker.port) << "pit-3";
        rig.click("Main_file", "Watch");
        const auto rss = [] { // MB
            QFile status("/proc/self/status");
            status.open(QIODevice::ReadOnly);
            static const QRegularExpression rss("VmRSS:\\s*(\\d+)");
            return rss.match(status.readAll()).captured(1).toLongLong() / 1024;
        };
        const qint64 before = rss();
        const auto readingAt = [](int s) {
            ChannelReading r = reading(s);
            r[Time] = DayTime { s / 86400.0 };
            return MqttJson::reading(r, QDateTime::currentDateTime());
        };
        broker.publish([readingAt] {
            QList<QPair<QString, QByteArray>> hostile;
            const QString ch1 = "chargemon/pit-3/ch1/";
            for (int i = 0; i < 100; ++i) {
                hostile << qMakePair(
                    ch1 + "run",
                    QString(R"({"state":"live","started":"%1"})").arg(i < 40 ? 0 : i).toUtf8());
                hostile << qMakePair(ch1 + "reading", readingAt(100 - (i % 2) * 50));
            }
            for (int i = 0; i < 70; ++i)
                hostile << qMakePair(QString("chargemon/s%1/status").arg(i), QByteArray("online"));
            for (int i = 0; i < 3; ++i)
                hostile << qMakePair("chargemon/pit-3/status", QByteArray(50 << 20, 'x'));
            return hostile;
        }());
        QTRY_VERIFY(rig.status().last().contains("52428800 bytes on chargemon/pit-3/status"));
        QCOMPARE(rig.status()
                     .filter(QRegularExpression("pit-3 sends readings whose time goes "
                                                "back|pit-3 has 6 runs|than 64 stations"))
                     .size(),
                 3);
        QCOMPARE(rig.documents().size(), 7); // one of this program, six of pit-3
        if (!qEnvironmentVariableIsSet("ASAN_OPTIONS")) { // it keeps what is freed aside
            QTRY_VERIFY2(rss() - before < 50, qPrintable(QString::number(rss() - before)));
        }
        // The broker's troubles are said once, and when they are over.
        const auto said = [&] {
            return rig.status()
                .filter("MQTT: broker")
                .join('|')
                .remove(QRegularExpression("\\d\\d:\\d\\d:\\d\\d  "));
        };
        broker.stop();
        QTRY_VERIFY(said().endsWith("lost"));
        QVERIFY(broker.start(false));
        QTRY_VERIFY(said().endsWith("again."));
        QCOMPARE(said(),
                 QString("MQTT: broker 127.0.0.1:%1: connection lost|MQTT: broker "
                         "127.0.0.1:%1 answers again.")
                     .arg(broker.port));
    }

    void arrangement()
    {
        using namespace WindowArrangement;
        const QRect area(0, 0, 300, 100);
        QCOMPARE(tiled(3, area, true),
                 QList<QRect>({ { 0, 0, 300, 33 }, { 0, 33, 300, 33 }, { 0, 66, 300, 34 } }));
        QCOMPARE(tiled(3, area, false),
                 QList<QRect>({ { 0, 0, 100, 100 }, { 100, 0, 100, 100 }, { 200, 0, 100, 100 } }));
        QCOMPARE(iconPositions(3, QRect(0, 0, 250, 100), QSize(100, 20)),
                 QList<QPoint>({ { 0, 80 }, { 100, 80 }, { 0, 60 } }));
        // The tool names to their modes: swapped, the tiling goes the wrong way.
        const QString tools[] = { "miWCascade", "miWTileH", "miWTileV", "miWArrangeIcons" };
        for (int m = 0; m < 4; ++m)
            QVERIFY2(modeOf(tools[m]) == Mode(m), qPrintable(tools[m]));
        QVERIFY(!modeOf("Open"));
    }

    // Clearing one flag hides exactly these tools, and the other flags none.
    void menuFlags()
    {
        Rig rig;
        CommandBar &bar = rig.window.Menu();
        const auto invisible = [&bar](const MenuFlags &flags) {
            applyMenuFlags(bar, flags);
            QStringList out;
            for (const QString &band : bar.bandNames())
                for (const QString &tool : bar.toolNames(band))
                    if (!bar.tool(band, tool).visible())
                        out << band + '/' + tool;
            return out;
        };
        QStringList hidden;
        for (const auto &[flag, unused] : menuFlagFields) {
            MenuFlags flags;
            for (const auto &[name, field] : menuFlagFields)
                flags.*field = name != flag;
            QStringList now = invisible(flags);
            now.sort();
            hidden << QString(flag) + ' ' + now.join(' ');
        }
        QCOMPARE(hidden.join(", "),
                 "Client_Menu_File Client_menu/file, Client_Menu_View Client_menu/View, "
                 "Client_Menu_Wlist Client_menu/WList, Client_Menu_Help Client_menu/Help, "
                 "Client_View_Copy View/Copy, Client_View_Title View/Title, "
                 "Client_View_CrossLine View/CrossLine, Help_Guid Help/Guid, Help_About "
                 "Help/About, MDI_file Main/File, MDI_help Main/Help, MDI_File_Open File/Open "
                 "Main_file/Open, MDI_File_Lang File/Lang Main_file/Lang, MDI_File_Exit File/Exit "
                 "Main_file/Exit, Tools_Open Tools/Open, Tools_Save Tools/Save, Tools_Print "
                 "Tools/Print, Tools_Copy Tools/Copy, Tools_Export Tools/Export, Tools_Title "
                 "Tools/Title, Tools_CrossLine Tools/CrossLine, Tools_Lang Tools/Lang, "
                 "Client_View_Summary View/Summary");
    }

    // Alt and a letter reach one item: every menu the main window shows, whichever kind of
    // window is active, gives each item a letter of its own, in either language, and the
    // commands their keys.
    void everyMenuItemHasItsOwnLetter()
    {
        Rig rig;
        rig.feed(1, 1);
        rig.feed(1, 2);
        CompareFile::Comparison both;
        both.runs = QStringList { runFile("m1.mdb", 3), runFile("m2.mdb", 3) };
        both.quantities = { Bat_volt };
        rig.open(both.runs[0]);
        const QString comparison = dir.filePath("m.chargemon-compare");
        QCOMPARE(CompareFile::write(comparison, both), QString());
        rig.window.openFiles({ comparison });
        QTRY_VERIFY(rig.window.findChild<CompareWindow *>());
        rig.click("Main_file", "Book");
        QCOMPARE(rig.area().subWindowList().size(), 4);
        QStringList faults;
        for (const Language &language : languages()) {
            rig.click("Lang", language.tool);
            for (QMdiSubWindow *active : rig.area().subWindowList()) {
                rig.area().setActiveSubWindow(active);
                faults << rig.letterFaults(language.tool + ", " + active->windowTitle() + ": ",
                                           QString("Ctrl+C Ctrl+E Ctrl+O Ctrl+P Ctrl+Q Ctrl+S "
                                                   "Ctrl+Shift+Tab Ctrl+Tab Ctrl+W F1 F11")
                                               .split(' '));
            }
        }
        faults.removeDuplicates();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    // New windows cascade, each a title bar's height below and right of the one before, as
    // far as the area holds them.
    void newWindowsCascade()
    {
        Rig rig;
        rig.window.load();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        for (int i = 0; i < 4; ++i)
            rig.open(runFile(QString("c%1.mdb").arg(i), 2));
        const QList<tee *> docs = rig.documents();
        for (int i = 1; i < docs.size(); ++i)
            QVERIFY2(docs[i]->x() > docs[i - 1]->x() && docs[i]->y() > docs[i - 1]->y(),
                     qPrintable(QString::number(i)));
    }

    // F6 and Shift+F6 go round the main window's regions, Tab leaves a chart window, Ctrl+Tab
    // goes to the next window and Ctrl+W closes it.
    void keyboardAlone()
    {
        Rig rig;
        rig.window.load();
        rig.open(runFile("k1.mdb", 3));
        rig.open(runFile("k2.mdb", 3));
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        const auto region = [&] {
            QWidget *focus = QApplication::focusWidget();
            for (const auto &[name, w] :
                 { std::pair<QString, QWidget *>("chart", rig.area().currentSubWindow()),
                   { "panel", &rig.panel() },
                   { "pane", rig.window.findChild<adform *>() },
                   { "status", rig.window.statusBar() } })
                if (w && focus && w->isAncestorOf(focus))
                    return name;
            return QString("elsewhere");
        };
        QStringList visited { region() };
        for (const auto modifier :
             { Qt::NoModifier, Qt::NoModifier, Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier })
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, modifier), visited << region();
        QCOMPARE(visited.join(' '), "chart panel pane status chart status");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(region() != "chart" && region() != "elsewhere");
        QMdiSubWindow *first = rig.area().currentSubWindow();
        QTest::keyClick(&rig.window, Qt::Key_Tab, Qt::ControlModifier);
        QVERIFY(rig.area().currentSubWindow() != first);
        QTest::keyClick(&rig.window, Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(rig.area().subWindowList(), QList<QMdiSubWindow *>({ first }));
    }

    // The language stored at start, from what the settings held (the key spelled out: renaming
    // it would lose every user's choice).
    void languageAtStart()
    {
        const std::pair<QVariant, QString> entries[]
            = { { QVariant(), "ENG" }, { " ENG ", "ENG" }, { "eng", "CHT" }, { "CHT", "CHT" } };
        for (const auto &[entry, stored] : entries) {
            const QString file = dir.filePath(stored + entry.toString() + ".ini");
            QSettings ini(file, QSettings::IniFormat);
            if (entry.isValid())
                ini.setValue("Lang/Lang", entry);
            ini.sync();
            Rig rig({}, InterfaceTextStore::builtInPath(), file);
            rig.window.load();
            QVERIFY(rig.window.findChild<adform *>());
            QCOMPARE(rig.tool("Tools", "Copy").caption(), stored == "CHT" ? "複製" : "Copy");
            ini.sync();
            QCOMPARE(ini.value("Lang/Lang").toString(), stored);
        }
    }

    // In Chinese a chart prints with the Traditional Chinese face, and its words come back out
    // of the PDF as written, those whose glyph the face shares with a radical (一日大長) too, in
    // a file that stays whole; English leaves Han characters to the desktop again.
    void chinesePrint()
    {
        Rig rig;
        rig.click("Lang", "Cht");
        rig.open(runFile("zh.mdb", 3));
        Chart &chart = rig.documents().first()->chart();
        const QString words = "鋰電池一日長時間大電流充電紀錄";
        chart.setTitleLine(words);
        const QString pdf = dir.filePath("zh.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        chart.print(printer);
        const auto output = [](const QString &program, const QStringList &arguments) {
            QProcess p;
            p.start(program, arguments);
            return p.waitForFinished() ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
        };
        // The axes' digits in the desktop's face: two faces, below the two header lines.
        const QString fonts = output("pdffonts", { pdf });
        QVERIFY2(fonts.contains("NotoSansCJKtc-") && fonts.count('\n') == 4, qPrintable(fonts));
        QVERIFY(output("pdftotext", { pdf, "-" }).contains(words));
        QVERIFY(output("qpdf", { "--check", pdf }).contains("No syntax or stream encoding errors"));
        rig.click("Lang", "Eng");
        QCOMPARE(QApplication::font().families().size(), 1);
    }

    // Settings that cannot be written: said once. A store without a width: no pane.
    void unwritableSettingsAndNoAdvertisement()
    {
        const QString noWidth = dir.filePath(QStringLiteral("store.db"));
        QVERIFY(QFile::copy(InterfaceTextStore::builtInPath(), noWidth));
        QFile::setPermissions(noWidth, QFile::ReadOwner | QFile::WriteOwner);
        runSql(noWidth, { "update interface set Adwidth = 'MA=='" }); // "0"
        Rig rig({}, noWidth, QStringLiteral("/dev/null/chargemon.ini"));
        rig.window.load();
        QVERIFY(!rig.window.findChild<adform *>());
        rig.click("Lang", "Cht");
        rig.click("Lang", "Eng");
        rig.click("Lang", "Cht");
        QCOMPARE(rig.status().filter("Cannot store the interface language").size(), 1);
        QCOMPARE(rig.tool("Tools", "Copy").caption(), QStringLiteral("複製"));
    }

    void openSavedRuns()
    {
        Rig rig;
        const QString path = runFile(QStringLiteral("run.mdb"), 3);
        rig.click("Tools", "Save"); // no chart window to save: nothing asked
        rig.dialogs.fileAnswers << QString() << dir.filePath("none.mdb");
        rig.click("Tools", "Open"); // cancelled
        rig.click("Main_file", "Open");
        QCOMPARE(rig.dialogs.asked.size(), 3);
        const auto asked = [](const ScriptedDialogs::Asked &a) {
            return QStringList({ a.kind, a.text, a.title, QtDialogs::qtFilter(a.title), a.suffix });
        };
        const QString filter
            = "Chart Database(*.mdb)|*.mdb|Comparison(*.chargemon-compare)|*.chargemon-compare";
        QCOMPARE(
            asked(rig.dialogs.asked[0]),
            QStringList({ "open", saveFolder(), filter,
                          "Chart Database (*.mdb);;Comparison (*.chargemon-compare)", "mdb" }));
        QCOMPARE(rig.dialogs.asked.last().text, QStringLiteral("File not found."));
        QVERIFY(rig.documents().isEmpty());
        rig.open(path);
        rig.open(path);
        const QList<tee *> docs = rig.documents();
        QVERIFY(docs.size() == 2 && docs[1]->caption() == path);
        QCOMPARE(docs[1]->run().samples().text(2, Time), QStringLiteral("00:00:03"));
        QVERIFY(!docs[1]->chart().redrawSuspended() && !rig.window.DocOpen());
        QCOMPARE(
            docs[1]->chart().latestReading(), // the last row's, as it holds them
            "Voltage(V) 16.80, Current(A) 2.00, Capacity(mAh) 2, External temperature(℃) 25.00");
        QCOMPARE(rig.status().last(), "10:00:00  " + path + " was open in chart .");
        QCOMPARE(rig.dialogs.fileName(), QString());
        rig.click("Tools", "Save"); // cancelled
        QCOMPARE(asked(rig.dialogs.asked.last()),
                 QStringList({ "save", saveFolder(), "DataBase(*.mdb)|*.mdb|All files(*.*)|*.*",
                               "DataBase (*.mdb);;All files (*)", "mdb" }));
    }

    // File > Import…: the columns asked once a header, as guessed; the user's map is kept.
    void importLogs()
    {
        Rig rig;
        const auto gone = qScopeGuard([] { // the runs go from the save folder however it ends
            for (const QString &run : QDir(saveFolder()).entryList({ "[abc]-*.mdb" }))
                QFile::remove(QDir(saveFolder()).filePath(run));
            QDir().rmdir(saveFolder());
        });
        QStringList logs;
        for (const char *name : { "a.csv", "b.csv", "c.csv" }) {
            logs << dir.filePath(name);
            writeFile(logs.last(),
                      "Time,Volts,Amps,Probe\n0,7.40,1.5,21\n1,7.45,1.5," + QByteArray(name));
        }
        const auto import = [&rig](const QString &files, const QString &map) {
            rig.dialogs.asked.clear();
            rig.dialogs.fileAnswers << files;
            rig.dialogs.inputAnswers << map;
            rig.click("Main_file", "Import");
        };
        const auto &asked = rig.dialogs.asked;
        const QString map = "time (s)|voltage (V)|current (A)|temperature (°C)";
        import(logs[0] + '|' + logs[1], map);
        QTRY_COMPARE(asked.last().kind, "message");
        QCOMPARE(asked.size(), 3);
        QCOMPARE(asked[1].defaultText, "time (s)|voltage (V)|current (A)|(not imported)");
        QVERIFY(asked[2].text.startsWith("2 imported, 0 imported before, 0 not imported."));
        import(logs[2] + '|' + logs[0], map);
        QTRY_COMPARE(asked.last().kind, "message");
        QCOMPARE(asked[1].defaultText, map);
        QVERIFY(asked[2].text.startsWith("1 imported, 1 imported before, 0 not imported."));
    }

    // Files named on the command line open as Open opens them, one after another.
    void openFilesInTurn()
    {
        Rig rig;
        const QString a = runFile("a.mdb", 2), b = runFile("b.mdb", 2), bad = dir.filePath("bad");
        writeFile(bad, "not a run");
        rig.window.openFiles({ a, dir.filePath("none.mdb"), bad, b });
        QTRY_COMPARE_WITH_TIMEOUT(rig.documents().size(), 2, 20000);
        QCOMPARE(QStringList({ rig.documents()[0]->caption(), rig.documents()[1]->caption() }),
                 QStringList({ a, b }));
        QStringList asked;
        for (const ScriptedDialogs::Asked &q : std::as_const(rig.dialogs.asked))
            asked << q.title;
        QCOMPARE(asked, QStringList({ "Notice.", "An Error." }));
    }

    // The book from the File menu, wholly inside a small area as chart windows are: a folder
    // added, its pack listed, a run opened from it, the window in the language of the rest.
    // A word for the cells is refused; Move to pack offers the other packs.
    void batteryBook()
    {
        Rig rig;
        QTemporaryDir runs;
        RunFile::write(runs.filePath("a.mdb"), QStringLiteral("Pack  A "), 3, rowText);
        RunFile::write(runs.filePath("b.mdb"), QStringLiteral("Pack B"), 3, rowText);
        rig.window.show();
        rig.window.resize(700, 420);
        rig.click("Main_file", "Book");
        QApplication::processEvents();
        auto *book = rig.window.findChild<BookWindow *>();
        QVERIFY(book && rig.area().activeSubWindow() == book);
        QVERIFY(rig.area().viewport()->rect().contains(book->geometry()));
        const auto press = [book](const QString &text) {
            for (auto *button : book->findChildren<QPushButton *>())
                if (button->text() == text)
                    button->click();
        };
        rig.dialogs.fileAnswers << runs.path();
        press("Add folder…");
        QTRY_VERIFY(std::any_of(book->packs().begin(), book->packs().end(),
                                [](const PackFigures &p) { return p.name == "Pack A"; }));
        auto *packs = book->findChild<QTableView *>("packs");
        const auto found = packs->model()->match(packs->model()->index(0, 1), Qt::DisplayRole,
                                                 "Pack A", -1, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        packs->selectRow(found[0].row());
        auto *runTable = book->findChild<QTableView *>("runs");
        QCOMPARE(runTable->model()->rowCount(), 1);
        const auto menuItem = [](QTableView *table, const QKeySequence &keys) { // as users pick
            QTimer::singleShot(
                0, [keys] { QTest::keySequence(QApplication::activePopupWidget(), keys); });
            emit table->customContextMenuRequested({});
        };
        // The limits kept by the book and offered again; one out of range changes nothing.
        rig.dialogs.inputAnswers = { "70|150|30", "96||", std::nullopt };
        for (int i = 0; i < 3; ++i)
            press("Limits…");
        QVERIFY(rig.dialogs.asked[rig.dialogs.asked.size() - 2].text.contains("\"96\", \"\""));
        QCOMPARE(rig.dialogs.asked.last().defaultText, "70|150|30");
        rig.dialogs.inputAnswers = { "2200", "abc", std::nullopt };
        menuItem(packs, QKeySequence(Qt::Key_Down, Qt::Key_Down, Qt::Key_Return));
        QVERIFY(rig.dialogs.asked.last().text.contains("\"abc\""));
        QVERIFY(!book->packs()[found[0].row()].ratedMah);
        runTable->selectRow(0);
        menuItem(runTable, QKeySequence(Qt::Key_Down, Qt::Key_Return));
        QCOMPARE(rig.dialogs.asked.last().defaultText, "Pack B");
        for (auto *chart : book->findChildren<TrendChart *>()) // no points: bare axes, no 1970
            QVERIFY(chart->plot()->graphCount() > 1 || !chart->plot()->xAxis->ticks());
        emit runTable->doubleClicked(runTable->model()->index(0, 0));
        QTRY_COMPARE(rig.documents().size(), 2); // the book and the run's chart window
        QCOMPARE(rig.documents()[1]->caption(), runs.filePath("a.mdb"));
        rig.click("Lang", "Cht");
        QTRY_COMPARE(book->windowTitle(), "電池簿");
    }

    // A file the reader (test_run_file) or the chart window refuses: "An Error." soon, no window
    // left behind, and the name offered again.
    void damagedRunFiles_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("endless view")
            << "drop table CHGLOG; create view CHGLOG as with recursive r(n) as (select 1 union "
               "all select n + 1 from r) select n / 86400.0, 'NiMH', '+CHG+', 25, 0, 12, 7.2, 1, "
               "n, 7.2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1 from r";
        QTest::newRow("Null voltage") << "update CHGLOG set Bat_volt = NULL where Cap = 2";
        QTest::newRow("FIFO") << "fifo"; // SQLite's open() of it would wait for a writer
    }
    void damagedRunFiles()
    {
        QFETCH(QString, sql);
        const QString path
            = runFile(QStringLiteral("damaged %1.mdb").arg(QTest::currentDataTag()), 4);
        if (sql == "fifo")
            QVERIFY(QFile::remove(path) && ::mkfifo(QFile::encodeName(path), 0600) == 0);
        else
            runSql(path, sql.split("; "));
        Rig rig;
        QElapsedTimer took;
        took.start();
        qint64 tookToMessage = -1;
        bool progressMeanwhile = false;
        rig.dialogs.whileShown = [&] { // the box stands past the time a progress would show
            tookToMessage = took.elapsed();
            QTest::qWait(Progress::ShowAfterMs + 200);
            progressMeanwhile = shownProgress(rig.window);
        };
        rig.open(path);
        QVERIFY2(tookToMessage < 1000, qPrintable(QString::number(tookToMessage)));
        QVERIFY(!progressMeanwhile && !rig.window.findChild<QProgressDialog *>());
        QCOMPARE(rig.dialogs.fileName(), path); // the next open offers the same file
        QCOMPARE(rig.dialogs.asked.last().title + rig.dialogs.asked.last().text,
                 "An Error.An error has occurrenced,Make sure your file: \r\n" + path
                     + "\r\nwas created by this program.");
        QVERIFY(rig.documents().isEmpty() && !rig.window.DocOpen());
    }

    // The bar is busy until the rows are counted (here: while another program holds the file),
    // then counts them; Cancel leaves nothing behind. Quitting while the read is stuck in the
    // file does not wait for it.
    void cancelOrQuitInTheMiddle()
    {
        const QString path = largeFile(1'000'000); // seconds to open on any machine
        // Held locked for writing, as another program may, so that no read of it gets on.
        auto lock = std::make_optional(QSqlDatabase::addDatabase("QSQLITE", "lock"));
        lock->setDatabaseName(path);
        QVERIFY(lock->open() && QSqlQuery(*lock).exec("begin exclusive"));
        Rig rig;
        auto quitting = std::make_unique<Rig>();
        for (Rig *r : { &rig, quitting.get() }) {
            r->dialogs.fileAnswers << path;
            r->click("Main_file", "Open");
            r->click("Main_file", "Open"); // shows the progress now
        }
        QVERIFY(shownProgress(quitting->window));
        QElapsedTimer took;
        took.start();
        quitting.reset();
        QVERIFY2(took.elapsed() < 1000, qPrintable(QString::number(took.elapsed())));
        QProgressDialog *progress = shownProgress(rig.window);
        QVERIFY(progress);
        auto *bar = progress->findChild<QProgressBar *>();
        QCOMPARE(bar->maximum(), 0);
        lock.reset();
        QSqlDatabase::removeDatabase("lock");
        QTRY_COMPARE(bar->maximum(), 1'000'001);
        QVERIFY(rig.window.DocOpen());
        progress->findChild<QPushButton *>()->click();
        QTRY_VERIFY(!rig.window.findChild<OpenInProgress *>());
        QVERIFY(rig.documents().isEmpty() && !rig.window.DocOpen());
        QCOMPARE(rig.dialogs.asked.size(), 1); // the open dialog only: no message
        QVERIFY(!rig.status().join('\n').contains("was open in chart"));
    }

    // The timers go on while a long run opens, so the live run loses nothing.
    void liveRunGoesOnWhileARunOpens()
    {
        const QString large = largeFile();
        Rig rig { QString() }; // no journals: their writes would take from the loop's time
        int pushes = 0, whileOpening = 0;
        QTimer pusher;
        connect(&pusher, &QTimer::timeout, [&] {
            whileOpening += rig.window.findChild<OpenInProgress *>() != nullptr;
            rig.feed(1, ++pushes);
        });
        rig.feed(1, 0); // the live window first
        pusher.start(10);
        rig.open(large);
        pusher.stop();
        // Read on this thread, these rows would hold it for most of a second: no turn of the
        // loop, so no push, until they were in. Counted in turns, not in time, that a busy
        // machine stretches.
        QVERIFY2(whileOpening >= 10, qPrintable(QString::number(whileOpening)));
        auto *live = dynamic_cast<tee *>(rig.window.Newdoc());
        tee *opened = rig.documents().last();
        QVERIFY(live && live->isLive() && opened->caption() == large);
        QCOMPARE(live->RtnGridRows(), pushes + 1); // a row for every sample but the first
        QCOMPARE(opened->RtnGridRows(), 200'002);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
