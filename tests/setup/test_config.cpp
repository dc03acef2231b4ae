#include "setup/config.h"
#include "support/files.h"
#include "support/sqlite_file.h"

#include <QImage>
#include <QtTest>

namespace {

QString base64(const QString &text)
{
    return QString::fromLatin1(text.toUtf8().toBase64());
}

// A store of the program's schema with test content: no splash, no guide picture, every flag
// shown. `changes` run after the rows are in.
QString makeStore(const QString &folder, const QStringList &changes = {})
{
    const QString path = QDir(folder).filePath(QStringLiteral("store.db"));
    QStringList flags;
    for (const auto &[name, flag] : menuFlagFields)
        flags << QLatin1String(name) + " INTEGER";
    const QStringList sql {
        QString("CREATE TABLE interface (Caption TEXT, AboutCHT TEXT, AboutEN TEXT, Adwidth TEXT, "
                "aboutimg BLOB, Splash BLOB)"),
        QString("INSERT INTO interface VALUES ('%1', '%2', '%3', '%4', x'89504E47', NULL)")
            .arg(base64("Test title"), base64("關於"), base64("About"), base64("1500")),
        "CREATE TABLE AD_manul (AD_img BLOB, Guid_img BLOB, AD_Html TEXT, Guid_Html TEXT)",
        QString("INSERT INTO AD_manul VALUES (x'FFD8FFE0', NULL, '  <html>ad</html>\n', "
                "'<html>guide</html>')"),
        "CREATE TABLE Menu (" + flags.join(u',') + ")",
        "INSERT INTO Menu VALUES (" + QStringList(flags.size(), "1").join(u',') + ")",
    };
    runSql(path, sql + changes);
    return path;
}

QStringList falseFlags(const MenuFlags &flags)
{
    QStringList names;
    for (const auto &[name, flag] : menuFlagFields)
        if (!(flags.*flag))
            names << QLatin1String(name);
    return names;
}

// Every text and picture empty, no advertisement width, every flag shown.
QString defaults(const Config &config)
{
    return config.Caption() + config.AboutCHT() + config.AboutEN() + config.AD_Html_FileName()
        + config.Guid_Html_FileName() + config.AboutImg() + config.Splash()
        + QString::number(config.AdWidth()) + falseFlags(config.flags()).join(u' ');
}

} // namespace

class TestConfig : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir; // the program's folder, new for every test
    QString folder() const { return dir->path(); }
    QString at(const QString &name) const { return QDir(dir->path()).filePath(name); }

private slots:
    void init() { dir = std::make_unique<QTemporaryDir>(); }
    void base64Decode_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        const char *const rows[][3] = {
            { "empty", "", "" },
            { "missing padding is zeros", "QQ", "A" },
            { "length stops at the first =", "QQ==QUJD", "A" },
            { "five characters give three bytes", "QUJDR", "ABC" },
            { "outside the alphabet counts as 63", "QUJ.", "AB\x7f" },
            { "plus is 62", "QUJ+", "AB\x7e" },
            { "bytes that are no UTF-8 do not stop it", "/w==", "\uFFFD" },
        };
        for (const auto &[tag, input, expected] : rows)
            QTest::newRow(tag) << QString::fromUtf8(input) << QString::fromUtf8(expected);
        // UTF-8 text of 3, 10 and 11 bytes (no, two and one padding characters), and longer
        const QString sentence = QStringLiteral("雙通道 Battery 3S, 2200 mAh; C1..C12 = 4.20 V!");
        for (int n : { 1, 4, 5, int(sentence.size()) })
            QTest::addRow("%d characters", n) << base64(sentence.left(n)) << sentence.left(n);
    }
    void base64Decode()
    {
        QFETCH(QString, input);
        QTEST(Base64Decode(input), "expected");
    }

    // The store that comes with the program; its pictures go to a private folder of each
    // store, removed with it.
    void builtInStore()
    {
        QString image, otherRun;
        {
            InterfaceTextStore store(InterfaceTextStore::builtInPath(), folder());
            InterfaceTextStore second(InterfaceTextStore::builtInPath(), folder());
            const Config config(store);
            QCOMPARE(store.takeProblem(), QString());

            QCOMPARE(config.Caption() + falseFlags(config.flags()).join(' '), "chargemon");
            QCOMPARE(qAlpha(QImage(config.Splash()).pixel(0, 0)), 0); // transparent outside
            QVERIFY(!QImage(config.AboutImg()).isNull());

            QCOMPARE(config.Guid_Html_FileName(), at("html/Manual.htm"));
            QVERIFY(readFile(config.Guid_Html_FileName()).contains("dialout"));
            // and the pages find their pictures
            const QRegularExpression img(QStringLiteral("<img src=\"([^\"]+)\""));
            for (const QString &page : { config.AD_Html_FileName(), config.Guid_Html_FileName() }) {
                const QString html = QString::fromUtf8(readFile(page));
                QVERIFY2(html.contains(QStringLiteral("<img")), qPrintable(page));
                for (const auto &match : img.globalMatch(html)) {
                    const QString picture = QFileInfo(page).dir().filePath(match.captured(1));
                    QVERIFY2(!QImage(picture).isNull(), qPrintable(picture));
                }
            }

            image = config.AboutImg();
            QCOMPARE(Config(store).AboutImg(), image);
            otherRun = Config(second).AboutImg();
            QVERIFY(!image.startsWith(folder()));
            QVERIFY(QFileInfo(image).dir() != QFileInfo(otherRun).dir());
            // the folder is its owner's alone: no group or other bits
            QCOMPARE(QFileInfo(QFileInfo(image).path()).permissions().toInt() & 0x77, 0);
        }
        QVERIFY(!QFileInfo::exists(QFileInfo(image).path()));
        QVERIFY(!QFileInfo::exists(otherRun));
    }

    // A start killed by a signal leaves its private folder; the next start removes it, and
    // only it: a running program's folder and one without its lock stay.
    void abandonedPrivateFolders()
    {
        QTest::failOnWarning(QRegularExpression("lock file")); // a lock released after its folder
        qputenv("TMPDIR", QFile::encodeName(folder()));
        for (const char *name : { "chargemon-gone01", "chargemon-alive1", "chargemon-nolock" })
            QVERIFY(QDir(folder()).mkdir(name));
        writeFile(at("chargemon-gone01/.lock"), "999999999\nchargemon\n\n"); // no such process
        QLockFile alive(at("chargemon-alive1/.lock"));
        QVERIFY(alive.lock());
        InterfaceTextStore(InterfaceTextStore::builtInPath(), folder()).databaseFile();
        qunsetenv("TMPDIR");
        QCOMPARE(QDir(folder()).entryList({ "chargemon-*" }, QDir::Dirs),
                 QStringList({ "chargemon-alive1", "chargemon-nolock" }));
    }

    // Missing, not a database, no tables, empty tables.
    void defaultsWhenTheStoreCannotBeRead()
    {
        writeFile(at("junk.db"), "Settings.ini is not this");
        runSql(at("other.db"), { "CREATE TABLE other (x)" });
        runSql(at("empty.db"),
               { "CREATE TABLE interface (Caption)", "CREATE TABLE AD_manul (AD_img)",
                 "CREATE TABLE Menu (Tools_Open)" });
        for (const char *name : { "missing.db", "junk.db", "other.db", "empty.db" }) {
            InterfaceTextStore store(at(name), folder());
            QCOMPARE(defaults(Config(store)), "0");
            QVERIFY2(!store.takeProblem().isEmpty(), name);
            QCOMPARE(defaults(Config(store)), "0");
            QCOMPARE(store.takeProblem(), QString()); // reported once
        }
        QVERIFY(!QDir(folder()).exists(QStringLiteral("html")));
    }

    void flagsFollowTheMenuTable_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("hidden");
        const char *const rows[][3] = {
            { "menu Open hidden, tool bar Open shown", "MDI_File_Open = 0", "MDI_File_Open" },
            { "first and last", "Client_Menu_File = 0, Tools_Lang = 0",
              "Client_Menu_File Tools_Lang" },
            { "a Null flag stays shown", "Help_About = NULL, Help_Guid = 0", "Help_Guid" },
        };
        for (const auto &[tag, change, hidden] : rows)
            QTest::newRow(tag) << "UPDATE Menu SET " + QString(change) << hidden;
        QTest::newRow("only the first row counts") << "INSERT INTO Menu (Tools_Save) VALUES (0)"
                                                   << "";
    }
    void flagsFollowTheMenuTable()
    {
        QFETCH(QString, change);
        InterfaceTextStore store(makeStore(folder(), { change }), folder());
        QTEST(falseFlags(Config(store).flags()).join(u' '), "hidden");
    }

    void filesAreWrittenOncePerRunOrWhenChanged()
    {
        const QString storePath = makeStore(folder()), page = at("html/ad.htm");
        {
            // A program folder that cannot be made: the texts and pictures come all the same.
            writeFile(at("a file"), "no folder can be made below a file");
            InterfaceTextStore store(storePath, at("a file/program"));
            const Config config(store);
            QCOMPARE(config.Caption(), QStringLiteral("Test title"));
            QVERIFY(!config.AboutImg().isEmpty() && config.AD_Html_FileName().isEmpty());
            QVERIFY(store.takeProblem().startsWith(QStringLiteral("Cannot write ")));
        }
        // The page as a new Config of `store` leaves it.
        const auto pageAfter = [&](InterfaceTextStore &store) {
            const Config read(store);
            return readFile(page);
        };
        {
            InterfaceTextStore store(storePath, folder());
            QCOMPARE(Config(store).AboutCHT(), QStringLiteral("關於"));
            QCOMPARE(readFile(page), "<html>ad</html>"); // trimmed
            QCOMPARE(readFile(at("html/image/img.jpg")), "\xFF\xD8\xFF\xE0");
            writeFile(page, "edited by hand");
            QCOMPARE(pageAfter(store), "edited by hand");
            QVERIFY(QFile::remove(page));
            QCOMPARE(pageAfter(store), "<html>ad</html>");
            runSql(storePath, { "UPDATE AD_manul SET AD_Html = '<html>new</html>'" });
            QCOMPARE(pageAfter(store), "<html>new</html>");
            writeFile(page, "edited by hand");
        }
        InterfaceTextStore nextRun(storePath, folder());
        QCOMPARE(pageAfter(nextRun), "<html>new</html>");

        // Null fields write nothing and name no picture; the page already there is kept.
        runSql(storePath,
               { "UPDATE interface SET aboutimg = NULL",
                 "UPDATE AD_manul SET AD_img = NULL, AD_Html = NULL" });
        const Config nulls(nextRun);
        QCOMPARE(nextRun.takeProblem(), QString());
        QVERIFY(nulls.AboutImg().isEmpty() && nulls.Splash().isEmpty());
        QCOMPARE(nulls.AD_Html_FileName(), page);
        QCOMPARE(readFile(page) + readFile(at("html/image/img.jpg")),
                 "<html>new</html>\xFF\xD8\xFF\xE0");
        QCOMPARE(readFile(nulls.Guid_Html_FileName()), "<html>guide</html>");
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "test_config.moc"
