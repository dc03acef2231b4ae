// The real logger against the simulator on a pseudo-terminal: runs that end, a pulled adapter,
// stop signals, a kill and a folder it cannot write; every sample it printed is in its files.

#include "run/run_file.h"
#include "support/readings.h"

#include <QProcess>
#include <QtTest>

#include <csignal>

namespace {
// A simulator on a link in `home`, and loggers in the same home saving to `out`.
struct Session {
    QTemporaryDir home;
    QString link = home.filePath("tty"), out = home.filePath("out");
    QString journals = home.filePath("data/chargemon/journal/logger");
    QProcess sim, logger;
    QString said; // by every logger of the session

    ~Session()
    {
        for (QProcess *p : { &logger, &sim }) {
            p->kill();
            p->waitForFinished();
        }
    }
    static QString build() { return QCoreApplication::applicationDirPath() + "/.."; }
    bool startSim(const QStringList &args = {})
    {
        sim.start(build() + "/tools/charger-sim/charger-sim",
                  QStringList { "--link", link, "--speed", "2" } + args);
        return sim.waitForReadyRead(10000) && sim.readLine().startsWith("/dev/");
    }
    void startLogger()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *var : { "HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME" })
            env.insert(var, home.filePath(var == QLatin1String("HOME") ? "" : "data"));
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"); // no desktop here
        logger.setProcessEnvironment(env);
        logger.start(build() + "/tools/chargemon-logger/chargemon-logger",
                     { "--port", link, "--dir", out, "--title", "pack A", "--verbose" });
    }
    // Waits until the loggers have said `text` `times` times in all.
    bool waitFor(const QString &text, int times)
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
    void stops_data()
    {
        QTest::addColumn<QString>("how"); // what happens while both channels record
        QTest::addColumn<bool>("writable");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("saved"); // the files' names from the channel on, in order
        QTest::newRow("SIGTERM") << "" << true << 0 << "CH1 CH2";
        QTest::newRow("runs end, adapter pulled and back, SIGINT")
            << "pull" << true << 0 << "CH1 CH2 CH1 CH2 CH1 CH2";
        QTest::newRow("SIGKILL, restarted")
            << "kill" << true << -1 << "CH1 (recovered) CH2 (recovered)";
        QTest::newRow("folder not writable") << "" << false << 1 << "";
    }
    void stops()
    {
        QFETCH(QString, how);
        QFETCH(bool, writable);
        Session s;
        if (!writable) { // a folder below a file: not even root makes it
            QFile file(s.out);
            QVERIFY(file.open(QIODevice::WriteOnly));
            s.out += "/runs";
        }
        if (!s.startSim(how == "pull" ? QStringList { "--reset-at", "8" } : QStringList()))
            QSKIP("no pseudo-terminals here");
        s.startLogger();
        const QString recording = "Communication connected";
        QVERIFY2(s.waitFor(recording, 2), qPrintable(s.said));
        if (how == "pull") { // the runs end by themselves, then with the adapter
            QVERIFY2(s.waitFor(recording, 4), qPrintable(s.said));
            s.sim.terminate();
            QVERIFY(s.sim.waitForFinished());
            QVERIFY2(s.waitFor("saved to", 4) && s.said.count("link lost") == 1,
                     qPrintable(s.said));
            QVERIFY(s.startSim());
            QVERIFY2(s.waitFor(" connected\n", 2) && s.waitFor(recording, 6), qPrintable(s.said));
        }
        QTest::qWait(1500); // a sample more in each run
        QTEST(s.stop(how == "kill" ? SIGKILL : how == "pull" ? SIGINT : SIGTERM), "status");
        QCOMPARE(QDir(s.journals).entryList({ "*.journal" }).size(),
                 writable && how != "kill" ? 0 : 2);
        if (how == "kill") {
            s.startLogger();
            QVERIFY2(s.waitFor("recovered", 2), qPrintable(s.said));
            QCOMPARE(s.stop(SIGTERM), 0);
            QCOMPARE(QDir(s.journals).entryList({ "*.journal" }), QStringList());
        }

        // Named after their start; together, each channel's files hold the samples printed.
        QStringList names, printed[2], rows[2];
        for (const QString &name : QDir(s.out).entryList(QDir::Files, QDir::Name)) {
            QVERIFY2(QRegularExpression(R"(^\d{4}-\d\d-\d\d_\d{6}_CH[12]( \(recovered\))?\.mdb$)")
                         .match(name)
                         .hasMatch(),
                     qPrintable(name));
            names << name.mid(18).chopped(4);
            RunFile::Reader reader;
            QVERIFY(reader.open(s.out + '/' + name));
            QCOMPARE(reader.title(), "pack A");
            for (ChannelReading r; reader.next(r);)
                rows[name[20] == '2'] << texts(r).join(' ');
        }
        QTEST(names.join(' '), "saved");
        const QRegularExpression sample(R"(^\S+ \S+ CH([12]): (\d\d:\d\d:\d\d .*)$)");
        for (const QString &line : s.said.split('\n'))
            if (const auto m = sample.match(line); m.hasMatch())
                printed[m.captured(1) == "2"] << m.captured(2);
        QCOMPARE(rows[0], writable ? printed[0] : QStringList());
        QCOMPARE(rows[1], writable ? printed[1] : QStringList());
    }
};

QTEST_GUILESS_MAIN(TestLogger)
#include "test_logger.moc"
