#include "book_feature/pack_labels.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Labels are read back as a scanner reads them, one at a time: the PDF rendered to images, cut
// into its labels and decoded by a decoder of its own.
class TestPackLabels : public QObject {
    Q_OBJECT
private slots:
    void everyTagScansOnce_data()
    {
        QTest::addColumn<LabelLayout>("layout");
        QTest::addColumn<QPageSize::PageSizeId>("paper");
        QTest::newRow("2x6 A4") << LabelLayout::TwoBySix << QPageSize::A4;
        QTest::newRow("3x8 Letter") << LabelLayout::ThreeByEight << QPageSize::Letter;
    }
    void everyTagScansOnce()
    {
        QFETCH(LabelLayout, layout);
        QFETCH(QPageSize::PageSizeId, paper);
        // More than a sheet of either layout; a name far too long for its label.
        std::vector<PackLabel> labels;
        QStringList tags;
        for (int i = 1; i <= 26; ++i) {
            labels.push_back({ QStringLiteral("P%1").arg(i, 4, 10, QLatin1Char('0')),
                               QStringLiteral("Pack %1 for the long field days of summer").arg(i),
                               i % 12 + 1, i % 2 ? std::optional(2200.0) : std::nullopt });
            tags << '#' + labels.back().id;
        }
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
        QVERIFY(writeLabelsPdf(pdf, QPageSize(paper), layout, labels));
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
        QVERIFY(!writeLabelsPdf(dir.filePath(QStringLiteral("none/labels.pdf")), QPageSize(paper),
                                layout, labels));

        const auto run = [](const QString &program, const QStringList &args) {
            QProcess p;
            p.start(program, args);
            p.waitForFinished(60000);
            return QString::fromUtf8(p.readAllStandardOutput());
        };
        const int dpi = 150;
        run(QStringLiteral("pdftoppm"),
            { QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), pdf,
              dir.filePath("page") });
        const QStringList pages = QDir(dir.path()).entryList({ QStringLiteral("page*.png") });
        QCOMPARE(pages.size(), layout == LabelLayout::TwoBySix ? 3 : 2);
        QStringList cut { QStringLiteral("--raw"), QStringLiteral("-q") };
        for (const QString &page : pages) {
            const QImage image(dir.filePath(page));
            const double margin = LabelMarginMm / 25.4 * dpi;
            const QRectF area = QRectF(image.rect()).adjusted(margin, margin, -margin, -margin);
            for (int place = 0; place < labelsPerSheet(layout); ++place) {
                cut << dir.filePath(QStringLiteral("%1-%2.png").arg(page).arg(place));
                QVERIFY(image.copy(labelCell(layout, area, place).toRect()).save(cut.last()));
            }
        }
        QStringList scanned = run(QStringLiteral("zbarimg"), cut).split('\n', Qt::SkipEmptyParts);
        scanned.sort();
        QCOMPARE(scanned, tags);
    }
};

QTEST_MAIN(TestPackLabels)
#include "test_pack_labels.moc"
