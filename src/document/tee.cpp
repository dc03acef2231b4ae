#include "document/tee.h"

#include "document/chart_factory.h"
#include "document/document_host.h"
#include "document/run_chart.h"
#include "platform/chart.h"
#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "platform/focus_ring.h"
#include "platform/sub_window.h"
#include "run/live_sample.h"
#include "run/run.h"
#include "run/run_journal.h" // the run's journal goes with a half-made window

#include <QCloseEvent>
#include <QMdiArea>

namespace {
constexpr double Day = 86400.0;
} // namespace

tee::tee(DocumentHost &host, QWidget *parent)
    : QMdiSubWindow(parent), host_(host), chart_(new Chart(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(chart_);
    // The keys reach the chart, where a frame shows they do.
    chart_->setFocusPolicy(Qt::StrongFocus);
    chart_->installEventFilter(this);
    new FocusRing(chart_);
    resize(720, 420);
    connect(this, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates before, Qt::WindowStates now) {
                if (now.testFlag(Qt::WindowActive) && !before.testFlag(Qt::WindowActive))
                    onActivated();
            });
    follow(std::make_shared<Run>(QString(), host_.clock()), true);

    connect(chart_, &Chart::pressed, this, [this] { host_.viewState().crossLineHeld = true; });
    connect(chart_, &Chart::released, this, [this] {
        host_.viewState().crossLineHeld = false;
        shownSample_.reset();
    });
    connect(chart_, &Chart::moved, this, &tee::crossLineMoved);
    connect(chart_, &Chart::shiftPressed, this, &tee::switchReference);
    connect(chart_, &Chart::doubleClicked, this, &tee::toggleFullScreen);
    connect(chart_, &Chart::seriesShownChanged, this, &tee::syncLamps);
}

tee::~tee()
{
    if (fullScreen_) // the chart is a window of its own
        delete chart_;
}

void tee::follow(std::shared_ptr<Run> run, bool own)
{
    if (run_)
        run_->disconnect(this);
    run_ = std::move(run);
    connect(run_.get(), &Run::recorded, this, &tee::draw);
    connect(run_.get(), &Run::replayedRows, this, &tee::drawRows);
    connect(run_.get(), &Run::titleChanged, chart_, &Chart::setTitleLine);
    // A capacity in the description can name the resistance's method.
    connect(run_.get(), &Run::titleChanged, this, &tee::showSummary);
    connect(run_.get(), &Run::ended, this, &tee::deCaption);
    if (own)
        connect(run_.get(), &Run::message, this, [this](const QString &m) { host_.State_add(m); });
    prepare();
}

void tee::prepare()
{
    chart_->setTitleLine(run_->title());
    chart_->clearPoints();
    chart_->setTimeRange(3 / Day, 120 / Day);
    chart_->setTimeAuto(true, false);
    chart_->setRedrawSuspended(false);
    showSummary();
    reference_.reset();
    shownSample_.reset();
    chart_->setReferenceTime(std::nullopt);
}

bool tee::isLive() const
{
    return run_->isLive();
}

bool tee::InitDoc(CommandBar *ab, const QString &sFile, bool)
{
    bar_ = ab;
    if (ab) {
        ab->registerChildMenuBar(Band::ClientMenu, this);
        ab->refresh();
    }
    setCaption(sFile);
    follow(std::make_shared<Run>(sFile, host_.clock()), true);
    QMdiSubWindow::show();
    // The area places a new window where it overlaps least, which in a small area is not
    // always inside it.
    if (QMdiArea *area = mdiArea()) {
        const QSize room = area->viewport()->size() - size();
        move(std::clamp(x(), 0, std::max(0, room.width())),
             std::clamp(y(), 0, std::max(0, room.height())));
    }
    return ab != nullptr;
}

void tee::showRun(const std::shared_ptr<Run> &run)
{
    setCaption(run->isLive() ? run->name() + QStringLiteral(" >>Live<<") : run->name());
    follow(run, false);
    // Activated before this, the window could not tell the channel tool its channel yet.
    if (mdiArea() && mdiArea()->activeSubWindow() == this)
        onActivated();
}

bool tee::Proc(ChannelReading &cell, bool isOpen)
{
    if (isOpen) {
        run_->replay(cell);
        return false;
    }
    return run_->offer(cell) != Run::Fate::End;
}

void tee::draw(const ChannelReading &sample, double days)
{
    // A watched station's readings can go missing on the way; its own runs end at a silence.
    if (const qsizetype n = chart_->pointCount(Chart::Voltage); run_->isLive() && n > 0
        && (days - chart_->pointX(Chart::Voltage, n - 1)) * Day > SilenceSeconds)
        chart_->breakLines();
    plotSample(*chart_, sample, days);
    if (run_->isLive()) {
        rescale();
        showSummary();
    }
    if (!isVisible() && !fullScreen_)
        QMdiSubWindow::show();
}

void tee::drawRows(const SampleBatch &rows)
{
    plotSamples(*chart_, rows);
    if (!isVisible() && !fullScreen_)
        QMdiSubWindow::show();
}

bool tee::ChartTitle(const QString &Str)
{
    run_->setTitle(Str);
    return false;
}

// The live run the window shows has ended.
bool tee::deCaption()
{
    setCaption(run_->name() + QStringLiteral(" END"));
    chart_->setTimeAuto(true, true);
    return false;
}

bool tee::show()
{
    QMdiSubWindow::show();
    return false;
}

qint64 tee::RtnGridRows()
{
    return run_->samples().count() + 1; // and the caption row
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
    follow(std::make_shared<Run>(run_->name(), host_.clock()), true);
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
    run_->replayed();
    showSummary();
    chart_->setVisible(true);
    chart_->setRedrawSuspended(false);
    return false;
}

void tee::rescale()
{
    rescaleChart(*chart_);
}

void tee::onActivated()
{
    if (run_->isLive())
        host_.followRun(*run_);
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
    // A watched station's run goes on without its window; the charger's would be cut short.
    if (isLive() && run_->source() == Run::Source::Charger && !host_.closingAll()) {
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
    // Large enough to read, small enough that two channels fit side by side.
    const QSize space = area.viewport()->size();
    addFitted(
        area, *doc,
        QSize(std::max(640, space.width() * 11 / 20), std::max(400, space.height() * 11 / 20)));
    return doc;
}

void tee::setSeriesShown(int series, bool shown)
{
    chart_->setSeriesShown(series, shown);
}

void tee::adoptJournal(std::unique_ptr<RunJournal> journal)
{
    run_->adoptJournal(std::move(journal));
}

void tee::keepSafe(const JournalPlace &journals)
{
    run_->keepSafe(journals);
}
