// The real logger against the simulator on a pseudo-terminal: runs that end, a silent line, stop
// signals, a kill and a folder it cannot write; every sample it printed is in its files.

#include "support/logger_session.h"
#include "support/private_broker.h"

class TestLogger : public QObject {
    Q_OBJECT

private slots:
    void stops_data()
    {
        QTest::addColumn<QString>("how"); // what happens while both channels record
        QTest::addColumn<bool>("writable");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("saved"); // the files' names from the channel on, in order
        QTest::newRow("runs end, link lost and back, SIGINT")
            << "pull" << true << 0 << "CH1 CH2 CH1 CH2";
        QTest::newRow("SIGKILL, restarted")
            << "kill" << true << -1 << "CH1 (recovered) CH2 (recovered)";
        QTest::newRow("folder not writable") << "" << false << 1 << "";
    }
    void stops()
    {
        QFETCH(QString, how);
        QFETCH(bool, writable);
        LoggerSession s;
        if (!s.startSim(how == "pull" ? QStringList { "--reset-at", "8", "--pause-at", "12" }
                                      : QStringList()))
            QSKIP("no pseudo-terminals here");
        s.startLogger();
        const QString recording = "Communication connected";
        QVERIFY2(s.waitFor(recording, 2), qPrintable(s.said));
        if (!writable) // a file where the folder was: not even root writes in it
            QVERIFY(QDir(s.out).removeRecursively() && QFile(s.out).open(QIODevice::WriteOnly));
        // The runs end by themselves, then the line falls silent: the runs go on once it is back.
        if (how == "pull")
            QVERIFY2(s.waitFor(recording, 4) && s.waitFor("link lost", 1)
                         && s.waitFor(" connected\n", 2),
                     qPrintable(s.said));
        QTest::qWait(1500); // a sample more in each run
        QTEST(s.stop(how == "kill" ? SIGKILL : how == "pull" ? SIGINT : SIGTERM), "status");
        QCOMPARE(QDir(s.journals).entryList({ "*.journal" }).size(),
                 writable && how != "kill" ? 0 : 2);
        QString published; // the restarted logger's states of channel 1
        if (how == "kill") {
            // No new runs while the states are read: the link goes too, since another test's
            // simulator may be given the same terminal.
            s.sim.kill();
            s.sim.waitForFinished();
            QFile::remove(s.link);
            Broker broker;
            QVERIFY(broker.start(false));
            QProcess *states = broker.subscribe(false, 4, "chargemon/pit/ch1/run");
            s.startLogger(
                { "--mqtt", QString("127.0.0.1:%1").arg(broker.port), "--station", "pit" });
            QVERIFY2(s.waitFor("recovered", 2), qPrintable(s.said));
            published = states->waitForFinished(8000) ? states->readAll() : "";
            QCOMPARE(s.stop(SIGTERM), 0);
            QCOMPARE(QDir(s.journals).entryList({ "*.journal" }), QStringList());
        }

        // Named after their start; together, each channel's files hold the samples printed.
        QStringList names;
        std::array<QList<QStringList>, 2> rows;
        for (const QString &name : QDir(s.out).entryList(QDir::Files, QDir::Name)) {
            QVERIFY2(QRegularExpression(R"(^\d{4}-\d\d-\d\d_\d{6}_CH[12]( \(recovered\))?\.mdb$)")
                         .match(name)
                         .hasMatch(),
                     qPrintable(name));
            names << name.mid(18).chopped(4);
            RunFile::Reader reader;
            QVERIFY(reader.open(s.out + '/' + name));
            QCOMPARE(reader.title(), "pack A");
            rows[name[20] == '2'] << s.rowsOf(name);
        }
        QTEST(names.join(' '), "saved");
        // The recovered run ended as the logger stopped, with its figures and its file.
        const QRegularExpression recovered(
            QString("\"activity\":\"stopped\",.*\"samples\":%1,.*_CH1 \\(recovered\\)\\.mdb\"")
                .arg(rows[0].size()));
        QVERIFY2(how != "kill" || published.contains(recovered), qPrintable(published));
        QCOMPARE(rows, writable ? s.printed() : decltype(rows) {});
    }

    // Told at the start, from where it was given, and nothing recorded.
    void refused_data()
    {
        QTest::addColumn<QString>("line"); // of the configuration file
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("said");
        QTest::newRow("no option") << "nope = 1" << QStringList() << "logger.conf:6: nope is not";
        QTest::newRow("flag") << "verbose = yes" << QStringList() << "logger.conf:6: verbose takes";
        QTest::newRow("broker") << "mqtt = pit:x" << QStringList() << "logger.conf:6: \"pit:x\"";
        QTest::newRow("folder") << "" << QStringList { "--dir", "HOME/file/runs" } << "--dir: the";
        QTest::newRow("password file")
            << "" << QStringList { "--mqtt-password-file", "HOME/none" } << "none cannot be read";
    }
    void refused()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, args);
        LoggerSession s;
        QVERIFY(QFile(s.home.filePath("file")).open(QIODevice::WriteOnly));
        s.startLogger(args.replaceInStrings("HOME", s.home.path()), "# a comment\n\n" + line);
        QVERIFY(s.logger.waitForFinished(10000));
        s.said = s.logger.readAll();
        QCOMPARE(s.logger.exitCode(), 2);
        QFETCH(QString, said);
        QVERIFY2(s.said.contains(said) && !s.said.contains("searching"), qPrintable(s.said));
    }
};

QTEST_GUILESS_MAIN(TestLogger)
#include "test_logger.moc"
