#include "document/cross_line.h"
#include "document/document_host.h"
#include "document/tee.h"
#include "platform/chart.h"
#include "platform/command_bar.h"
#include "run/run.h"

#include <QKeyEvent>
#include <QMdiArea>
#include <QScreen>

std::optional<qsizetype> tee::sampleUnder(QPoint at) const
{
    return CrossLine::sampleAt(chart_->pointCount(Chart::Voltage), chart_->timeAtPixel(at.x()),
                               [this](qsizetype i) { return chart_->pointX(Chart::Voltage, i); });
}

QString tee::twoPointText(std::optional<qsizetype> sample) const
{
    return reference_ && sample
        ? run_->summary().between(run_->samples(), *reference_, *sample).text()
        : QString();
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
    readSample(at, sampleUnder(at));
}

void tee::readSample(QPoint at, std::optional<qsizetype> sample)
{
    // Moving along one sample leaves the panel, and what it would repaint, as it is.
    const bool shown = chart_->crossHairShown() && sample == shownSample_;
    const QString twoPoints = twoPointText(sample);
    chart_->showCrossHair(at, twoPoints);
    if (!sample)
        return;
    // The chart's points are in the order of the run's samples.
    const ChannelReading reading = CrossLine::record(run_->samples().reading(*sample));
    if (!shown)
        host_.ShowReading(reading);
    shownSample_ = sample;
    // Live samples leave the panel to the read-out until the cross line lets go.
    host_.viewState().crossLineHeld = true;
    const QString readOut = CrossLine::readOut(reading, twoPoints);
    // Qt tells a listening screen reader of each new description, even an unchanged one.
    if (readOut != chart_->accessibleDescription())
        chart_->setAccessibleDescription(readOut);
}

// A Shift-click on the showing cross line marks the sample under it; the next one, anywhere,
// takes the mark away.
void tee::switchReference(QPoint at)
{
    markSample(sampleUnder(at), at);
}

void tee::markSample(std::optional<qsizetype> sample, QPoint at)
{
    if (reference_)
        reference_.reset();
    else if (chart_->crossHairShown())
        reference_ = sample;
    chart_->setReferenceTime(reference_ ? std::optional(chart_->pointX(Chart::Voltage, *reference_))
                                        : std::nullopt);
    if (chart_->crossHairShown())
        readSample(at, sample);
}

bool tee::crossLineKey(const QKeyEvent &event)
{
    const qsizetype count = chart_->pointCount(Chart::Voltage);
    if (!host_.viewState().crossLineOn || count == 0)
        return false;
    const qsizetype step = event.modifiers().testFlag(Qt::ShiftModifier) ? 10 : 1;
    // From the sample the cross line shows, or from an end.
    const qsizetype last = count - 1;
    const qsizetype now = shownSample_ && chart_->crossHairShown() ? std::min(*shownSample_, last)
        : event.key() == Qt::Key_Left                              ? count
                                                                   : -1;
    qsizetype next = 0;
    switch (event.key()) {
    case Qt::Key_Left:
        next = now - step;
        break;
    case Qt::Key_Right:
        next = now + step;
        break;
    case Qt::Key_Home:
        next = 0;
        break;
    case Qt::Key_End:
        next = last;
        break;
    case Qt::Key_Space:
        if (chart_->crossHairShown() && shownSample_)
            markSample(shownSample_, chart_->pointPixel(Chart::Voltage, *shownSample_));
        return true;
    default:
        return false;
    }
    next = std::clamp(next, qsizetype(0), last);
    readSample(chart_->pointPixel(Chart::Voltage, next), next);
    return true;
}

bool tee::leaveByTab(bool forward)
{
    // A sub-window keeps Tab among its own widgets, and the chart is the only one: Tab goes on
    // to the main window's next part outside the chart windows.
    const QWidget *charts = mdiArea() ? static_cast<QWidget *>(mdiArea()) : this;
    QWidget *w = chart_;
    do
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
    while (w != chart_
           && (charts->isAncestorOf(w) || w->window() != QWidget::window() || !w->isVisible()
               || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus)));
    if (w == chart_)
        return false;
    w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool tee::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == chart_ && event->type() == QEvent::KeyPress) {
        const auto &key = *static_cast<QKeyEvent *>(event);
        // Alone on the screen the chart is out of reach of the menus' keys.
        if (fullScreen_ && (key.key() == Qt::Key_F11 || key.key() == Qt::Key_Escape)) {
            toggleFullScreen();
            return true;
        }
        if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab)
            return leaveByTab(key.key() == Qt::Key_Tab && key.modifiers() == Qt::NoModifier);
        if (key.modifiers() == Qt::NoModifier || key.modifiers() == Qt::ShiftModifier)
            return crossLineKey(key);
    }
    return QMdiSubWindow::eventFilter(watched, event);
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
