#include "platform/chart.h"
#include "platform/compare_chart.h"
#include "platform/qt_command_bar.h"
#include "platform/status_lamp.h"
#include "platform/trend_chart.h"
#include "support/fake_clock.h"
#include "support/marked_translator.h"
#include <qcustomplot.h>

#include <QtTest>
#include <QtWidgets>

namespace {
using Kind = Tool::Kind;
using Role = BandSpec::Role;

ToolSpec spec(const QString &name, const QString &subBand = {}, Kind kind = Kind::Button)
{
    ToolSpec spec;
    spec.name = name;
    spec.kind = kind;
    spec.caption = name.toUpper();
    spec.subBand = subBand;
    return spec;
}

// A small layout with every kind of band and tool the program's own layout uses.
std::vector<BandSpec> layout()
{
    const ToolSpec sep = spec("separator1", {}, Kind::Separator);
    ToolSpec cross = spec("Cross"), list = spec("list"), gap = spec("Tool6");
    ToolSpec date = spec("date", {}, Kind::Label), time = spec("time", {}, Kind::Label),
             lamp = spec("L1", {}, Kind::Lamp);
    cross.checkable = list.windowList = true;
    date.clockFormat = "yyyy-MM-dd";
    time.clockFormat = "hh:mm";
    gap.caption.clear(); // nothing to show, no command: a gap
    lamp.lampMeaning = "Charger connected";
    const std::vector<ToolSpec> childFile
        = { spec("Open"), sep, cross, sep, spec("Exit") },
        tools = { spec("Open"), cross, spec("Lang", "Lang"), gap, spec("Channel", "Channel") },
        status = { lamp, spec("sState", {}, Kind::DropDownList), date, time };
    return {
        { "Main", "main", Role::MenuBar, { spec("File", "MainFile") } },
        { "Child", "child", Role::MenuBar, { spec("File", "ChildFile"), spec("Win", "Windows") } },
        { "MainFile", "", Role::PopUp, { spec("Open"), spec("Lang", "Lang") } },
        { "ChildFile", "", Role::PopUp, childFile },
        { "Windows", "", Role::PopUp, { spec("Tile"), list } },
        { "Lang", "", Role::PopUp, { spec("Eng"), spec("Cht") } },
        { "Channel", "", Role::PopUp, { spec("CH1"), spec("CH2") } },
        { "Tools", "bar", Role::ToolBar, tools },
        { "state", "status", Role::StatusBar, status },
    };
}
// Every text a painter draws on it, as the rectangle it covers.
class TextBoxes : public QPaintDevice, QPaintEngine {
public:
    TextBoxes() : QPaintEngine(AllFeatures) { }
    QList<std::pair<QString, QRectF>> texts;

private:
    QPaintEngine *paintEngine() const override { return const_cast<TextBoxes *>(this); }
    int metric(PaintDeviceMetric m) const override
    {
        return m == PdmDpiX || m == PdmDpiY || m == PdmPhysicalDpiX || m == PdmPhysicalDpiY ? 96
            : m == PdmDevicePixelRatioScaled ? int(devicePixelRatioFScale())
            : m == PdmDepth                  ? 32
            : m == PdmDevicePixelRatio       ? 1
                                             : 2000;
    }
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & DirtyTransform)
            transform_ = state.transform();
    }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
    void drawPath(const QPainterPath &) override { }
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        const QFontMetricsF m(item.font());
        texts.append(
            { item.text(),
              transform_.mapRect(QRectF(p.x(), p.y() - m.ascent(), item.width(), m.height())) });
    }
    Type type() const override { return User; }
    QTransform transform_;
};
// WCAG's contrast ratio of two colours.
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto f = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * f(c.redF()) + 0.7152 * f(c.greenF()) + 0.0722 * f(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
} // namespace

class TestCommandBar : public QObject {
    Q_OBJECT

    static QAction *actionOf(Tool &tool) { return dynamic_cast<QtTool &>(tool).action(); }
    static QWidget *widgetOf(Tool &tool) { return dynamic_cast<QtTool &>(tool).widget(); }
    QToolButton *buttonOf(Tool &tool)
    {
        return qobject_cast<QToolButton *>(bar_->toolBar()->widgetForAction(actionOf(tool)));
    }

private slots:
    void init()
    {
        window_ = std::make_unique<QMainWindow>();
        mdi_ = new QMdiArea(window_.get());
        window_->setCentralWidget(mdi_);
        clock_ = FakeClock();
        bar_ = new QtCommandBar(window_.get(), nullptr, layout(), clock_);
        clicked_.clear();
        connect(bar_, &CommandBar::toolClicked, this, [this](Tool &tool) { clicked_ << &tool; });
    }
    void cleanup() { window_.reset(); }

    // A name means a tool only within its band; an unknown one gives a tool bound to nothing.
    void toolsByBandAndName()
    {
#ifndef QT_NO_DEBUG
        QSKIP("asserts in debug builds");
#endif
        bar_->tool("Tools", "Open").setCaption("Öffnen");
        QCOMPARE(bar_->tool("ChildFile", "Open").caption(), "OPEN");
        QCOMPARE(actionOf(bar_->tool("Tools", "Open"))->text(), "Öffnen");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no tool Nope in band Tools"));
        Tool &missing = bar_->tool("Tools", "Nope");
        missing.setCaption("x");
        missing.setSubBand("Lang");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no tool Open in band Nope"));
        QVERIFY(&bar_->tool("Nope", "Open") == &missing);
        QCOMPARE(bar_->tool("Tools", "Open").caption(), "Öffnen");
    }

    // A screen reader finds no button of the tool bar without a name; the status bar's name and
    // a chart's axis titles follow the language of the moment.
    void namedForAScreenReader()
    {
        QToolBar *bar = bar_->toolBar();
        for (QAction *action : bar->actions())
            if (auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action)))
                QVERIFY(!QAccessible::queryAccessibleInterface(button)
                             ->text(QAccessible::Name)
                             .isEmpty());
        MarkedTranslator marked;
        Chart chart;
        // Shown at a size that holds the titles: a chart laid out too small cuts them short.
        chart.resize(900, 600);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        QAccessibleInterface *lamp
            = QAccessible::queryAccessibleInterface(window_->findChild<StatusLamp *>());
        const auto named = [&](const QString &mark) {
            QTRY_COMPARE(window_->statusBar()->accessibleName(), mark + "Status bar");
            QCOMPARE(lamp->text(QAccessible::Name) + ", " + lamp->text(QAccessible::Value),
                     mark + "Charger connected, " + mark + "off");
            QCOMPARE(chart.plot()->axisRect()->axis(QCPAxis::atLeft)->label(), mark + "Voltage(V)");
        };
        QCoreApplication::installTranslator(&marked);
        named("譯");
        QCoreApplication::removeTranslator(&marked);
        named("");
    }

    // A menu command, a pop-up shared by openers, a name also in a menu, a drop-down entry, a
    // button whose pop-up was taken away and a drop-down list's choice.
    void clicksArriveWithTheClickedTool()
    {
        window_->show();
        QList<Tool *> expected;
        for (const QString name : { "ChildFile/Exit", "Lang/Cht", "Tools/Open", "Channel/CH2" }) {
            expected << &bar_->tool(name.section('/', 0, 0), name.section('/', 1));
            actionOf(*expected.last())->trigger();
        }
        Tool &channel = bar_->tool("Tools", "Channel");
        QAction *action = actionOf(channel);
        const QList<QAction *> entries { actionOf(bar_->tool("Channel", "CH1")),
                                         actionOf(bar_->tool("Channel", "CH2")) };
        QCOMPARE(action->menu()->actions(), entries);
        channel.setSubBand("");
        QVERIFY(!action->menu());
        QTest::mouseClick(buttonOf(channel), Qt::LeftButton); // a plain button now
        channel.setSubBand("Channel");
        QCOMPARE(action->menu()->actions(), entries);

        Tool &state = bar_->tool("state", "sState");
        auto *combo = qobject_cast<QComboBox *>(widgetOf(state));
        QVERIFY(combo);
        for (const QString &line : QStringList { "one", "two", "three" }) {
            state.addListItem(line);
            state.setText(line);
        }
        QCOMPARE(combo->currentText(), "three");
        emit combo->activated(0);
        QCOMPARE(state.text(), "one");
        QCOMPARE(clicked_, expected << &channel << &state);
        state.clearList();
        QCOMPARE(combo->count(), 0);
        state.addListItem("four");
        QCOMPARE(combo->currentText(), "one"); // the text line changes only when set
    }

    void checkedVisibleAndLampStates()
    {
        window_->show();
        Tool &barCross = bar_->tool("Tools", "Cross");
        Tool &menuCross = bar_->tool("ChildFile", "Cross");
        QAction *barAction = actionOf(barCross);
        QToolButton *button = buttonOf(barCross);
        actionOf(menuCross)->trigger();
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!barCross.checked() && !menuCross.checked() && !barAction->isChecked()
                && !button->isChecked()); // clicking never toggles the checked state

        // What a command does: flip the tool-bar tool, whichever copy was clicked.
        connect(bar_, &CommandBar::toolClicked, this, [&](Tool &tool) {
            if (tool.name() == "Cross")
                barCross.setChecked(!barCross.checked());
        });
        actionOf(menuCross)->trigger();
        QVERIFY(barCross.checked() && barAction->isChecked() && button->isChecked());
        QVERIFY(!menuCross.checked() && !actionOf(menuCross)->isChecked());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!barCross.checked() && !barAction->isChecked() && !button->isChecked());

        // Hiding a tool hides what shows it; a lamp's light is a state of its own.
        Tool &menuTool = bar_->tool("MainFile", "Open");
        Tool &barTool = bar_->tool("Tools", "Open");
        Tool &lamp = bar_->tool("state", "L1");
        auto *light = qobject_cast<StatusLamp *>(widgetOf(lamp));
        QWidget *barButton = buttonOf(barTool);
        QVERIFY(light && barButton->isVisible() && light->isVisible());
        lamp.setOn(true);
        QVERIFY(light->isOn() && !lamp.checked());
        for (Tool *tool : { &menuTool, &barTool, &lamp })
            tool->setVisible(false);
        QCoreApplication::processEvents(); // the tool bar lays itself out when asked to
        QVERIFY(!actionOf(menuTool)->isVisible() && !barButton->isVisible());
        QVERIFY(!light->isVisible() && lamp.on());
        QVERIFY(actionOf(bar_->tool("ChildFile", "Open"))->isVisible());
        lamp.setChecked(true);
        lamp.setOn(false);
        QVERIFY(!light->isOn() && lamp.checked() && !lamp.visible());
    }

    // The active chart window brings its menu bar; the "Windows" menu lists the children.
    void childWindows()
    {
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        const QList<QAction *> mainBar { actionOf(bar_->tool("Main", "File")) };
        const QList<QAction *> childBar { actionOf(bar_->tool("Child", "File")),
                                          actionOf(bar_->tool("Child", "Win")) };
        const auto shownBand = [&] {
            const QList<QAction *> shown = window_->menuBar()->actions();
            return shown == mainBar ? "Main" : shown == childBar ? "Child" : "?";
        };
        QCOMPARE(shownBand(), "Main");
        QMdiSubWindow *chart = mdi_->addSubWindow(new QWidget);
        QMdiSubWindow *other = mdi_->addSubWindow(new QWidget);
        chart->setWindowTitle("CH1 Chart 1 >>Live<<");
        other->setWindowTitle("R&D.db");
        chart->show();
        other->show();
        bar_->registerChildMenuBar("Child", chart);
        for (QMdiSubWindow *active : { other, chart, other, chart }) {
            mdi_->setActiveSubWindow(active);
            QCOMPARE(shownBand(), active == chart ? "Child" : "Main");
        }

        QMenu *windows = childBar[1]->menu();
        const auto entries = [windows] {
            QMetaObject::invokeMethod(windows, "aboutToShow");
            QStringList texts;
            for (QAction *action : windows->actions())
                if (action->parent() == windows)
                    texts << action->text() + (action->isChecked() ? " *" : "");
            return texts;
        };
        QCOMPARE(entries(), QStringList({ "&1 CH1 Chart 1 >>Live<< *", "&2 R&&D.db" }));
        QCOMPARE(entries().size(), 2); // opening again lists the windows once
        const QList<QAction *> shown = windows->actions();
        shown.at(shown.indexOf(actionOf(bar_->tool("Windows", "list"))) + 2)->trigger();
        QCOMPARE(mdi_->currentSubWindow(), other);
        bar_->tool("Windows", "list").setVisible(false);
        QVERIFY(entries().isEmpty());

        mdi_->setActiveSubWindow(chart);
        delete other;
        QCOMPARE(shownBand(), "Child");
        delete chart;
        QCOMPARE(shownBand(), "Main");
    }

    void dateAndTimeFromTheClock()
    {
        const auto label = [this](const QString &name) {
            return qobject_cast<QLabel *>(widgetOf(bar_->tool("state", name)))->text();
        };
        QCOMPARE(label("date") + ' ' + label("time"), "2026-12-06 10:00");
        clock_.advanceSeconds(14 * 3600 + 61);
        bar_->refresh();
        QCOMPARE(label("date") + ' ' + label("time"), "2026-12-07 00:01");
    }

    // The chart, drawn for its size: ticks, the page, the labels.
    void ticksAndPage()
    {
        // for labels 60 pixels wide: 2 min wide and narrow, a week
        for (const auto &[range, width, step] : { std::tuple(120.0, 1000, 30.0),
                                                  { 120.0, 200, 60.0 },
                                                  { 7 * 86400.0, 1000, 2 * 86400.0 } })
            QCOMPARE(timeTickStep(range, width, 60), step);
        // A4 within 1 % margins, in points; a wide chart and a tall one
        for (const auto &[page, screen] : { std::pair(QSizeF(583, 826), QSize(1214, 500)),
                                            std::pair(QSizeF(826, 583), QSize(530, 500)) }) {
            const PrintPlan plan = printPlan(page, screen, 12);
            QVERIFY(plan.target.width() == page.width() && plan.target.height() <= page.height());
            QVERIFY(12 * plan.target.width() / plan.layout.width() >= 8); // points
        }
    }

    // No label or title of the chart's axes touches another at any font size a desktop may
    // choose, on a small chart and a large one.
    void axesApart_data()
    {
        QTest::addColumn<int>("pixels");
        QTest::addColumn<QSize>("size");
        for (int pixels : { 9, 12, 13, 16, 20, 24 })
            for (QSize size : { QSize(720, 420), QSize(1600, 900) })
                QTest::addRow("%d px, %d wide", pixels, size.width()) << pixels << size;
    }
    void axesApart()
    {
        QFETCH(int, pixels);
        QFETCH(QSize, size);
        const QFont before = QApplication::font();
        QFont font = before;
        font.setPixelSize(pixels);
        QApplication::setFont(font);
        Chart chart;
        QApplication::setFont(before);
        chart.setTitleLine(QStringLiteral("2S 2200 mAh"));
        TextBoxes boxes;
        {
            QCPPainter painter(&boxes);
            painter.setMode(QCPPainter::pmVectorized);
            chart.plot()->toPainter(&painter, size.width(), size.height());
        }
        const auto &t = boxes.texts;
        QVERIFY(t.size() > 20);
        for (int i = 0; i < t.size(); ++i) {
            // a line's leading may stand out by a pixel
            QVERIFY2(QRectF(QPointF(), size).adjusted(-1, -1, 1, 1).contains(t[i].second),
                     qPrintable(t[i].first));
            for (int j = i + 1; j < t.size(); ++j)
                QVERIFY2(!t[i].second.intersects(t[j].second),
                         qPrintable(t[i].first + " / " + t[j].first));
        }
    }

    // Every chart's texts stand out from its background at WCAG AA (4.5:1) on a light and a
    // dark desktop, and copies are on white whatever the screen shows.
    void readableInBothPalettes_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << QPalette(Qt::black, QColor(239, 239, 239), Qt::white,
                                           Qt::darkGray, Qt::gray, Qt::black, Qt::white, Qt::white,
                                           QColor(239, 239, 239));
        QTest::newRow("dark") << QPalette(Qt::white, QColor(53, 53, 53), QColor(90, 90, 90),
                                          QColor(20, 20, 20), QColor(70, 70, 70), Qt::white,
                                          Qt::white, QColor(35, 35, 35), QColor(53, 53, 53));
    }
    void readableInBothPalettes()
    {
        QFETCH(QPalette, palette);
        const QPalette before = QApplication::palette();
        QApplication::setPalette(palette);
        Chart live;
        TrendChart trend;
        CompareChart compare;
        trend.setRightLabel(QStringLiteral("y"));
        compare.addKey(CompareChart::colour(0), 0, QStringLiteral("run 1"));
        QApplication::setPalette(before); // the charts follow a change as well as the start
        QApplication::setPalette(palette);
        for (PlotChart *chart : std::initializer_list<PlotChart *> { &live, &trend, &compare }) {
            QCustomPlot &plot = *chart->plot();
            const QColor ground = plot.toPixmap(100, 100).toImage().pixelColor(0, 0);
            QList<QColor> texts;
            if (plot.legend->visible())
                texts << plot.legend->textColor();
            for (QCPAxisRect *rect : plot.axisRects())
                for (QCPAxis *axis : rect->axes())
                    if (axis->visible())
                        texts << axis->tickLabelColor() << axis->labelColor();
            for (const QColor &text : texts)
                QVERIFY2(contrast(text, ground) >= 4.5, qPrintable(text.name() + ground.name()));
            if (chart != &live) // the desktop's, not white boxes beside the navy live chart
                QCOMPARE(ground, palette.color(QPalette::Base));
            if (chart == &compare) // the first run's curve too
                QVERIFY(contrast(plot.graph(0)->pen().color(), ground) >= 4.5);
        }
        const QImage copy = live.toImage();
        QCOMPARE(copy.pixelColor(copy.width() / 2, 2), QColor(Qt::white));
        QApplication::setPalette(before);
    }

    void drawnForItsSize()
    {
        Chart chart;
        chart.resize(1400, 420);
        chart.show();
        chart.setSubtitleLine(QString(300, u'x'));
        chart.resize(500, 420);
        // The summary's text, as drawn, ends inside the chart.
        auto *summary = static_cast<QCPTextElement *>(chart.plot()->plotLayout()->element(1, 0));
        QCOMPARE(summary->selectTest(QPointF(-1, summary->rect().center().y()), false), -1);
        const QRect inside
            = chart.plot()->axisRect()->rect(); // the two-point label keeps off the axes
        for (QPoint at : { inside.topLeft(), inside.bottomRight(), inside.topRight() }) {
            chart.showCrossHair(at, QStringLiteral("Δt 0:01:17\nΔV -1.33\nΔA 0.00"));
            auto *label = chart.plot()->findChild<QCPItemText *>();
            QVERIFY(inside.contains(
                QRectF(label->topLeft->pixelPosition(), label->bottomRight->pixelPosition())
                    .toRect()));
        }
        const QRegularExpressionMatch declared // the copy's size is the size on screen
            = QRegularExpression(R"(width="([\d.]+)mm")").match(QString::fromUtf8(chart.toSvg()));
        QCOMPARE(qRound(declared.captured(1).toDouble()), qRound(500 * 25.4 / chart.logicalDpiX()));
    }

private:
    FakeClock clock_;
    std::unique_ptr<QMainWindow> window_;
    QMdiArea *mdi_ = nullptr;
    QtCommandBar *bar_ = nullptr;
    QList<Tool *> clicked_;
};

QTEST_MAIN(TestCommandBar)
#include "test_command_bar.moc"
