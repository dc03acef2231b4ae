// The setup forms: the information panel, the advertisement pane, About, the guide and
// the splash.

#include "platform/analog_gauge.h"
#include "platform/cell_bar.h"
#include "platform/core/settings.h"
#include "platform/qt_command_bar.h"
#include "platform/segment_readout.h"
#include "platform/thermometer.h"
#include "setup/about.h"
#include "setup/adform.h"
#include "setup/config.h"
#include "setup/guid.h"
#include "setup/infoform1.h"
#include "setup/splash.h"
#include "support/fake_clock.h"
#include "support/marked_translator.h"
#include "support/readings.h"
#include "support/scripted_dialogs.h"

#include <QtTest>
#include <QtWidgets>

using namespace PanelRules;

namespace {
// A pack of `type` discharging at 1.5 A, its cells at `cells` volts.
ChannelReading reading(const QString &type, QList<const char *> cells)
{
    ChannelReading r = ::reading(2000, 0, Fixed::fromHundredths(-150));
    r[Type] = type;
    r[Bat_volt] = "11.10";
    r[Power] = "16.65";
    r[In_temp] = 31;
    r[Ext_temp] = 27;
    for (int c = 0; c < cells.size(); ++c)
        r[C1 + c] = *Fixed::parse(QString::fromLatin1(cells[c]));
    return r;
}

QString texts(const Infoform1 &panel, SegmentReadout &(Infoform1::*readout)(int) const, int count)
{
    QStringList shown;
    for (int i = 0; i < count; ++i)
        shown << (panel.*readout)(i).text();
    return shown.join(' ');
}
} // namespace

class TestPanes : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    InterfaceTextStore store { InterfaceTextStore::builtInPath(), folder.path() };
    // A store that cannot be read: every value at its default.
    InterfaceTextStore missing { folder.filePath(QStringLiteral("missing.db")), folder.path() };
    ScriptedDialogs dialogs;
    FakeClock clock;

private slots:
    void init() { dialogs.asked.clear(); }
    // A gauge's scale after readings in turn: it grows by steps and never shrinks.
    void gaugeGrowth()
    {
        const std::tuple<int, const char *, qint64> rows[] = {
            { 1, "12.3", 20 },   { 1, "13", 30 }, // a multiple moves a full step
            { 2, "2000", 3100 }, { 3, "1500", 2300 }, { 0, "18", 18 }, { 1, "13 5 20", 30 },
        };
        for (const auto &[index, values, maximum] : rows) {
            GaugeScale scale = startScale(index);
            for (const QString &v : QString(values).split(' '))
                scale = grownScale(scale, index, *Fixed::parse(v));
            QCOMPARE(scale.maximum, maximum);
        }
    }

    // Numbers, unit and caption stand apart at every maximum a gauge's scale grows to: each
    // value up to 20,000, then by leaps. Numbers stay inside the ticks, the caption below them,
    // long numbers are shortened rather than dropped, and a dial's numbers share one precision.
    void gaugeLabelsApart()
    {
        Infoform1 panel(dialogs, clock);
        const QPointF centre(55, 55);
        for (int index = 0; index < GaugeCount; ++index) {
            const AnalogGauge &gauge = panel.LED(index);
            qint64 checked = -1;
            for (double v = 0; v < 1e12; v = v < 20000 ? v + 1 : v * 1.02) {
                const GaugeScale s
                    = grownScale(startScale(index), index, Fixed::fromWhole(qint64(v)));
                if (std::exchange(checked, s.maximum) == s.maximum)
                    continue;
                const auto labels
                    = AnalogGauge::labels({ double(s.maximum), s.firstMark, s.secondMark, s.step },
                                          gauge.unit(), gauge.caption(), gauge.font());
                const QString at = QString("LED(%1) at %2: ").arg(index).arg(s.maximum);
                QVERIFY2(labels.numbers.size() >= 4, qPrintable(at)); // enough to read the dial by
                QSet<qsizetype> decimals; // one precision per dial, not "24k 36.1k"
                for (const AnalogGauge::Text &n : labels.numbers)
                    decimals << (n.text.contains('.') ? n.text.size() - n.text.indexOf('.') : 0);
                QVERIFY2(decimals.size() == 1, qPrintable(at + labels.numbers.back().text));
                QList<AnalogGauge::Text> texts(labels.numbers.begin(), labels.numbers.end());
                texts << labels.unit << labels.caption;
                for (const AnalogGauge::Text &n : labels.numbers) { // the farthest corner counts
                    const QRectF b = n.box.translated(-centre);
                    QVERIFY2(
                        std::hypot(std::max(-b.left(), b.right()), std::max(-b.top(), b.bottom()))
                            < AnalogGauge::TickInner,
                        qPrintable(at + n.text));
                }
                QVERIFY(labels.caption.box.top() > centre.y() + AnalogGauge::TickOuter * M_SQRT1_2);
                QVERIFY(QRectF(0, 0, 110, 110).contains(labels.caption.box));
                for (int i = 0; i < texts.size(); ++i)
                    for (int j = i + 1; j < texts.size(); ++j)
                        QVERIFY2(
                            !texts[i].box.adjusted(-0.5, -0.5, 0.5, 0.5).intersects(texts[j].box),
                            qPrintable(at + texts[i].text + " / " + texts[j].text));
            }
        }
    }

    // A lithium cell's voltage, then percent, bar and fill; a lead cell counts none. The cells'
    // figures: n, highest, lowest, average, spread; a dead first cell counts.
    void cells()
    {
        using enum CellFill;
        const std::tuple<const char *, const char *, int, CellFill> rows[] = {
            { "3.54", "45.00", 45, Yellow },  { "3.5401", "45.00", 45, Yellow },
            { "3.55", "45.80", 46, Green },   { "3.2155", "18.00", 18, Yellow }, // 17.96 % is 18
            { "3.534", "44.50", 44, Yellow }, // to the even bar
            { "2.9", "0.00", 0, Red },        { "4.35", "100.00", 100, Green },
        };
        const auto shown = [](const char *type, const char *voltage) {
            const CellShown c = cellShown(type, *Fixed::parse(QString(voltage)));
            return std::tuple(c.percent.format2(), c.bar, c.fill);
        };
        for (const auto &[voltage, percent, bar, fill] : rows)
            QCOMPARE(shown("LiIo/Po/Fe", voltage), std::tuple(QString(percent), bar, fill));
        QCOMPARE(shown("Pb", "3.9"), std::tuple(QString("0.00"), 0, Red));
        for (const auto &[cells, stats] : { std::pair("0 3.70 3.80", "2 3.70 0.00 1.85 3.70"),
                                            { "3.70", "1 3.70 3.70 3.70 0.00" } }) {
            std::array<Fixed, CellCount> voltages {};
            const QStringList given = QString(cells).split(' ', Qt::SkipEmptyParts);
            for (int i = 0; i < given.size(); ++i)
                voltages[i] = *Fixed::parse(given[i]);
            const CellSummary s = summarise(voltages);
            QCOMPARE(QStringList({ QString::number(s.n), s.highest.format2(), s.lowest.format2(),
                                   s.average.format2(), s.spread.format2() })
                         .join(' '),
                     stats);
        }
    }

    void thermometers()
    {
        using enum Thermometers;
        QCOMPARE(QList({ thermometersShown(17501), thermometersShown(17500),
                         thermometersShown(16201), thermometersShown(16200) }),
                 QList({ Both, InternalOnly, InternalOnly, None }));
    }

    // Readings in turn on one panel. Controls repaint only what changed; the window must still
    // show what a full repaint shows after needles, columns, bars, colours and digits have
    // moved. A narrower panel drops the outer thermometer.
    void readingShown()
    {
        Infoform1 panel(dialogs, clock);
        panel.resize(1600, 140);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        const auto shown = [&] {
            QApplication::processEvents();
            return panel.screen()->grabWindow(panel.winId()).toImage();
        };
        ChannelReading noCurrent = reading("NiMH", {}),
                       low = reading("LiIo/Po/Fe", { "4.1", "3.9" });
        noCurrent[Current] = Value();
        low[Bat_volt] = "7.40";
        low[Current] = "0.20";
        low[In_temp] = 64;
        const QString none = "0.00 0.00 0.00 0.00", gauges = "12.00 11.10 2000 1500 16.65";
        // reading, its lit cells, cell texts, stats, gauges and the current gauge's scale: -1.5 A
        // is 1500 mA, and the scale has grown for it and does not shrink.
        const std::tuple<ChannelReading, int, QString, QString, QString, double> rows[] = {
            { noCurrent, 0, none + ' ' + none, none, "12.00 11.10 2000 0 16.65", 10 },
            { reading("Pb", { "2.10", "2.10", "2.10" }), 0, none + ' ' + none, none, gauges, 2300 },
            { reading("LiIo/Po/Fe", { "3.70", "3.72", "3.68" }), 3, "3.70 3.72 3.68 0.00 " + none,
              "3.72 3.68 3.70 0.04", gauges, 2300 },
            { low, 2, "4.10 3.90 0.00 0.00 " + none, "4.10 3.90 4.00 0.20",
              "12.00 7.40 2000 200 16.65", 2300 },
        };
        // Gauges carry the panel's face under them: a moving needle leaves the panel unpainted.
        struct : QObject {
            QRegion painted;
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::Paint)
                    painted += static_cast<QPaintEvent *>(event)->region();
                return false;
            }
        } panelPaints;
        panel.installEventFilter(&panelPaints);
        for (const auto &[r, litCells, cellTexts, stats, milliamps, scale] : rows) {
            panel.ShowReading(r);
            QApplication::processEvents();
            for (int i = 0; i < GaugeCount; ++i)
                QVERIFY(!panelPaints.painted.intersects(panel.LED(i).geometry()));
            QCOMPARE(texts(panel, &Infoform1::LED2, CellCount), cellTexts);
            QCOMPARE(texts(panel, &Infoform1::LED3, 4), stats);
            QCOMPARE(texts(panel, &Infoform1::LED1, GaugeCount), milliamps);
            QCOMPARE(panel.LED(3).scale().maximum, scale);
            for (int i = 0; i < CellCount; ++i) {
                QCOMPARE(panel.LED2(i).digitColor() == Qt::black, i >= litCells);
                QCOMPARE(panel.BAR(i).fill(), i < litCells ? QString("GREEN") : QString("RED"));
                QCOMPARE(panel.BAR(i).value() > 0, i < litCells);
            }
            const QImage partial = shown();
            for (QWidget *w : panel.findChildren<QWidget *>())
                w->update();
            panel.update();
            QCOMPARE(shown(), partial);
        }
        panel.resize(17000 / TwipsPerPixel, 140); // too narrow for the outer thermometer
        QVERIFY(!panel.InTemp().isHidden() && !panel.Lab_InTemp().isHidden());
        QVERIFY(panel.ExtTemp().isHidden() && panel.Lab_ExtTemp().isHidden());
    }

    // A screen reader finds every control of the panel by a name and hears the value with its
    // unit; the short labels are tied to what they label. The picture is decoration.
    void readAloud()
    {
        Infoform1 panel(dialogs, clock);
        panel.ShowReading(reading("LiIo/Po/Fe", { "3.70", "3.72", "3.55" }));
        QStringList heard;
        QList<QAccessibleInterface *> todo = { QAccessible::queryAccessibleInterface(&panel) };
        while (!todo.isEmpty()) {
            QAccessibleInterface *a = todo.takeFirst();
            for (int i = 0; i < a->childCount(); ++i)
                todo << a->child(i);
            const QString name = a->text(QAccessible::Name), value = a->text(QAccessible::Value);
            QVERIFY2(!name.isEmpty() || a->childCount() > 0
                         || a->object()->objectName() == "Image2",
                     qPrintable(a->object()->objectName()));
            heard << (value.isEmpty() ? name : name + ", " + value);
        }
        for (const char *said :
             { "External temperature, 27 \u00b0C", "Cell 3, 3.55 V", "Cell 3 charge, 46 %",
               "Current, 1500 mA", "Capacity, digits, 2000 mAh", "Cell spread, 0.17 V", "Volt" })
            QVERIFY2(heard.contains(QString::fromUtf8(said)), qPrintable(heard.join(" | ")));
        QAccessibleInterface *ext = QAccessible::queryAccessibleInterface(&panel.ExtTemp());
        const auto labels = ext->relations(QAccessible::Label);
        QVERIFY(ext->valueInterface()->currentValue().toDouble() == 27.0 && !labels.isEmpty()
                && labels.first().first->object() == &panel.Lab_ExtTemp());
    }

    // The panel docks along the top, once; the advertisement pane at the left, at the store's
    // width, which folds to its arrow and back but no drag changes.
    void docking()
    {
        QMainWindow window;
        QtCommandBar bar(&window, nullptr, {}, clock);
        auto *panel = new Infoform1(dialogs, clock, &window);
        panel->DockYourselfTo(bar, true, 1, 0, 802);
        auto *pane = new adform(store, dialogs);
        pane->DockYourselfTo(bar, true, 2, 6, 0);
        auto *dock = qobject_cast<QDockWidget *>(panel->parentWidget());
        QVERIFY(dock && window.dockWidgetArea(dock) == Qt::TopDockWidgetArea);
        window.resize(1000, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        bar.tool("IWillDockToActiveBarBand_Infoform1", "IWillDockToActiveBarTool_Infoform1")
            .setVisible(false);
        QVERIFY(!dock->isVisible());
        panel->DockYourselfTo(bar, true, 1, 0, 802);
        QCOMPARE(dialogs.asked.size(), 1);

        const int width = Config(store).AdWidth() / 15;
        QVERIFY(width > 8);
        QCOMPARE(pane->width(), width);
        QCOMPARE(pane->Image1->x(), width - 8);
        window.resizeDocks({ pane->band() }, { width + 150 }, Qt::Horizontal);
        QTRY_COMPARE(pane->width(), width);
        QTest::mouseClick(pane->Image1, Qt::LeftButton);
        QVERIFY(pane->folded());
        QTRY_COMPARE(pane->width(), 8);
        QVERIFY(!pane->Web->isVisible());
        QTest::mouseClick(pane->Image1, Qt::LeftButton);
        QTRY_COMPARE(pane->width(), width);
        QVERIFY(pane->Web->isVisible());
    }

    void aboutTextInTheStoredLanguage()
    {
        const Config config(store);
        QVERIFY(config.AboutCHT() != config.AboutEN());
        QVERIFY(!config.AboutEN().contains(QRegularExpression("[^\n]\n[^\n]"))); // lines flow
        Settings settings(folder.filePath(QStringLiteral("about.ini")));
        for (const auto &[stored, chinese] :
             { std::pair("CHT", true), std::pair(" CHT ", true), std::pair("cht", false) }) {
            QVERIFY(settings.setValue(SettingsKeys::Lang, stored));
            About about(store, settings);
            QCOMPARE(about.Text1->text(), chinese ? config.AboutCHT() : config.AboutEN());
            about.show();
            QTest::mouseClick(about.Text1, Qt::LeftButton);
            QVERIFY(!about.isVisible());
        }
    }

    // The splash centred above the middle, the guide's page on the screen, pictures sharp at
    // any scale with smooth edges.
    void placesAndPictures()
    {
        // (24000 - 8235) / 2 = 7882 twips, 525.5 pixels; (15000 - 5250) / 2 - 500 = 4375.
        QCOMPARE(frmSplash::Center(QRect(0, 0, 1600, 1000), frmSplash::area), QPoint(525, 292));
        QCOMPARE(frmSplash::Center(QRect(1600, 0, 1600, 1000), frmSplash::area), QPoint(2125, 292));
        // Smaller than the splash: (6000 - 8235) / 2 = -1117 twips; (4500 - 5250) / 2 - 500.
        QCOMPARE(frmSplash::Center(QRect(0, 0, 400, 300), frmSplash::area), QPoint(-74, -58));
        QCOMPARE(Guid::sizeOn(QRect(0, 0, 1400, 900)), QSize(860, 870));
        QCOMPARE(Guid::sizeOn(QRect(0, 0, 700, 450)), QSize(700, 420)); // scaled to 200 %
        QVERIFY(Guid(store).hasPage() && !Guid(missing).hasPage());
        // no density; 192 dpi, rounded down when written; 288 dpi
        QCOMPARE(QList({ pictureRatio(0), pictureRatio(7559), pictureRatio(11339) }),
                 QList({ 1, 2, 3 }));
        // Only what the picture leaves clear is cut, at the picture's size on screen.
        QImage picture(6, 2, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        picture.setPixel(0, 0, qPremultiply(qRgba(0, 0, 0, 40))); // a soft shadow's edge
        picture.setPixel(5, 1, qRgba(9, 9, 9, 255));
        picture.setDevicePixelRatio(2);
        const QRegion shape(frmSplash::shape(picture));
        QVERIFY(shape.contains(QPoint(0, 0)) && !shape.contains(QPoint(1, 0))
                && shape.contains(QPoint(2, 0)));
    }

    void splashStaysWhileTheLoadIsSlow()
    {
        QVERIFY(!frmSplash(missing).isVisible()); // no picture, no window
        frmSplash splash(store);
        QVERIFY(splash.isVisible());
        QThread::msleep(2300); // a load that keeps the event loop busy past the two seconds
        QVERIFY(splash.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!splash.isVisible(), 500);
    }

    // The tips page fits its pane, and each of its texts follows a switch of language.
    void adPage()
    {
        adform pane(store, dialogs);
        pane.resize(pane.width(), 300); // with a vertical scroll bar
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QCOMPARE(pane.Web->horizontalScrollBar()->maximum(), 0);
        MarkedTranslator marked;
        QCoreApplication::installTranslator(&marked);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        QStringList untranslated;
        for (QTextBlock b = pane.Web->document()->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (const QString t = it.fragment().text().trimmed();
                    !t.isEmpty() && !t.startsWith("譯") && t != QChar::ObjectReplacementCharacter)
                    untranslated << t;
        QCoreApplication::removeTranslator(&marked);
        QCOMPARE(untranslated, QStringList());
    }
};

QTEST_MAIN(TestPanes)
#include "test_panes.moc"
