#include "document/tee.h"

#include "document/axis_rules.h"
#include "document/chart_factory.h"
#include "document/document_host.h"
#include "document/run_journal.h" // the journal_ member dies with a half-made window
#include "platform/chart.h"
#include "platform/clock.h"
#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "platform/sample_table.h"

#include <QCloseEvent>
#include <QMdiArea>

namespace {
const QStringList Captions
    = { QStringLiteral("Time"),        QStringLiteral("Type"),       QStringLiteral("+CHG/DIS-"),
        QStringLiteral("Ext.Temp(℃)"), QStringLiteral("In.Temp(℃)"), QStringLiteral("In.Volt(V)"),
        QStringLiteral("Bat.Volt(V)"), QStringLiteral("Curr(A)"),    QStringLiteral("Cap(mAh)"),
        QStringLiteral("Power(W)"),    QStringLiteral("C1"),         QStringLiteral("C2"),
        QStringLiteral("C3"),          QStringLiteral("C4"),         QStringLiteral("C5"),
        QStringLiteral("C6"),          QStringLiteral("C7"),         QStringLiteral("C8"),
        QStringLiteral("C9"),          QStringLiteral("C10"),        QStringLiteral("C11"),
        QStringLiteral("C12") };

QList<int> columnWidths()
{
    QList<int> widths(FieldCount, 35);
    std::fill_n(widths.begin(), C1, 75);
    return widths;
}

constexpr double Day = 86400.0;
const QString LiveMark = QStringLiteral(" >>Live<<");

// The caption the link gives a live window ("CH1 Chart 3 >>Live<<"); an opened run's
// caption is a full path, whatever its name.
bool isLiveCaption(const QString &caption)
{
    return (caption.startsWith(QLatin1String("CH1 ")) || caption.startsWith(QLatin1String("CH2 ")))
        && caption.endsWith(LiveMark);
}
} // namespace

tee::tee(DocumentHost &host, QWidget *parent)
    : QMdiSubWindow(parent), host_(host), chart_(new Chart(this)), table_(new SampleTable(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(chart_);
    resize(720, 420);
    connect(this, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates before, Qt::WindowStates now) {
                if (now.testFlag(Qt::WindowActive) && !before.testFlag(Qt::WindowActive))
                    onActivated();
            });
    prepare();
    const Clock &clock = host_.clock();
    startMs_ = clock.monotonicMs() - clock.now().time().msec();

    connect(chart_, &Chart::pressed, this, [] { CrossLineFlag = true; });
    connect(chart_, &Chart::released, this, [this] {
        CrossLineFlag = false;
        shownSample_.reset();
    });
    connect(chart_, &Chart::moved, this, &tee::crossLineMoved);
    connect(chart_, &Chart::shiftPressed, this, &tee::switchReference);
    connect(chart_, &Chart::doubleClicked, this, &tee::toggleFullScreen);
    connect(chart_, &Chart::seriesShownChanged, this, &tee::syncLamps);
}

// The journal goes with the window: closing it, or the program ending normally, removes it.
tee::~tee()
{
    if (fullScreen_) // the chart is a window of its own
        delete chart_;
}

void tee::prepare()
{
    table_->prepare(Captions, columnWidths(), QColor(160, 220, 220));
    chart_->setTitleLine(QString());
    chart_->clearPoints();
    chart_->setTimeRange(3 / Day, 120 / Day);
    chart_->setTimeAuto(true, false);
    chart_->setRedrawSuspended(false);
    title_.clear();
    summary_.clear();
    showSummary();
    reference_.reset();
    shownSample_.reset();
    chart_->setReferenceTime(std::nullopt);
    lastOpenedTime_ = 0;
    openedDays_ = 0;
}

qint64 tee::elapsedSeconds() const
{
    return (host_.clock().monotonicMs() - startMs_) / 1000;
}

bool tee::InitDoc(CommandBar *ab, const QString &sFile, bool)
{
    bar_ = ab;
    if (ab) {
        ab->registerChildMenuBar(Band::ClientMenu, this);
        ab->refresh();
    }
    setCaption(sFile);
    // Live before it is shown, so that its activation already sets the channel tool.
    live_ = isLiveCaption(sFile);
    QMdiSubWindow::show();
    return ab != nullptr;
}

bool tee::ChartTitle(const QString &Str)
{
    title_ = Str;
    return false;
}

QString tee::channelToolCaption() const
{
    return bar_ ? bar_->tool(Band::Tools, ToolName::Channel).caption() : QString();
}

bool tee::deCaption()
{
    if (live_ && caption().endsWith(LiveMark))
        setCaption(caption().chopped(LiveMark.size()) + QStringLiteral(" END"));
    live_ = false;
    if (journal_) // the last moments of the run too
        journal_->sync();
    if (bar_ && caption().contains(channelToolCaption()))
        host_.Channel_Proc(1);
    chart_->setTimeAuto(true, true);
    host_.State_add(caption().left(4) + QStringLiteral("Completed. You can save it now."));
    return false;
}

bool tee::show()
{
    QMdiSubWindow::show();
    return false;
}

qint64 tee::RtnGridRows()
{
    return table_->rows();
}

bool tee::active()
{
    if (QMdiArea *area = mdiArea())
        area->setActiveSubWindow(this);
    setFocus();
    return false;
}

bool tee::reset()
{
    prepare();
    return false;
}

bool tee::RePaint(bool flag)
{
    if (flag) {
        chart_->setRedrawSuspended(true);
        return false;
    }
    chart_->setTimeAuto(true, true);
    rescale();
    summary_ = RunSummary::of(*table_);
    showSummary();
    chart_->setVisible(true);
    chart_->setRedrawSuspended(false);
    return false;
}

void tee::rescale()
{
    for (int s = 0; s < Chart::SeriesCount; ++s) {
        const Chart::Range r = AxisRules::rescaled(s, chart_->valueExtremes(s));
        chart_->setValueRange(s, r.min, r.max);
    }
}

void tee::onActivated()
{
    if (live_ && bar_) {
        const QString channel = caption().contains(ToolName::CH1) ? ToolName::CH1 : ToolName::CH2;
        Tool &tool = bar_->tool(Band::Tools, ToolName::Channel);
        tool.setPicture(channel);
        tool.setCaption(channel);
    }
    if (bar_)
        bar_->tool(Band::View, ToolName::Summary).setChecked(summaryShown_);
    syncLamps();
}

void tee::syncLamps()
{
    for (int s = 0; s < Chart::SeriesCount; ++s)
        host_.setSeriesLamp(s, chart_->seriesShown(s));
}

void tee::closeEvent(QCloseEvent *event)
{
    if (live_ && !host_.closingAll()) {
        host_.State_add(QStringLiteral("Is working ......   Can't be closed."));
        if (bar_) {
            Tool &state = bar_->tool(Band::State, ToolName::StateList);
            state.focus();
            state.openDropDown();
        }
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

IMDIDocument *newChartWindow(DocumentHost &host, QMdiArea &area)
{
    auto *doc = new tee(host);
    area.addSubWindow(doc);
    // Large enough to read, small enough that two channels fit side by side.
    const QSize space = area.viewport()->size();
    doc->resize(std::max(640, space.width() * 11 / 20), std::max(400, space.height() * 11 / 20));
    return doc;
}

void tee::setSeriesShown(int series, bool shown)
{
    chart_->setSeriesShown(series, shown);
}
