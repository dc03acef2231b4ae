#include "platform/qt_command_bar.h"
#include "platform/settings.h"
#include "setup/about.h"
#include "setup/adform.h"
#include "setup/config.h"
#include "setup/guid.h"
#include "setup/splash.h"
#include "support/fake_clock.h"
#include "support/scripted_dialogs.h"

#include <QLabel>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QThread>
#include <QtTest>

class TestSidePanes : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    InterfaceTextStore store { InterfaceTextStore::builtInPath(), folder.path() };
    // A store that cannot be read: every value at its default.
    InterfaceTextStore missing { folder.filePath(QStringLiteral("missing.db")), folder.path() };

private slots:
    void paneFoldsAndHoldsItsWidth()
    {
        const int width = Config(store).AdWidth() / 15;
        QVERIFY(width > 8);
        QMainWindow window;
        FakeClock clock;
        QtCommandBar bar(&window, nullptr, {}, clock);
        ScriptedDialogs dialogs;
        auto *pane = new adform(store, dialogs);
        pane->DockYourselfTo(bar, true, 2, 6, 0);
        window.resize(1000, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(pane->width(), width);
        QCOMPARE(pane->Image1->x(), width - 8);

        // A drag on the pane's edge does not change it.
        window.resizeDocks({ pane->band() }, { width + 150 }, Qt::Horizontal);
        QTRY_COMPARE(pane->width(), width);

        QTest::mouseClick(pane->Image1, Qt::LeftButton);
        QVERIFY(pane->folded());
        QTRY_COMPARE(pane->width(), 8);
        QVERIFY(!pane->Web->isVisible());
        QTest::mouseClick(pane->Image1, Qt::LeftButton);
        QTRY_COMPARE(pane->width(), width);
        QVERIFY(pane->Web->isVisible());
    }

    void aboutTextInTheStoredLanguage_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("chinese");
        QTest::newRow("CHT") << "CHT" << true;
        QTest::newRow("spaces") << " CHT " << true;
        QTest::newRow("lower case") << "cht" << false;
    }

    void aboutTextInTheStoredLanguage()
    {
        QFETCH(QString, stored);
        QFETCH(bool, chinese);
        Settings settings(folder.filePath(QStringLiteral("about.ini")));
        QVERIFY(settings.setValue(SettingsKeys::Lang, stored));
        const Config config(store);
        QVERIFY(config.AboutCHT() != config.AboutEN());
        About about(store, settings);
        QCOMPARE(about.Text1->text(), chinese ? config.AboutCHT() : config.AboutEN());
        about.show();
        QTest::mouseClick(about.Text1, Qt::LeftButton);
        QVERIFY(!about.isVisible());
    }

    void guideOnlyWithAPage() { QVERIFY(Guid(store).hasPage() && !Guid(missing).hasPage()); }

    void splashCentredAboveTheMiddle()
    {
        // (24000 - 8235) / 2 = 7882 twips, 525.5 pixels; (15000 - 5250) / 2 - 500 = 4375.
        QCOMPARE(frmSplash::Center(QRect(0, 0, 1600, 1000), frmSplash::area), QPoint(525, 292));
        QCOMPARE(frmSplash::Center(QRect(1600, 0, 1600, 1000), frmSplash::area), QPoint(2125, 292));
        // Smaller than the splash: (6000 - 8235) / 2 = -1117 twips; (4500 - 5250) / 2 - 500.
        QCOMPARE(frmSplash::Center(QRect(0, 0, 400, 300), frmSplash::area), QPoint(-74, -58));
    }

    void splashStaysWhileTheLoadIsSlow()
    {
        QVERIFY(!frmSplash(missing).isVisible()); // no picture, no window
        frmSplash splash(store);
        QVERIFY(splash.isVisible());
        QThread::msleep(2300); // a load that keeps the event loop busy past the two seconds
        QVERIFY(splash.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!splash.isVisible(), 500);
    }
};

QTEST_MAIN(TestSidePanes)
#include "test_side_panes.moc"
