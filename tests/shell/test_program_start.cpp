#include "platform/core/folders.h"
#include "shell/command_line.h"

#include <QtTest>

using Action = CommandLine::Action;

class TestProgramStart : public QObject {
    Q_OBJECT
private slots:
    // Run: the files in order, absolute, joined by "|"; otherwise a part of the text.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("expected");
        const QDir here = QDir::current();
        QTest::newRow("none") << QStringList() << int(Action::Run) << "";
        QTest::newRow("files, relative made absolute")
            << QStringList { "/x/a.mdb", "b.mdb" } << int(Action::Run)
            << "/x/a.mdb|" + here.absoluteFilePath("b.mdb");
        QTest::newRow("help wins")
            << QStringList { "a.mdb", "--help", "-x" } << int(Action::Print) << "Usage: chargemon";
        QTest::newRow("-h") << QStringList { "-h" } << int(Action::Print) << "--version";
        QTest::newRow("version") << QStringList { "--version" } << int(Action::Print)
                                 << "chargemon " CHARGEMON_VERSION "\n";
        QTest::newRow("unknown option, one line")
            << QStringList { "a.mdb", "--bogus" } << int(Action::Fail) << "'--bogus'";
        QTest::newRow("after --, a file")
            << QStringList { "--", "-h" } << int(Action::Run) << here.absoluteFilePath("-h");
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        const CommandLine line = parseCommandLine(arguments);
        QTEST(int(line.action), "action");
        if (line.action == Action::Run)
            QCOMPARE(line.files.join(u'|'), expected);
        else
            QVERIFY2(line.text.contains(expected)
                         && (line.action == Action::Print || !line.text.contains(u'\n')),
                     qPrintable(line.text));
    }

    // A build or a portable copy saves beside itself; an installed program in the user's folder.
    void saveFolder()
    {
        const QString mine = "/home/u/Documents/chargemon";
        // the program's folder, writable, the install prefix, the save folder
        const std::tuple<const char *, bool, const char *, QString> rows[] = {
            { "/home/u/cm", true, "/usr/local", "/home/u/cm/save" }, // own build
            { "/opt/cm/bin", false, "/usr/local", mine }, // read-only folder
            { "/opt/cm/bin", true, "/opt/cm", mine }, // under the prefix, as root
            { "/opt/cmx", true, "/opt/cm", "/opt/cmx/save" }, // only a name like the prefix
            { "/usr/bin", true, "/opt/cm", mine }, // under /usr, as root
        };
        for (const auto &[exeDir, writable, prefix, expected] : rows)
            QCOMPARE(saveFolderAt({ exeDir, writable, prefix, "/home/u/Documents" }), expected);
    }
};

QTEST_GUILESS_MAIN(TestProgramStart)
#include "test_program_start.moc"
