// The side panes and the splash as a user sees them: pictures sharp at any scale, smooth
// edges, pages and texts that fit.

#include "setup/adform.h"
#include "setup/config.h"
#include "setup/guid.h"
#include "setup/splash.h"
#include "support/scripted_dialogs.h"

#include <QBitmap>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

class TestSidePanes : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    InterfaceTextStore store { InterfaceTextStore::builtInPath(), folder.path() };

private slots:
    void pictureRatio_data()
    {
        QTest::addColumn<int>("dotsPerMeter");
        QTest::addColumn<int>("ratio");
        QTest::newRow("no density") << 0 << 1;
        QTest::newRow("192 dpi, rounded down when written") << 7559 << 2;
        QTest::newRow("288 dpi") << 11339 << 3;
    }
    void pictureRatio()
    {
        QFETCH(int, dotsPerMeter);
        QFETCH(int, ratio);
        QCOMPARE(::pictureRatio(dotsPerMeter), ratio);
    }

    // Only what the picture leaves clear is cut, at the picture's size on screen.
    void splashShapeKeepsTheSoftEdges()
    {
        QImage picture(6, 2, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        picture.setPixel(0, 0, qPremultiply(qRgba(0, 0, 0, 40))); // a soft shadow's edge
        picture.setPixel(5, 1, qRgba(9, 9, 9, 255));
        picture.setDevicePixelRatio(2);
        const QRegion shape(frmSplash::shape(picture));
        QVERIFY(shape.contains(QPoint(0, 0)) && !shape.contains(QPoint(1, 0))
                && shape.contains(QPoint(2, 0)));
    }

    void pagesAndTextsFit()
    {
        QCOMPARE(Guid::sizeOn(QRect(0, 0, 1400, 900)), QSize(860, 870));
        QCOMPARE(Guid::sizeOn(QRect(0, 0, 700, 450)), QSize(700, 420)); // scaled to 200 %
        const Config config(store);
        QVERIFY(!config.AboutEN().contains(QRegularExpression("[^\n]\n[^\n]"))); // lines flow
        ScriptedDialogs dialogs;
        adform pane(store, dialogs);
        pane.resize(pane.width(), 300); // with a vertical scroll bar
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QCOMPARE(pane.Web->horizontalScrollBar()->maximum(), 0);
    }
};

QTEST_MAIN(TestSidePanes)
#include "test_side_panes.moc"
