// The real program on a pseudo-terminal the simulator writes to: chargemon finds it through
// CHARGEMON_PORTS and records runs; its status line, copied to standard error, tells what it did.
// Killed, it leaves its runs to the next start, in journals whose locks died with it.

#include "support/window_rig.h"

#include <QProcess>
#include <QtTest>

class TestProgram : public QObject {
    Q_OBJECT
private slots:
    void findsTheChargerAndRecordsRuns()
    {
        const QString build = QCoreApplication::applicationDirPath() + "/..";
        QProcess sim;
        // Two frames a second; at frame 12 both capacities start again from zero: new runs.
        sim.start(build + "/tools/charger-sim/charger-sim",
                  { "--kind", "112", "--speed", "2", "--reset-at", "12", "--count", "40" });
        QVERIFY(sim.waitForReadyRead(10000));
        const QString line = QString::fromUtf8(sim.readLine()).trimmed();
        if (!line.startsWith(QLatin1String("/dev/")))
            QSKIP("no pseudo-terminals here");

        QTemporaryDir home;
        QProcess monitor;
        qputenv("CHARGEMON_PORTS", line.toLocal8Bit());
        qputenv("CHARGEMON_STATUS_TO_STDERR", "1");
        qputenv("QT_QPA_PLATFORM", "offscreen");
        for (const char *folder : { "HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME" })
            qputenv(folder, home.path().toLocal8Bit());
        monitor.start(build + "/chargemon");
        QVERIFY(monitor.waitForStarted());

        QString status;
        QElapsedTimer waited;
        waited.start();
        for (const char *text :
             { "Serial port 1 was connected.",
               "Communication connected.Now receive data from charger.",
               "CH1 Completed. You can save it now.", "CH2 Completed. You can save it now." }) {
            while (!status.contains(QLatin1String(text)) && waited.elapsed() < 60000) {
                monitor.waitForReadyRead(200);
                status += QString::fromUtf8(monitor.readAllStandardError());
            }
            QVERIFY2(status.contains(QLatin1String(text)), qPrintable(status));
        }
        monitor.kill(); // SIGKILL: nothing of the program runs after this
        monitor.waitForFinished();
        WindowRig rig(home.filePath("chargemon/journal"));
        rig.dialogs.messageAnswers = { Dialogs::Answer::Yes };
        rig.window.recoverRuns();
        QStringList recovered; // the two ended runs at least, with their rows
        for (tee *doc : rig.documents())
            if (doc->RtnGridRows() > 1)
                recovered << doc->caption();
        QVERIFY2(recovered.contains("CH1 Chart 1 (recovered)")
                     && recovered.contains("CH2 Chart 2 (recovered)"),
                 qPrintable(recovered.join(", ")));
    } // the simulator's QProcess kills it as it goes
};

QTEST_MAIN(TestProgram)
#include "test_program.moc"
