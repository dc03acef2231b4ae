// The real logger against the simulator on a pseudo-terminal: runs saved by themselves, the
// charger lost and found again, stopped by a signal, killed, and a folder it cannot write.

#include "run/run_file.h"
#include "support/readings.h"

#include <QProcess>
#include <QtTest>

#include <csignal>

namespace {
QString build()
{
    return QCoreApplication::applicationDirPath() + "/..";
}

QStringList files(const QString &folder, const QString &pattern = "*")
{
    return QDir(folder).entryList({ pattern }, QDir::Files, QDir::Name);
}

// A simulator on a link in `home`, and a logger in the same home saving to `out`.
struct Session {
    QTemporaryDir home;
    QString link = home.filePath("tty");
    QString out = home.filePath("out");
    QString journals = home.filePath("data/chargemon/journal/logger");
    QProcess sim, logger;
    QString said;

    ~Session()
    {
        for (QProcess *p : { &logger, &sim }) {
            p->kill();
            p->waitForFinished();
        }
    }

    void startSim(const QStringList &args = { "--speed", "2" })
    {
        sim.start(build() + "/tools/charger-sim/charger-sim", QStringList { "--link", link } + args);
        QVERIFY(sim.waitForReadyRead(10000));
        if (!sim.readLine().startsWith("/dev/"))
            QSKIP("no pseudo-terminals here");
    }
    void startLogger(const QStringList &args = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"); // no desktop here
        logger.setProcessEnvironment(env);
        logger.start(build() + "/tools/chargemon-logger/chargemon-logger",
                     QStringList { "--port", link, "--dir", out } + args);
        QVERIFY(logger.waitForStarted());
    }
    // Waits until the logger has said `text` `times` times in all.
    bool waitFor(const QString &text, int times = 1)
    {
        QElapsedTimer waited;
        waited.start();
        while (said.count(text) < times && waited.elapsed() < 30000) {
            logger.waitForReadyRead(100);
            said += QString::fromUtf8(logger.readAllStandardOutput());
        }
        return said.count(text) >= times;
    }
    int stop(int signal)
    {
        ::kill(pid_t(logger.processId()), signal);
        logger.waitForFinished(20000);
        said += QString::fromUtf8(logger.readAllStandardOutput());
        return logger.exitStatus() == QProcess::NormalExit ? logger.exitCode() : -1;
    }
};
} // namespace

class TestLogger : public QObject {
    Q_OBJECT

private slots:
    // Runs end (the capacities start again), are saved under their names and description
    // with the samples the logger printed; a pulled adapter ends the next runs, and the
    // charger is found again when it comes back.
    void savesRunsByThemselves()
    {
        Session s;
        s.startSim({ "--speed", "2", "--reset-at", "8" });
        s.startLogger({ "--title", "pack A", "--verbose" });
        QVERIFY2(s.waitFor("saved to", 2), qPrintable(s.said));
        const QStringList saved = files(s.out);
        QCOMPARE(saved.size(), 2);
        for (const QString &name : saved) {
            QVERIFY2(
                QRegularExpression(R"(^\d{4}-\d\d-\d\d_\d{6}_CH[12]\.mdb$)").match(name).hasMatch(),
                qPrintable(name));
            RunFile::Reader reader;
            QVERIFY(reader.open(s.out + '/' + name));
            QCOMPARE(reader.title(), "pack A");
            QStringList rows, printed;
            for (ChannelReading r; reader.next(r);)
                rows << texts(r).join(' ');
            QCOMPARE(reader.error(), QString());
            const QString channel = name.mid(18, 3) + ": ";
            for (const QString &line : s.said.split('\n'))
                if (line.mid(20).startsWith(channel) && line.count(' ') > 20)
                    printed << line.mid(20 + channel.size());
            QVERIFY(rows.size() > 2);
            QCOMPARE(rows, printed.mid(0, rows.size()));
        }
        QVERIFY(s.waitFor("Communication connected", 4)); // the next runs
        s.sim.terminate(); // the adapter pulled: the runs end and are saved
        QVERIFY(s.sim.waitForFinished());
        QVERIFY2(s.waitFor("saved to", 4), qPrintable(s.said));
        QCOMPARE(s.said.count("link lost"), 1);
        s.startSim();
        QVERIFY2(s.waitFor("connected", 2), qPrintable(s.said));
        QCOMPARE(s.stop(SIGINT), 0);
    }

    // Stopped while both channels record: saved (or kept in journals for the next start).
    void stopsWhileLive_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("saved"); // what a second logger finds in the folder
        QTest::newRow("SIGTERM") << SIGTERM << true << 0 << "_CH1.mdb _CH2.mdb";
        QTest::newRow("SIGKILL, restarted")
            << SIGKILL << true << -1 << "_CH1 (recovered).mdb _CH2 (recovered).mdb";
        QTest::newRow("folder not writable") << SIGTERM << false << 1 << "";
    }
    void stopsWhileLive()
    {
        QFETCH(int, signal);
        QFETCH(bool, writable);
        Session s;
        if (!writable) { // a folder below a file: not even root makes it
            QFile file(s.out);
            QVERIFY(file.open(QIODevice::WriteOnly));
            s.out += "/runs";
        }
        s.startSim();
        s.startLogger();
        QVERIFY2(s.waitFor("Communication connected", 2), qPrintable(s.said));
        QVERIFY(s.waitFor("Communication connected", 2));
        QTest::qWait(1500); // a sample more in each run
        QTEST(s.stop(signal), "status");
        s.sim.kill();
        s.sim.waitForFinished();
        QCOMPARE(files(s.journals, "*.journal").size(), signal == SIGTERM && writable ? 0 : 2);
        if (signal == SIGKILL) {
            s.said.clear();
            s.startLogger();
            QVERIFY2(s.waitFor("recovered", 2), qPrintable(s.said));
            QCOMPARE(s.stop(SIGTERM), 0);
            QCOMPARE(files(s.journals, "*.journal"), QStringList());
        }
        QStringList endings;
        for (const QString &name : files(s.out))
            endings << name.mid(17);
        QTEST(endings.join(' '), "saved");
    }
};

QTEST_GUILESS_MAIN(TestLogger)
#include "test_logger.moc"
