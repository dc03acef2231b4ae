// A third language as a translator adds one: its .ts file (tests/shell/chargemon_xx.ts, carried
// as the program carries its own) and one row, in this list, linked in the place of the
// program's.

#include "i18n/languages.h"
#include "support/window_rig.h"

const std::vector<Language> &languages()
{
    static const std::vector<Language> table = {
        { "ENG", "Eng", "&English", {}, "AboutEN" },
        { "CHT", "Cht", "繁體中文(&F)", "zh_TW", "AboutCHT" },
        { "XX", "Xx", "&Xx", "xx", "AboutEN" },
    };
    return table;
}

class TestThirdLanguage : public QObject {
    Q_OBJECT

private slots:
    // The menu offers it with a letter of its own, choosing it stores its code and shows its
    // texts, and the logger reads the stored code as that language.
    void offeredChosenAndReadByTheLogger()
    {
        WindowRig rig;
        QCOMPARE(rig.window.Menu().toolNames("Lang"), QStringList({ "Eng", "Cht", "Xx" }));
        rig.click("Lang", "Xx");
        QCOMPARE(rig.letterFaults("Xx: "), QStringList());
        QCOMPARE(rig.tool("Lang", "Xx").caption(), "&Xx");
        QCOMPARE(rig.settings.value(SettingsKeys::Lang), "XX");
        QCOMPARE(rig.tool("Tools", "Copy").caption(), "xx Copy");
        QTranslator logger;
        QVERIFY(loadTranslation(logger, languageNamed(storedLanguage(rig.settings))));
        QCOMPARE(logger.translate("Captions", "Copy"), "xx Copy");
    }
};

QTEST_MAIN(TestThirdLanguage)
#include "test_third_language.moc"
