#include "document/cross_line.h"
#include "document/document_host.h"
#include "document/tee.h"
#include "platform/chart.h"
#include "platform/command_bar.h"
#include "run/run.h"

#include <QScreen>

std::optional<qsizetype> tee::sampleUnder(QPoint at) const
{
    return CrossLine::sampleAt(chart_->pointCount(Chart::Voltage), chart_->timeAtPixel(at.x()),
                               [this](qsizetype i) { return chart_->pointX(Chart::Voltage, i); });
}

QString tee::twoPointText(std::optional<qsizetype> sample) const
{
    return reference_ && sample ? run_->summary().between(*reference_, *sample).text() : QString();
}

// With "CrossLine" checked every move reads the sample under the cursor; unchecked, moves
// read only while a button is held (the flag set on press, cleared on release).
void tee::crossLineMoved(QPoint at)
{
    const ViewState &state = host_.viewState();
    if (!state.crossLineOn && !state.crossLineHeld) {
        chart_->hideCrossHair();
        return;
    }
    const std::optional<qsizetype> sample = sampleUnder(at);
    // Moving along one sample leaves the panel, and what it would repaint, as it is.
    const bool shown = chart_->crossHairShown() && sample == shownSample_;
    chart_->showCrossHair(at, twoPointText(sample));
    if (!sample)
        return;
    // The chart's points are in the order of the run's samples.
    if (!shown)
        host_.ShowReading(CrossLine::record(run_->samples().reading(*sample)));
    shownSample_ = sample;
    // Live samples leave the panel to the read-out until the cross line lets go.
    host_.viewState().crossLineHeld = true;
}

// A Shift-click on the showing cross line marks the sample under it; the next one, anywhere,
// takes the mark away.
void tee::switchReference(QPoint at)
{
    if (reference_)
        reference_.reset();
    else if (chart_->crossHairShown())
        reference_ = sampleUnder(at);
    chart_->setReferenceTime(reference_ ? std::optional(chart_->pointX(Chart::Voltage, *reference_))
                                        : std::nullopt);
    if (chart_->crossHairShown())
        chart_->showCrossHair(at, twoPointText(sampleUnder(at)));
}

void tee::toggleFullScreen()
{
    fullScreen_ = !fullScreen_;
    if (fullScreen_) {
        const QRect whole = screen()->geometry();
        setWidget(nullptr);
        chart_->setParent(nullptr, Qt::Window);
        chart_->setWindowTitle(windowTitle());
        // Without a window manager the full-screen state alone does not cover the screen.
        chart_->setGeometry(whole);
        chart_->showFullScreen();
        hide();
        return;
    }
    setWidget(chart_);
    QMdiSubWindow::show();
    move(0, y());
    host_.cascade();
    if (bar_)
        bar_->refresh();
}
