#include "notify/run_notices.h"
#include "platform/core/notifier.h"
#include "platform/core/settings.h"
#include "run/live_runs.h"
#include "support/fake_clock.h"
#include "support/readings.h"

#include <QtDBus>
#include <QtTest>

namespace {
// The desktop's notification service, as far as a program calls it.
class FakeNotifications final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList bodies;
    QSet<QString> senders; // app, icon, summary and sound of each call
public slots:
    uint Notify(const QString &app, uint, const QString &icon, const QString &summary,
                const QString &body, const QStringList &, const QVariantMap &hints, int)
    {
        bodies << body;
        senders << QStringList { app, icon, summary, hints.value("sound-name").toString() }.join(
            '|');
        return uint(bodies.size());
    }
};
} // namespace

// The notices through the real notifier, to a fake service on a private session bus.
class TestNotices : public QObject {
    Q_OBJECT
    QProcess bus_;
    QDBusConnection service_ { "" };
    FakeNotifications fake_;

private slots:
    void initTestCase()
    {
        bus_.start("dbus-daemon", { "--session", "--nofork", "--print-address" });
        if (!bus_.waitForReadyRead(5000))
            QSKIP("no dbus-daemon here");
        const QByteArray address = bus_.readLine().trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        service_ = QDBusConnection::connectToBus(address, "service");
        QVERIFY(service_.registerObject("/org/freedesktop/Notifications", &fake_,
                                        QDBusConnection::ExportAllSlots));
    }
    void init() { QVERIFY(service_.registerService("org.freedesktop.Notifications")); }
    void cleanupTestCase() { bus_.kill(), bus_.waitForFinished(); }

    // Channel 1 follows a script: "N@A" N seconds at A amps, "t=T" the pack at T °C,
    // "cells=V/V" the cells, "end" the charger ends the run, "lost" the charger goes, "quiet"
    // 7 s without samples, "stop" the program stops recording, "gone" the service.
    // The charger counts a mAh a sample, whatever the current: the notices say its count.
    // Told: what the service shows, and "> " what the status line says instead.
    void told_data()
    {
        QTest::addColumn<QString>("settings"); // "key=value" in the [Notices] section
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("told");
        const QString charged = "CH1: charge complete: 3,602 mAh in 1:00:00";
        const QString hot = "CH1: pack temperature %1 °C, at or above the limit of %2 °C";
        // The first sample starts the run; cells apart on the way do not count.
        const QString hour = "cells=4.20/4.10 1802@%1 cells=4.20/4.20 1799@%2 cells=%3 1@%2 end";
        QTest::newRow("charge, cells at the limit")
            << "" << hour.arg(2.15).arg(2.15).arg("4.20/4.15") << QStringList { charged };
        QTest::newRow("discharge, cells apart")
            << "" << hour.arg(-2.15).arg(-2.15).arg("4.20/4.13")
            << QStringList { "CH1: discharge complete: 3,602 mAh in 1:00:00" };
        // 150 mAh out after 1,076 in: a tenth and more makes a cycle.
        QTest::newRow("cycle") << "" << hour.arg(2.15).arg(-0.3).arg("4.20/4.20")
                               << QStringList { "CH1: cycle complete: 3,602 mAh in 1:00:00" };
        QTest::newRow("charge, cells apart")
            << "" << hour.arg(2.15).arg(2.15).arg("4.20/4.13")
            << QStringList { charged, "CH1: the cells ended the charge 0.07 V apart" };
        QTest::newRow("hot, cooled 5 °C, hot")
            << ""
            << "t=49 2@2 t=50 2@2 t=52 2@2 t=46 2@2 t=45 2@2 t=51 2@2 lost"
            << QStringList { hot.arg(50).arg(50), hot.arg(51).arg(50),
                             "CH1: charger lost during the charge: 12 mAh in 0:00:10" };
        QTest::newRow("not cooled enough, own limit")
            << "TempLimit=40"
            << "t=41 2@2 t=36 2@2 t=40 2@2" << QStringList { hot.arg(41).arg(40) };
        QTest::newRow("once a run, lost between runs")
            << ""
            << "t=55 2@2 end lost 2@2 end"
            << QStringList { hot.arg(55).arg(50), "CH1: charge complete: 2 mAh in 0:00:00",
                             hot.arg(55).arg(50), "CH1: charge complete: 2 mAh in 0:00:00" };
        QTest::newRow("silence, stopped")
            << ""
            << "2@2 quiet 3@2 stop"
            << QStringList { "CH1: charge interrupted (the samples stopped or the capacity went "
                             "back): 2 mAh in 0:00:00",
                             "CH1: recording stopped during the charge: 5 mAh in 0:00:00" };
        QTest::newRow("off") << "On=0"
                             << "t=60 2@2 lost" << QStringList();
        QTest::newRow("no service: said once")
            << ""
            << "gone 2@2 lost 2@2 lost"
            << QStringList { "> No desktop notification service was found (…).",
                             "> CH1: charger lost during the charge: 2 mAh in 0:00:00",
                             "> CH1: charger lost during the charge: 4 mAh in 0:00:00" };
    }
    void told()
    {
        QFETCH(QString, settings);
        QFETCH(QString, script);
        QTemporaryDir dir;
        Settings stored(dir.filePath("chargemon.ini"));
        if (!settings.isEmpty())
            stored.setValue(qPrintable("Notices/" + settings.section('=', 0, 0)),
                            settings.section('=', 1));
        FakeClock clock;
        RunHub hub;
        LiveRuns runs(hub, clock, {});
        DBusNotifier notifier("chargemon", "io.example.icon");
        RunNotices notices(hub, notifier, stored);
        QStringList shown;
        connect(&notices, &RunNotices::message, this, [&](const QString &line) {
            shown << "> " + QString(line).replace(QRegularExpression("\\(.+\\)"), "(…)");
        });
        fake_.bodies.clear();
        int temp = 25;
        QString cells = "4.20/4.20";
        qint64 capacity = 0;
        for (const QString &step : script.split(' ')) {
            if (step == "end")
                capacity = 0, runs.EndLiveDoc(1);
            else if (step == "quiet")
                clock.advanceSeconds(7);
            else if (step == "stop")
                runs.stop();
            else if (step == "gone")
                service_.unregisterService("org.freedesktop.Notifications");
            else if (step == "lost") // as the port search has it, for good
                runs.setLamp(LinkHost::Lamp::Connection, false), runs.EndLiveDoc(1),
                    clock.advanceMs(LiveRuns::ReconnectWaitMs);
            else if (step.startsWith("t="))
                temp = step.mid(2).toInt();
            else if (step.startsWith("cells="))
                cells = step.mid(6);
            else
                for (int s = 0; s < step.section('@', 0, 0).toInt(); ++s) {
                    ChannelReading r = reading(++capacity, 0, *Fixed::parse(step.section('@', 1)));
                    r[Ext_temp] = temp;
                    r[C1] = *Fixed::parse(cells.section('/', 0, 0));
                    r[C1 + 1] = *Fixed::parse(cells.section('/', 1));
                    runs.Reading_Proc(1, r);
                    clock.advanceSeconds(1);
                }
        }
        QFETCH(QStringList, told);
        // Every call answered: the service has heard all it will.
        QTRY_VERIFY(notifier.findChildren<QDBusPendingCallWatcher *>().isEmpty());
        QCOMPARE(fake_.bodies + shown, told);
        QVERIFY(fake_.senders.size() <= 1);
        if (!fake_.bodies.isEmpty())
            QCOMPARE(*fake_.senders.begin(), "chargemon|io.example.icon|chargemon CH1|complete");
    }
};

QTEST_GUILESS_MAIN(TestNotices)
#include "test_notices.moc"
