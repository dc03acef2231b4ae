#include "platform/compare_chart.h"

#include "platform/cross_hair.h"
#include "platform/decimated_graph.h"

#include <qcustomplot.h>

namespace {
// Okabe and Ito's colours, the yellow last: on white it is the faintest.
constexpr std::array<QRgb, CompareChart::Colours> Palette
    = { 0x000000, 0xE69F00, 0x56B4E9, 0x009E73, 0x0072B2, 0xD55E00, 0xCC79A7, 0xF0E442 };
constexpr std::array<Qt::PenStyle, 5> Styles
    = { Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine };

// A legend entry that never widens the legend: its text is cut short with "…" for the width it
// is drawn at, so a long description leaves the run's number and colour in view.
class ElidedEntry : public QCPPlottableLegendItem {
public:
    using QCPPlottableLegendItem::QCPPlottableLegendItem;

protected:
    QSize minimumOuterSizeHint() const override
    {
        return { 0, QCPPlottableLegendItem::minimumOuterSizeHint().height() };
    }
    void draw(QCPPainter *painter) override
    {
        const QString name = mPlottable->name();
        painter->setFont(getFont());
        const int room
            = mRect.width() - mParentLegend->iconSize().width() - mParentLegend->iconTextPadding();
        mPlottable->setName(painter->fontMetrics().elidedText(name, Qt::ElideRight, room));
        QCPPlottableLegendItem::draw(painter);
        mPlottable->setName(name);
    }
};

// The range `r` widened about its middle to at least `span`.
QCPRange atLeast(const QCPRange &r, double span)
{
    return r.size() >= span ? r : QCPRange(r.center() - span / 2, r.center() + span / 2);
}
} // namespace

QColor CompareChart::colour(int run)
{
    return QColor(Palette[size_t(run) % Palette.size()]);
}

Qt::PenStyle CompareChart::style(int quantity)
{
    return Styles[size_t(quantity) % Styles.size()];
}

CompareChart::CompareChart(QWidget *parent) : PlotChart(parent)
{
    plot_->setAttribute(Qt::WA_OpaquePaintEvent);
    plot_->setInteractions(QCP::iRangeZoom);
    plot_->setNotAntialiasedElements(QCP::aePlottables);
    plot_->setAutoAddPlottableToLegend(false);
    QCPAxisRect *rect = plot_->axisRect();
    rect->setRangeZoomAxes({ plot_->xAxis }, { plot_->yAxis, plot_->yAxis2 });
    plot_->yAxis2->setVisible(true);
    // Below the curves, two entries a row, as high as its entries need.
    QCPLegend *legend = plot_->legend;
    rect->insetLayout()->take(legend);
    plot_->plotLayout()->addElement(1, 0, legend);
    plot_->plotLayout()->setRowStretchFactor(1, 0.001);
    legend->setVisible(true);
    legend->setFont(pixelFont(legend->font()));
    legend->setBorderPen(Qt::NoPen);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setWrap(2);
    plot_->layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    crossHair_ = std::make_unique<CrossHair>(*plot_, Qt::darkGray);
    CompareChart::paint(false);
    sparing_.setSingleShot(true);
    connect(&sparing_, &QTimer::timeout, this, &CompareChart::redraw);
    forwardMouse(*plot_, this);
    connect(plot_, &QCustomPlot::mouseWheel, this, [this] { zoomed_ = true; });
    connect(plot_, &QCustomPlot::mousePress, this, &CompareChart::drag);
    connect(plot_, &QCustomPlot::mouseMove, this, &CompareChart::drag);
    connect(plot_, &QCustomPlot::mouseDoubleClick, this, &CompareChart::showAll);
}

CompareChart::~CompareChart() = default;

QColor CompareChart::inked(const QColor &colour) const
{
    return colour == QColor(Palette[0]) ? firstInk_ : colour;
}

void CompareChart::paint(bool paper)
{
    PlotChart::paint(paper);
    // The first run's black is the text's colour, light on a dark desktop.
    const QColor first = ink(paper).text;
    for (int i = 0; i < plot_->graphCount(); ++i) {
        QPen pen = plot_->graph(i)->pen();
        if (pen.color() == firstInk_) {
            pen.setColor(first);
            plot_->graph(i)->setPen(pen);
        }
    }
    firstInk_ = first;
}

void CompareChart::clear()
{
    plot_->clearGraphs();
    curves_.clear();
}

int CompareChart::addCurve(std::vector<double> x, const std::vector<double> &y, int run,
                           int quantity, bool rightAxis, const QString &legend)
{
    auto *g = new DecimatedGraph(plot_->xAxis, rightAxis ? plot_->yAxis2 : plot_->yAxis);
    g->setPen(QPen(inked(colour(run)), 1, style(quantity)));
    g->assign(std::move(x), y);
    g->setName(legend);
    if (!legend.isEmpty())
        plot_->legend->addItem(new ElidedEntry(plot_->legend, g));
    curves_.push_back(g);
    return int(curves_.size()) - 1;
}

void CompareChart::addKey(const QColor &colour, int quantity, const QString &name)
{
    QCPGraph *g = plot_->addGraph();
    g->setPen(QPen(inked(colour), 1, style(quantity)));
    g->setName(name);
    plot_->legend->addItem(new ElidedEntry(plot_->legend, g));
}

void CompareChart::append(int curve, double x, double y)
{
    DecimatedGraph *g = curves_[size_t(curve)];
    g->append(x, y);
    if (zoomed_)
        return;
    for (auto [axis, v] : { std::pair { g->keyAxis(), x }, std::pair { g->valueAxis(), y } })
        if (!axis->range().contains(v))
            axis->setRange(axis->range().expanded(v));
}

void CompareChart::setLabels(const QString &x, const QString &left, const QString &right, bool time)
{
    if (time) {
        auto ticker = QSharedPointer<QCPAxisTickerTime>::create();
        ticker->setTimeFormat(QStringLiteral("%h:%m:%s"));
        plot_->xAxis->setTicker(ticker);
    } else {
        plot_->xAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
    }
    plot_->xAxis->setLabel(x);
    plot_->yAxis->setLabel(left);
    plot_->yAxis2->setLabel(right);
    plot_->yAxis2->setVisible(!right.isEmpty());
}

void CompareChart::setLeastSpans(double left, double right)
{
    leastLeft_ = left;
    leastRight_ = right;
}

void CompareChart::rescale()
{
    if (!zoomed_) {
        plot_->rescaleAxes();
        for (auto [axis, least] :
             { std::pair { plot_->yAxis, leastLeft_ }, std::pair { plot_->yAxis2, leastRight_ } }) {
            axis->scaleRange(1.05);
            axis->setRange(atLeast(axis->range(), least));
        }
    }
    redraw();
}

void CompareChart::showAll()
{
    zoomed_ = false;
    rescale();
}

void CompareChart::drag(QMouseEvent *event)
{
    if (!event->buttons().testFlag(Qt::RightButton)) {
        dragged_.reset();
        return;
    }
    const QPoint at = event->position().toPoint();
    if (dragged_) {
        QCPAxis *x = plot_->xAxis;
        x->moveRange(x->pixelToCoord(dragged_->x()) - x->pixelToCoord(at.x()));
        for (QCPAxis *y : { plot_->yAxis, plot_->yAxis2 })
            y->moveRange(y->pixelToCoord(dragged_->y()) - y->pixelToCoord(at.y()));
        zoomed_ = true;
        redraw();
    }
    dragged_ = at;
}

void CompareChart::redrawSparingly()
{
    if (sparing_.isActive())
        return;
    // The last drawing's milliseconds, once per that many seconds.
    sparing_.start(std::clamp(int(drawMs() * 1000), 1000, 60'000));
}

void CompareChart::redraw()
{
    sparing_.stop();
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

double CompareChart::drawMs() const
{
    return plot_->replotTime();
}

double CompareChart::keyAt(int pixelX) const
{
    return plot_->xAxis->pixelToCoord(pixelX);
}

QRect CompareChart::plotArea() const
{
    return plot_->axisRect()->rect();
}

int CompareChart::pixelOf(double key) const
{
    return qRound(plot_->xAxis->coordToPixel(key));
}

QByteArray CompareChart::toSvg(const QString &title)
{
    const OnPaper paper(*this);
    return crossHair_->svg(pictureSize(), logicalDpiX(), title);
}

QImage CompareChart::toImage()
{
    const OnPaper paper(*this);
    return crossHair_->image(pictureSize());
}

void CompareChart::print(QPrinter &printer)
{
    const OnPaper paper(*this);
    crossHair_->print(printer, pictureSize(), QFontInfo(plot_->xAxis->tickLabelFont()).pixelSize());
}

void CompareChart::leaveEvent(QEvent *event)
{
    PlotChart::leaveEvent(event);
    crossHair_->hide();
}
