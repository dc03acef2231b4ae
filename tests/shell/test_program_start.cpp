#include "platform/core/folders.h"
#include "shell/command_line.h"

#include <QDir>
#include <QtTest>

class TestProgramStart : public QObject {
    Q_OBJECT
private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("text"); // a part of it
        const int run = int(CommandLine::Action::Run), print = int(CommandLine::Action::Print),
                  fail = int(CommandLine::Action::Fail);
        QTest::newRow("none") << QStringList() << run << QStringList() << "";
        QTest::newRow("files in order, relative made absolute")
            << QStringList { "/x/a.mdb", "b.mdb" } << run << QStringList { "/x/a.mdb", "b.mdb" }
            << "";
        QTest::newRow("help wins over files")
            << QStringList { "a.mdb", "--help" } << print << QStringList() << "Usage: chargemon";
        QTest::newRow("-h") << QStringList { "-h" } << print << QStringList() << "--version";
        QTest::newRow("version") << QStringList { "--version" } << print << QStringList()
                                 << "chargemon " CHARGEMON_VERSION "\n";
        QTest::newRow("unknown option, one line")
            << QStringList { "a.mdb", "--bogus" } << fail << QStringList() << "'--bogus'";
        QTest::newRow("after -- a file")
            << QStringList { "--", "-h", "-" } << run << QStringList { "-h", "-" } << "";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QStringList, files);
        QFETCH(QString, text);
        const CommandLine line = parseCommandLine(arguments);
        QCOMPARE(int(line.action), action);
        for (QString &f : files)
            f = QDir::current().absoluteFilePath(f);
        QCOMPARE(line.files, files);
        QVERIFY2(line.text.contains(text), qPrintable(line.text));
        if (action == int(CommandLine::Action::Fail))
            QVERIFY(!line.text.contains(u'\n'));
    }

    void saveFolder_data()
    {
        QTest::addColumn<QString>("exeDir");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("expected");
        const QString beside = "/home/u/chargemon/build/save", mine = "/home/u/Documents/chargemon";
        QTest::newRow("own build") << "/home/u/chargemon/build" << true << "/usr/local" << beside;
        QTest::newRow("read-only folder") << "/opt/cm/bin" << false << "/usr/local" << mine;
        QTest::newRow("under the prefix, as root") << "/opt/cm/bin" << true << "/opt/cm" << mine;
        QTest::newRow("only a name like the prefix") << "/opt/cmx/bin" << true << "/opt/cm"
                                                     << "/opt/cmx/bin/save";
        QTest::newRow("under /usr, as root") << "/usr/bin" << true << "/opt/cm" << mine;
    }
    void saveFolder()
    {
        QFETCH(QString, exeDir);
        QFETCH(bool, writable);
        QFETCH(QString, prefix);
        QFETCH(QString, expected);
        QCOMPARE(saveFolderAt({ exeDir, writable, prefix, "/home/u/Documents" }), expected);
    }
};

QTEST_GUILESS_MAIN(TestProgramStart)
#include "test_program_start.moc"
