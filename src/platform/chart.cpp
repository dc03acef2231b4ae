#include "platform/chart.h"
#include "platform/cross_hair.h"
#include "platform/decimated_graph.h"

#include <qcustomplot.h>

#include <QPrinter>

#include <algorithm>
#include <memory>

namespace {
constexpr double SecondsPerDay = 86400.0;
const QColor Background(0, 0, 64);
const QColor Lime(0, 255, 0);

// Time labels on an axis as wide as the viewport less the axis rect's margins: the margins of
// the last layout, as the labels are made before this one's.
class TimeTicker : public QCPAxisTickerTime {
public:
    explicit TimeTicker(const QCPAxis *axis) : axis_(axis) { }

protected:
    double getTickStep(const QCPRange &range) override
    {
        const QMargins margins = axis_->axisRect()->margins();
        const int width
            = axis_->parentPlot()->viewport().width() - margins.left() - margins.right();
        // The last label is the widest; two spaces keep labels apart.
        const QString label = getTickLabel(range.upper, QLocale(), u'g', 0) + QStringLiteral("  ");
        return timeTickStep(range.size(), width,
                            QFontMetrics(axis_->tickLabelFont()).horizontalAdvance(label));
    }

private:
    const QCPAxis *axis_;
};

struct AxisTicks : QCPAxis {
    // The axis's ticks and labels made for its range, as the plot's layout does first.
    static void make(QCPAxis *axis) { (axis->*(&AxisTicks::setupTickVectors))(); }
};

void colourAxis(QCPAxis *axis, const QColor &colour)
{
    // Zero-length ticks still paint a dot in their own pen; keep it the line's colour.
    axis->setBasePen(QPen(colour));
    axis->setTickPen(QPen(colour));
    axis->setSubTickPen(QPen(colour));
    axis->setTickLabelColor(colour);
    axis->setLabelColor(colour);
}

// The series' colours on the navy screen and, as dark, on white paper.
const std::array<QColor, Chart::SeriesCount> ScreenColours
    = { Qt::red, Lime, Qt::yellow, Qt::white };
const std::array<QColor, Chart::SeriesCount> PaperColours
    = { QColor(200, 0, 0), QColor(0, 128, 0), QColor(140, 100, 0), Qt::black };

void styleAxis(QCPAxis *axis, const QColor &colour)
{
    axis->setVisible(true);
    axis->grid()->setVisible(false);
    axis->setTickLength(0, 0);
    axis->setSubTickLength(0, 0);
    colourAxis(axis, colour);
    // Sized in pixels, as the title is.
    const QFont font = pixelFont(axis->tickLabelFont());
    axis->setTickLabelFont(font);
    axis->setLabelFont(font);
}
} // namespace

double timeTickStep(double rangeSeconds, double axisWidth, double labelWidth)
{
    const double least
        = std::max(rangeSeconds / 6, rangeSeconds * labelWidth / std::max(axisWidth, 1.0));
    static constexpr std::array<double, 17> Clock
        = { 1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200 };
    for (double step : Clock)
        if (step >= least)
            return step;
    double days = 1; // then 2, 5, 10, 20, 50 …
    for (int i = 0; days * SecondsPerDay < least; ++i)
        days *= i % 3 == 1 ? 2.5 : 2;
    return days * SecondsPerDay;
}

QPoint labelPlace(QPoint at, QSize size, const QRect &bounds)
{
    constexpr int Gap = 12;
    QPoint p = at + QPoint(Gap, Gap);
    if (p.x() + size.width() > bounds.right() + 1)
        p.rx() = at.x() - Gap - size.width();
    if (p.y() + size.height() > bounds.bottom() + 1)
        p.ry() = at.y() - Gap - size.height();
    // Where neither side has room, against the edge it crosses.
    p.rx() = std::clamp(p.x(), bounds.left(),
                        std::max(bounds.left(), bounds.right() + 1 - size.width()));
    p.ry() = std::clamp(p.y(), bounds.top(),
                        std::max(bounds.top(), bounds.bottom() + 1 - size.height()));
    return p;
}

PrintPlan printPlan(QSizeF page, QSize screen, int smallestPx)
{
    constexpr double SmallestPt = 9;
    // Paper is taller than a screen: no flatter than 4:3.
    const double shape = std::max(0.75, double(screen.height()) / screen.width());
    const QSizeF target(page.width(), std::min(page.height(), page.width() * shape));
    return { QRectF(QPointF(), target), (target * smallestPx / SmallestPt).toSize() };
}

// A line of text that never widens the layout: it is cut short with "…" for the width it is
// drawn at, on screen, on a page or in a picture.
namespace {
// What an axis going to `to` changes of its ticks, their labels and its grid lines.
enum class TickChange {
    None,
    Pixels, // the same ticks and labels, some rounded to another pixel: no new layout
    Labels, // other ticks or labels: a new layout if they take another width
    Layout,
};
TickChange tickChange(const QCPAxis &axis, const QCPRange &to)
{
    if (!axis.visible() || !axis.ticks())
        return axis.grid()->visible() ? TickChange::Layout : TickChange::None;
    if (axis.scaleType() != QCPAxis::stLinear || axis.orientation() != Qt::Vertical)
        return TickChange::Layout;
    const auto ticks
        = [&axis](const QCPRange &range, QVector<double> &at, QVector<QString> &labels) {
              QVector<double> sub;
              axis.ticker()->generate(range, axis.parentPlot()->locale(), axis.numberFormat().at(0),
                                      axis.numberPrecision(), at, axis.subTicks() ? &sub : nullptr,
                                      axis.tickLabels() ? &labels : nullptr);
              at += sub;
          };
    QVector<double> before, after;
    QVector<QString> beforeLabels, afterLabels;
    ticks(axis.range(), before, beforeLabels);
    ticks(to, after, afterLabels);
    if (before != after || beforeLabels != afterLabels)
        return TickChange::Labels;
    const QRect rect = axis.axisRect()->rect();
    const bool samePixels = std::all_of(before.cbegin(), before.cend(), [&](double v) {
        // The plot draws ticks on whole pixels, rounded.
        const double a = axis.coordToPixel(v);
        return qRound(a)
            == qRound(a + verticalPixel(v, to, rect) - verticalPixel(v, axis.range(), rect));
    });
    return samePixels ? TickChange::None : TickChange::Pixels;
}
} // namespace

class Chart::ElidedText : public QCPTextElement {
public:
    using QCPTextElement::QCPTextElement;
    // Whether the layout must change for the new text: it takes another height than it was
    // laid out at.
    bool setTextResizing(const QString &text)
    {
        setText(text);
        return measured().height() != mOuterRect.height();
    }

protected:
    QSize minimumOuterSizeHint() const override { return { 0, measured().height() }; }
    void draw(QCPPainter *painter) override
    {
        // A redraw of the other line leaves this one as it is: shaping a text costs.
        if (painter->hasClipping() && !painter->clipBoundingRect().intersects(mOuterRect))
            return;
        painter->setFont(mainFont());
        painter->setPen(QPen(mainTextColor()));
        const bool fits = measured().width() - mMargins.left() - mMargins.right() <= mRect.width();
        const QString shown = fits
            ? mText
            : painter->fontMetrics().elidedText(mText, Qt::ElideRight, mRect.width());
        painter->drawText(mRect, mTextFlags, shown, &mTextBoundingRect);
    }

private:
    // The whole text's size with the margins, measured once for each text.
    QSize measured() const
    {
        if (measuredText_ != mText || measuredFont_ != mFont) {
            measuredText_ = mText;
            measuredFont_ = mFont;
            measuredSize_ = QCPTextElement::minimumOuterSizeHint();
        }
        return measuredSize_;
    }
    mutable QString measuredText_;
    mutable QFont measuredFont_;
    mutable QSize measuredSize_;
};

Chart::Chart(QWidget *parent)
    : PlotChart(parent), title_(new ElidedText(plot_)), subtitle_(new ElidedText(plot_))
{
    plot_->setBackground(Background);
    // It fills every pixel: the windows behind need no repainting under a moving cross-hair.
    plot_->setAttribute(Qt::WA_OpaquePaintEvent);
    plot_->setInteractions(QCP::Interactions());
    plot_->setNoAntialiasingOnDrag(true);
    // Day-long runs are redrawn every second: plain lines draw in half the time.
    plot_->setNotAntialiasedElements(QCP::aePlottables);

    QFont titleFont = font();
    titleFont.setPixelSize(16);
    title_->setFont(titleFont);
    title_->setTextColor(Qt::white);
    plot_->plotLayout()->insertRow(0);
    plot_->plotLayout()->addElement(0, 0, title_);
    titleFont.setPixelSize(12);
    subtitle_->setFont(titleFont);
    subtitle_->setTextColor(QColor(192, 192, 192));
    subtitle_->setVisible(false);
    // The texts and the curves on buffers of their own: a new summary line or a sample that
    // changes a column redraws its own layer, not the axes nor the other.
    plot_->addLayer(QStringLiteral("texts"), plot_->layer(QStringLiteral("main")));
    texts_ = plot_->layer(QStringLiteral("texts"));
    texts_->setMode(QCPLayer::lmBuffered);
    title_->setLayer(texts_);
    subtitle_->setLayer(texts_);
    plot_->addLayer(QStringLiteral("curves"), texts_);
    curves_ = plot_->layer(QStringLiteral("curves"));
    curves_->setMode(QCPLayer::lmBuffered);

    QCPAxisRect *main = plot_->axisRect();
    // The x values are days; the ticker works in seconds, so the axis carries seconds.
    QCPAxis *time = main->axis(QCPAxis::atBottom);
    auto ticker = QSharedPointer<TimeTicker>::create(time);
    ticker->setTimeFormat(QStringLiteral("%h:%m:%s"));
    ticker->setFieldWidth(QCPAxisTickerTime::tuHours, 1);
    time->setTicker(ticker);
    styleAxis(time, QColor(192, 192, 192));
    time->setTickLabelColor(Qt::white);

    styleAxis(main->axis(QCPAxis::atLeft), Qt::red);
    styleAxis(main->axis(QCPAxis::atRight), Lime);
    main->axis(QCPAxis::atTop)->setVisible(false);
    main->setAutoMargins(QCP::msLeft | QCP::msTop | QCP::msBottom);

    // Capacity in the upper 48 % of the height, temperature from 51 % down. The insets span the
    // time axis exactly, so that their curves stand at the same times: the inset layout's own
    // margins (12 px a side by default) would squeeze them.
    main->insetLayout()->setAutoMargins(QCP::msNone);
    main->insetLayout()->setMargins(QMargins());
    const std::array<QRectF, 2> bands = { QRectF(0, 0, 1, 0.48), QRectF(0, 0.51, 1, 0.49) };
    const std::array<QColor, 2> colours = { Qt::yellow, Qt::white };
    for (int i = 0; i < 2; ++i) {
        auto *inset = new QCPAxisRect(plot_, false);
        inset->addAxes(QCPAxis::atBottom | QCPAxis::atRight);
        inset->setAutoMargins(QCP::msNone);
        inset->setMargins(QMargins());
        inset->axis(QCPAxis::atBottom)->setVisible(false);
        styleAxis(inset->axis(QCPAxis::atRight), colours[i]);
        main->insetLayout()->addElement(inset, bands[i]);
        connect(time, qOverload<const QCPRange &>(&QCPAxis::rangeChanged),
                inset->axis(QCPAxis::atBottom), qOverload<const QCPRange &>(&QCPAxis::setRange));
        insets_[i] = inset;
    }

    const std::array<QCPAxis *, SeriesCount> valueAxes
        = { main->axis(QCPAxis::atLeft), main->axis(QCPAxis::atRight),
            insets_[0]->axis(QCPAxis::atRight), insets_[1]->axis(QCPAxis::atRight) };
    const std::array<QColor, SeriesCount> lineColours = { Qt::red, Lime, Qt::yellow, Qt::white };
    const std::array<QString, SeriesCount> seriesTitles
        = { QStringLiteral("电压"), QStringLiteral("电流"), QStringLiteral("容量"),
            QStringLiteral("外温") };
    // Every series takes a sample at the same times: one copy of them serves all four.
    const auto times = std::make_shared<std::vector<double>>();
    for (int s = 0; s < SeriesCount; ++s) {
        QCPAxis *key = s < 2 ? time : insets_[s - 2]->axis(QCPAxis::atBottom);
        graphs_[s] = new DecimatedGraph(key, valueAxes[s], times);
        graphs_[s]->setLayer(curves_);
        graphs_[s]->setPen(QPen(lineColours[s]));
        graphs_[s]->setName(seriesTitles[s]);
    }
    nameAxes();
    setValueRange(Voltage, 0, 55);
    setValueRange(Current, 0, 10);
    setValueRange(Capacity, 0, 5000);
    setValueRange(Temperature, 0, 100);
    connect(plot_, &QCustomPlot::beforeReplot, this, &Chart::applyAutomaticTime);
    connect(plot_, &QCustomPlot::afterLayout, this, &Chart::placeOuterAxes);

    crossHair_ = std::make_unique<CrossHair>(*plot_);
    Chart::paint(false);

    forwardMouse(*plot_, this);
    connect(plot_, &QCustomPlot::mouseDoubleClick, this, &Chart::doubleClicked);
    connect(plot_, &QCustomPlot::axisClick, this, &Chart::toggleSeriesOf);
}

Chart::~Chart() = default;

void Chart::paint(bool paper)
{
    // Navy on screen in every palette, as the live panel is.
    const auto &colours = paper ? PaperColours : ScreenColours;
    plot_->setBackground(paper ? QColor(Qt::white) : Background);
    title_->setTextColor(paper ? Qt::black : Qt::white);
    subtitle_->setTextColor(paper ? QColor(80, 80, 80) : QColor(192, 192, 192));
    colourAxis(plot_->xAxis, paper ? QColor(80, 80, 80) : QColor(192, 192, 192));
    plot_->xAxis->setTickLabelColor(paper ? Qt::black : Qt::white);
    for (int s = 0; s < SeriesCount; ++s) {
        colourAxis(valueAxis(s), colours[s]);
        QPen pen = graphs_[s]->pen();
        pen.setColor(colours[s]);
        graphs_[s]->setPen(pen);
    }
}

void Chart::nameAxes()
{
    static constexpr std::array<const char *, SeriesCount> titles
        = { QT_TRANSLATE_NOOP("Chart", "Voltage(V)"), QT_TRANSLATE_NOOP("Chart", "Current(A)"),
            QT_TRANSLATE_NOOP("Chart", "Capacity(mAh)"),
            QT_TRANSLATE_NOOP("Chart", "External temperature(℃)") };
    for (int s = 0; s < SeriesCount; ++s) {
        titles_[s] = QCoreApplication::translate("Chart", titles[s]);
        valueAxis(s)->setLabel(titles_[s]); // cut short to its axis at the next layout
    }
}

void Chart::changeEvent(QEvent *event)
{
    PlotChart::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        nameAxes();
        changed();
    }
}

QCPAxis *Chart::valueAxis(int series) const
{
    return graphs_[series]->valueAxis();
}

void Chart::addPoint(int series, double xDays, double y)
{
    const QRegion drawingChanged = graphs_[series]->append(xDays * SecondsPerDay, y);
    latest_[series] = y;
    auto &e = extremes_[series];
    e = e ? Range { std::min(e->min, y), std::max(e->max, y) } : Range { y, y };
    if (drawnTimeRange() != plot_->xAxis->range())
        changed();
    else if (!drawingChanged.isEmpty() && graphs_[series]->visible())
        layerChanged(curves_, drawingChanged);
}

void Chart::addPoints(int series, const std::vector<double> &xDays, const std::vector<double> &y)
{
    if (y.empty())
        return;
    std::vector<double> x(xDays.size());
    std::transform(xDays.begin(), xDays.end(), x.begin(),
                   [](double days) { return days * SecondsPerDay; });
    graphs_[series]->append(x.data(), y.data(), y.size());
    latest_[series] = y.back();
    const auto [least, most] = std::minmax_element(y.begin(), y.end());
    auto &e = extremes_[series];
    e = Range { e ? std::min(e->min, *least) : *least, e ? std::max(e->max, *most) : *most };
    changed();
}

void Chart::breakLines()
{
    for (DecimatedGraph *graph : graphs_)
        graph->breakLine();
}

void Chart::clearPoints()
{
    for (int s = 0; s < SeriesCount; ++s) {
        graphs_[s]->clear();
        extremes_[s].reset();
    }
    outerRoom_ = 0;
    changed();
}

qsizetype Chart::pointCount(int series) const
{
    return graphs_[series]->samples().size();
}

double Chart::pointX(int series, qsizetype index) const
{
    return graphs_[series]->samples().x(index) / SecondsPerDay;
}

std::optional<Chart::Range> Chart::valueExtremes(int series) const
{
    return extremes_[series];
}

void Chart::setTimeRange(double minDays, double maxDays)
{
    const QCPRange r(minDays * SecondsPerDay, maxDays * SecondsPerDay);
    if (plot_->xAxis->range() == r)
        return;
    plot_->xAxis->setRange(r);
    changed();
}

void Chart::setTimeMax(double maxDays)
{
    // In days, as the caller read it: seconds turned to days and back may miss by a bit.
    if (plot_->xAxis->range().upper / SecondsPerDay == maxDays)
        return;
    plot_->xAxis->setRangeUpper(maxDays * SecondsPerDay);
    changed();
}

void Chart::setTimeAuto(bool minimum, bool maximum)
{
    autoMin_ = minimum;
    autoMax_ = maximum;
    applyAutomaticTime();
    changed();
}

QCPRange Chart::drawnTimeRange() const
{
    QCPRange r = plot_->xAxis->range();
    const Envelope &points = graphs_[Voltage]->samples();
    if (points.size() == 0)
        return r;
    if (autoMin_)
        r.lower = points.x(0);
    if (autoMax_)
        r.upper = points.x(points.size() - 1);
    if (r.upper <= r.lower) // a single point still needs a span to be drawn
        r.upper = r.lower + 1;
    return r;
}

void Chart::applyAutomaticTime()
{
    const QCPRange r = drawnTimeRange();
    if (r != plot_->xAxis->range())
        plot_->xAxis->setRange(r);
}

Chart::Range Chart::timeRange() const
{
    const QCPRange r = drawnTimeRange();
    return { r.lower / SecondsPerDay, r.upper / SecondsPerDay };
}

void Chart::setValueRange(int series, double min, double max)
{
    // QCustomPlot refuses an empty range; keep the ends as asked and draw a hair wider.
    const QCPRange r(min, max > min ? max : min + 1e-9);
    QCPAxis *axis = valueAxis(series);
    if (axis->range() == r)
        return;
    // A live run's axes grow a hair with nearly every sample, which moves a handful of a
    // curve's pixels and at most a tick or two by a pixel: only the columns that move are drawn
    // again, and the ticks and grid lines without a new layout. In a run's first minutes the
    // labels change with most samples, mostly to ones as wide, which need no layout either.
    const TickChange ticks = suspended_ ? TickChange::Layout : tickChange(*axis, r);
    const int margin = ticks == TickChange::Labels ? axisMargin(axis) : 0;
    // Where the axis drew: narrower labels bring its title in, off its old place.
    const QRect drawn = ticks == TickChange::Layout ? QRect() : axisStrip(axis);
    std::optional<QRegion> moved
        = ticks == TickChange::Layout ? std::nullopt : graphs_[series]->movedBy(r);
    axis->setRange(r);
    if (ticks == TickChange::Labels) {
        AxisTicks::make(axis);
        const int now = axisMargin(axis);
        if (series >= Capacity ? now > outerRoom_ : now != margin)
            moved.reset();
    }
    if (!moved) {
        changed();
        return;
    }
    if (!moved->isEmpty())
        layerChanged(curves_, *moved);
    if (ticks == TickChange::Pixels || ticks == TickChange::Labels) {
        layerChanged(axis->layer(), drawn.united(axisStrip(axis)));
        if (axis->grid()->visible() && axis->grid()->layer() != axis->layer())
            layerChanged(axis->grid()->layer());
    }
}

Chart::Range Chart::valueRange(int series) const
{
    const QCPRange r = valueAxis(series)->range();
    return { r.lower, r.upper - r.lower < 1e-6 ? r.lower : r.upper };
}

void Chart::setTitleLine(const QString &text)
{
    QString line = text;
    while (line.endsWith(u'\n') || line.endsWith(u'\r'))
        line.chop(1);
    showText(title_, line);
}

QString Chart::titleLine() const
{
    return title_->text();
}

QString Chart::accessibleTitle() const
{
    return titleLine().isEmpty() ? PlotChart::accessibleTitle() : titleLine();
}

QString Chart::latestReading() const
{
    QStringList said;
    for (int s = 0; s < SeriesCount; ++s)
        if (const qsizetype n = pointCount(s); n > 0 && seriesShown(s))
            said << titles_[s] + u' ' + QString::number(latest_[s], 'f', s == Capacity ? 0 : 2);
    return said.join(QStringLiteral(", "));
}

void Chart::setSubtitleLine(const QString &text)
{
    // Out of the layout when empty, so the plot keeps its height.
    QCPLayoutGrid *layout = plot_->plotLayout();
    if (text.isEmpty() == subtitle_->visible()) {
        if (text.isEmpty()) {
            layout->take(subtitle_);
            layout->simplify();
        } else {
            layout->insertRow(1);
            layout->addElement(1, 0, subtitle_);
        }
        subtitle_->setVisible(!text.isEmpty());
        subtitle_->setText(text);
        changed();
    } else {
        showText(subtitle_, text);
    }
}

void Chart::showText(ElidedText *line, const QString &text)
{
    if (text == line->text())
        return;
    if (line->setTextResizing(text))
        changed();
    else
        layerChanged(texts_, QRegion(line->outerRect()));
}

QString Chart::subtitleLine() const
{
    return subtitle_->text();
}

void Chart::setRedrawSuspended(bool suspended)
{
    suspended_ = suspended;
    if (!suspended)
        redrawNow();
}

void Chart::redrawNow()
{
    plot_->replot(QCustomPlot::rpImmediateRefresh);
}

void Chart::changed()
{
    if (!suspended_)
        plot_->replot(QCustomPlot::rpQueuedReplot);
}

void Chart::layerChanged(QCPLayer *layer, const QRegion &dirty)
{
    if (suspended_)
        return;
    if (staleLayers_.empty())
        QMetaObject::invokeMethod(this, &Chart::redrawLayers, Qt::QueuedConnection);
    // The curves stay inside the plot's frame; the texts in their lines.
    const QRegion whole = layer == curves_ ? QRegion(plot_->axisRect()->rect())
        : layer == texts_ ? QRegion(title_->outerRect()) + QRegion(subtitle_->outerRect())
                          : QRegion(plot_->rect());
    const auto stale = std::find_if(staleLayers_.begin(), staleLayers_.end(),
                                    [layer](const auto &s) { return s.first == layer; });
    if (stale == staleLayers_.end())
        staleLayers_.emplace_back(layer, dirty.isEmpty() ? whole : dirty);
    else
        stale->second += dirty.isEmpty() ? whole : dirty;
}

void Chart::redrawLayers()
{
    for (const auto &[layer, dirty] : staleLayers_)
        redrawLayer(*plot_, layer, dirty);
    staleLayers_.clear();
}

bool Chart::seriesShown(int series) const
{
    return graphs_[series]->visible();
}

void Chart::setSeriesShown(int series, bool shown)
{
    if (graphs_[series]->visible() == shown)
        return;
    graphs_[series]->setVisible(shown);
    changed();
}

double Chart::timeAtPixel(int x) const
{
    return plot_->xAxis->pixelToCoord(x) / SecondsPerDay;
}

QPoint Chart::pointPixel(int series, qsizetype index) const
{
    const Envelope &points = graphs_[series]->samples();
    return QPointF(graphs_[series]->keyAxis()->coordToPixel(points.x(index)),
                   valueAxis(series)->coordToPixel(points.y(index)))
        .toPoint();
}

void Chart::toggleSeriesOf(const QCPAxis *axis)
{
    for (DecimatedGraph *graph : graphs_)
        if (graph->valueAxis() == axis) {
            graph->setVisible(!graph->visible());
            changed();
            emit seriesShownChanged();
        }
}

void Chart::showCrossHair(QPoint at, const QString &label)
{
    crossHair_->show(at, label);
}

void Chart::hideCrossHair()
{
    crossHair_->hide();
}

bool Chart::crossHairShown() const
{
    return crossHair_->shown();
}

QString Chart::crossHairLabel() const
{
    return crossHair_->label();
}

void Chart::setReferenceTime(std::optional<double> days)
{
    crossHair_->setReference(days ? std::optional(*days * SecondsPerDay) : std::nullopt);
}

std::optional<double> Chart::referenceTime() const
{
    const auto seconds = crossHair_->reference();
    return seconds ? std::optional(*seconds / SecondsPerDay) : std::nullopt;
}

void Chart::leaveEvent(QEvent *event)
{
    PlotChart::leaveEvent(event);
    hideCrossHair();
}

int Chart::smallestTextPx() const
{
    return std::min(subtitle_->font().pixelSize(), plot_->xAxis->tickLabelFont().pixelSize());
}

QByteArray Chart::toSvg()
{
    const OnPaper paper(*this);
    return crossHair_->svg(pictureSize(), logicalDpiX(), titleLine());
}

QImage Chart::toImage()
{
    const OnPaper paper(*this);
    return crossHair_->image(pictureSize());
}

void Chart::print(QPrinter &printer)
{
    const OnPaper paper(*this);
    crossHair_->print(printer, pictureSize(), smallestTextPx());
}

OuterBands outerBands(int height, int labelHeight)
{
    // Half a label overhangs each end of an axis: the bands stand a label and a gap apart.
    const double gap = std::max(0.03, (labelHeight + 4.0) / std::max(height, 1));
    const double upper = std::min(0.48, (1 - gap) / 2);
    return { QRectF(0, 0, 1, upper), QRectF(0, upper + gap, 1, 1 - upper - gap) };
}

void Chart::placeOuterAxes()
{
    QCPAxisRect *main = plot_->axisRect();
    const int labelHeight = QFontMetrics(valueAxis(Capacity)->tickLabelFont()).height();
    const OuterBands bands = outerBands(main->rect().height(), labelHeight);
    bool moved = false;
    const auto set = [&moved](auto &&setter, auto now, auto wanted) {
        if (now != wanted) {
            setter(wanted);
            moved = true;
        }
    };
    for (int s = 0; s < SeriesCount; ++s) {
        QCPAxis *axis = valueAxis(s);
        const QRectF band = s < 2 ? QRectF(0, 0, 1, 1) : bands[s - 2];
        const int length = int(main->rect().height() * band.height());
        // A title that is longer than its axis is cut short rather than run into the next;
        // a label and as much again between the numbers.
        const QString title = QFontMetrics(axis->labelFont())
                                  .elidedText(titles_[s], Qt::ElideRight, std::max(length, 1));
        set([axis](const QString &t) { axis->setLabel(t); }, axis->label(), title);
        set([axis](int n) { axis->ticker()->setTickCount(n); }, axis->ticker()->tickCount(),
            std::clamp(length / (2 * labelHeight), 1, 5));
        if (s < 2)
            continue;
        QCPLayoutInset *layout = main->insetLayout();
        const int index = int(layout->elements(false).indexOf(insets_[s - 2]));
        set([&](const QRectF &r) { layout->setInsetRect(index, r); }, layout->insetRect(index),
            band);
    }
    // The time labels below the value axes' lowest, which overhang the plot by half a label.
    QCPAxis *time = plot_->xAxis;
    set([time](int p) { time->setTickLabelPadding(p); }, time->tickLabelPadding(),
        labelHeight / 2 + 3);
    // The outer axes stand clear of the current axis's labels and title, at least 6 % of the
    // width further out, and the plot leaves room for their own beyond.
    const int offset = std::max(axisMargin(valueAxis(Current)) + labelHeight / 2,
                                plot_->viewport().width() * 6 / 100);
    // Their room is the widest their labels took since the points were cleared: a run's first
    // minutes change the labels' width with most samples, and the plot would change its width,
    // and be laid out and drawn again whole, as often.
    for (QCPAxisRect *inset : insets_) {
        QCPAxis *axis = inset->axis(QCPAxis::atRight);
        set([axis](int o) { axis->setOffset(o); }, axis->offset(), offset);
        outerRoom_ = std::max(outerRoom_, axisMargin(axis));
    }
    const int outer = outerRoom_;
    set([main](const QMargins &m) { main->setMargins(m); }, main->margins(),
        QMargins(main->margins().left(), main->margins().top(), offset + outer + labelHeight / 2,
                 main->margins().bottom()));
    if (moved)
        for (auto phase : { QCPLayoutElement::upPreparation, QCPLayoutElement::upMargins,
                            QCPLayoutElement::upLayout })
            plot_->plotLayout()->update(phase);
}
