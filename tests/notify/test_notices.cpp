#include "notify/run_notices.h"
#include "platform/core/notifier.h"
#include "platform/core/settings.h"
#include "run/live_runs.h"
#include "support/fake_clock.h"
#include "support/readings.h"

#include <QDBusConnection>
#include <QProcess>
#include <QtTest>

namespace {
// Keeps what it is told; says it reached nobody while `away`.
struct FakeNotifier final : Notifier {
    QStringList told;
    bool away = false;
    void notify(const QString &text) override
    {
        if (away)
            emit undelivered(text, "gone");
        else
            told << text;
    }
};

// The desktop's notification service, as far as a program calls it.
class FakeNotifications final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList calls; // app, icon, summary, body and the sound, a line each call
public slots:
    uint Notify(const QString &app, uint, const QString &icon, const QString &summary,
                const QString &body, const QStringList &, const QVariantMap &hints, int)
    {
        calls << QStringList { app, icon, summary, body, hints.value("sound-name").toString() }
                     .join('|');
        return uint(calls.size());
    }
};

// The runs of a charger, told of by RunNotices, with settings as `keys` give them.
struct Rig {
    QTemporaryDir dir;
    FakeClock clock;
    LiveRuns runs { clock, {} };
    FakeNotifier notifier;
    Settings settings { dir.filePath("chargemon.ini") };
    std::unique_ptr<RunNotices> notices;
    QStringList lines;

    explicit Rig(const QHash<const char *, QString> &keys = {})
    {
        for (auto k = keys.begin(); k != keys.end(); ++k)
            settings.setValue(k.key(), k.value());
        notices = std::make_unique<RunNotices>(runs, notifier, settings);
        QObject::connect(notices.get(), &RunNotices::message,
                         [this](const QString &l) { lines << l; });
    }
    // Channel 1 for `seconds` more seconds at `amps`, with `cells` (volts) and `temp` °C.
    void feed(int seconds, double amps, const QString &cells = "4.20 4.20", int temp = 25)
    {
        for (int s = 0; s < seconds; ++s) {
            ChannelReading r = reading(++capacity, 0, Fixed::fromDouble(amps));
            r[Ext_temp] = temp;
            const QStringList volts = cells.split(' ');
            for (int c = 0; c < volts.size(); ++c)
                r[C1 + c] = *Fixed::parse(volts[c]);
            runs.Reading_Proc(1, r);
            clock.advanceSeconds(1);
        }
    }
    qint64 capacity = 0;
};
} // namespace

class TestNotices : public QObject {
    Q_OBJECT

private slots:
    // An hour of a run ended by the charger, and how its cells stand at the end.
    void runEnded_data()
    {
        QTest::addColumn<double>("firstAmps");
        QTest::addColumn<double>("thenAmps"); // for the second half hour
        QTest::addColumn<QString>("lastCells");
        QTest::addColumn<QStringList>("told");
        const QString charged = "CH1: charge complete: 2,150 mAh in 1:00:00";
        QTest::newRow("charge") << 2.15 << 2.15 << "4.20 4.20" << QStringList { charged };
        QTest::newRow("discharge")
            << -2.15 << -2.15 << "4.20 4.13"
            << QStringList { "CH1: discharge complete: 2,150 mAh in 1:00:00" };
        QTest::newRow("cycle") << 2.15 << -2.15 << "4.20 4.20"
                               << QStringList { "CH1: cycle complete: 1,074 mAh in 1:00:00" };
        QTest::newRow("cells apart")
            << 2.15 << 2.15 << "4.20 4.13"
            << QStringList { charged, "CH1: the cells ended the charge 0.07 V apart" };
        QTest::newRow("cells at the limit")
            << 2.15 << 2.15 << "4.20 4.15" << QStringList { charged };
    }
    void runEnded()
    {
        QFETCH(double, firstAmps);
        QFETCH(double, thenAmps);
        QFETCH(QString, lastCells);
        Rig rig;
        rig.feed(
            1802, firstAmps,
            "4.20 4.10"); // the first sample starts the run; cells apart on the way do not count
        rig.feed(1799, thenAmps);
        rig.feed(1, thenAmps, lastCells);
        rig.runs.EndLiveDoc(1);
        QTEST(rig.notifier.told, "told");
    }

    // Told once a run at the limit, again only after the pack cooled 5 °C below it.
    void hotPack_data()
    {
        QTest::addColumn<QString>("limit");
        QTest::addColumn<QList<int>>("temps"); // 0: a new run begins
        QTest::addColumn<QStringList>("told");
        const QString hot = "CH1: pack temperature %1 °C, at or above the limit of %2 °C";
        QTest::newRow("default limit") << "" << QList<int> { 49, 50, 52, 46, 45, 51 }
                                       << QStringList { hot.arg(50).arg(50), hot.arg(51).arg(50) };
        QTest::newRow("not cooled enough")
            << "40" << QList<int> { 41, 36, 40 } << QStringList { hot.arg(41).arg(40) };
        QTest::newRow("once a run") << "" << QList<int> { 55, 0, 55 }
                                    << QStringList { hot.arg(55).arg(50), hot.arg(55).arg(50) };
    }
    void hotPack()
    {
        QFETCH(QString, limit);
        QFETCH(QList<int>, temps);
        Rig rig({ { SettingsKeys::NoticeTempLimit, limit } });
        for (int t : temps) {
            if (t == 0) {
                rig.runs.EndLiveDoc(1);
                rig.capacity = 0;
            } else
                rig.feed(2, 2, "4.20 4.20", t);
        }
        rig.notifier.told.removeIf([](const QString &t) { return t.contains("complete"); });
        QTEST(rig.notifier.told, "told");
    }

    // The link lost with a run live; the notices switched off; no service to tell them.
    void lostOffAndUndelivered()
    {
        Rig rig;
        rig.runs.setLamp(LinkHost::Lamp::Connection, false); // nothing live: nothing to tell
        rig.feed(3, 2);
        rig.runs.setLamp(LinkHost::Lamp::Connection, false);
        QCOMPARE(rig.notifier.told, QStringList { "CH1: the charger was lost during the run." });

        Rig off({ { SettingsKeys::NoticesOn, "0" } });
        off.feed(3, 2, "4.20 4.20", 60);
        off.runs.EndLiveDoc(1);
        QCOMPARE(off.notifier.told, QStringList());

        Rig away;
        away.notifier.away = true;
        away.feed(3, 2, "4.20 4.20", 60);
        away.runs.EndLiveDoc(1);
        QCOMPARE(away.lines,
                 QStringList({ "No desktop notification service was found (gone).",
                               "CH1: pack temperature 60 °C, at or above the limit of 50 °C",
                               "CH1: charge complete: 1 mAh in 0:00:01" }));
    }

    // The real notifier on a private session bus: a fake service hears the text, the icon and
    // the sound; without the service, the text comes back.
    void desktopService()
    {
        QProcess bus;
        bus.start("dbus-daemon", { "--session", "--nofork", "--print-address" });
        if (!bus.waitForReadyRead(5000))
            QSKIP("no dbus-daemon here");
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus.readLine().trimmed());
        QDBusConnection service = QDBusConnection::connectToBus(
            QString::fromLocal8Bit(qgetenv("DBUS_SESSION_BUS_ADDRESS")), "service");
        FakeNotifications fake;
        QVERIFY(service.registerObject("/org/freedesktop/Notifications", &fake,
                                       QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService("org.freedesktop.Notifications"));

        DBusNotifier notifier("chargemon", "io.example.icon");
        QStringList undelivered;
        connect(&notifier, &Notifier::undelivered, this,
                [&](const QString &text) { undelivered << text; });
        notifier.notify("CH1: charge complete");
        QTRY_COMPARE(
            fake.calls,
            QStringList { "chargemon|io.example.icon|chargemon|CH1: charge complete|complete" });
        service.unregisterService("org.freedesktop.Notifications");
        notifier.notify("CH2: charge complete");
        QTRY_COMPARE(undelivered, QStringList { "CH2: charge complete" });
        QCOMPARE(fake.calls.size(), 1);
        QDBusConnection::disconnectFromBus("service");
        bus.kill();
        bus.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestNotices)
#include "test_notices.moc"
