#pragma once

#include "run/run_file.h"
#include "support/files.h"
#include "support/readings.h"

#include <QtTest>

#include <csignal>

// A simulator on a link in `home`, and loggers in the same home saving to `out`; what they say
// on standard output and standard error alike goes to `said`.
struct LoggerSession {
    QTemporaryDir home;
    QString link = home.filePath("tty"), out = home.filePath("out");
    QString journals = home.filePath("data/chargemon/journal/logger");
    QProcess sim, logger;
    QString said; // by every logger of the session

    ~LoggerSession()
    {
        for (QProcess *p : { &logger, &sim })
            p->kill(), p->waitForFinished();
    }
    static QString build() { return QCoreApplication::applicationDirPath() + "/.."; }
    bool startSim(const QStringList &args = {})
    {
        sim.start(build() + "/tools/charger-sim/charger-sim",
                  QStringList { "--link", link, "--speed", "2" } + args);
        return sim.waitForReadyRead(10000) && sim.readLine().startsWith("/dev/");
    }
    // Set up as a service is, in the configuration file (`config` added to it); the command
    // line's title wins.
    void startLogger(const QStringList &args = {}, const QString &config = {})
    {
        QDir().mkpath(home.filePath("data/chargemon"));
        writeFile(home.filePath("data/chargemon/logger.conf"),
                  ("dir = " + out + "\ntitle = pack B\nverbose = true\n" + config).toUtf8());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *var : { "HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME" })
            env.insert(var, home.filePath(var == QLatin1String("HOME") ? "" : "data"));
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"); // no desktop here
        logger.setProcessEnvironment(env);
        logger.setProcessChannelMode(QProcess::MergedChannels);
        logger.start(build() + "/tools/chargemon-logger/chargemon-logger",
                     QStringList { "--port", link, "--title", "pack A" } + args);
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
    // The samples of the run file `name` in `out`, each as its fields' texts.
    QList<QStringList> rowsOf(const QString &name) const
    {
        QList<QStringList> rows;
        RunFile::Reader reader;
        if (reader.open(QDir(out).filePath(name)))
            for (ChannelReading r; reader.next(r);)
                rows << texts(r);
        return rows;
    }
    // The samples the loggers printed of channel 1 and 2, each as its fields' texts.
    std::array<QList<QStringList>, 2> printed() const
    {
        std::array<QList<QStringList>, 2> out;
        static const QRegularExpression sample(R"(^\S+ \S+ CH([12]): (\d\d:\d\d:\d\d .*)$)");
        for (const QString &line : said.split('\n'))
            if (const auto m = sample.match(line); m.hasMatch())
                out[m.captured(1) == "2"] << m.captured(2).split(' ');
        return out;
    }
};
