#include "platform/plot_chart.h"

#include "platform/accessible.h"
#include "platform/cross_hair.h"

#include <QBuffer>
#include <QSvgGenerator>
#include <qcustomplot.h>

QByteArray svgPicture(QSize size, int dpi, const QString &title,
                      const std::function<void(QPaintDevice &)> &draw)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setResolution(dpi);
    svg.setViewBox(QRect(QPoint(), size));
    svg.setTitle(title.toHtmlEscaped()); // Qt writes it as it is given
    draw(svg);
    return buffer.data();
}

namespace {
// Paints the plot's layers one rectangle of the region at a time. Over a region of several
// rectangles (a read-out or another window over part of the plot) the raster engine blends a
// layer span by span and hands each large blend to its threads, then waits for them: for a
// cross line that moves, that waiting cost more than the blending.
class Plot : public QCustomPlot {
public:
    using QCustomPlot::QCustomPlot;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        if (!qFuzzyCompare(mBufferDevicePixelRatio, devicePixelRatioF())) {
            QCustomPlot::paintEvent(event); // takes the new ratio and draws again
            return;
        }
        QCPPainter painter(this);
        for (const QRect &r : event->region()) {
            painter.setClipRect(r);
            if (mBackgroundBrush.style() != Qt::NoBrush)
                painter.fillRect(mViewport, mBackgroundBrush);
            drawBackground(&painter);
            for (const QSharedPointer<QCPAbstractPaintBuffer> &buffer :
                 std::as_const(mPaintBuffers))
                buffer->draw(&painter);
        }
    }
};
} // namespace

PlotChart::PlotChart(QWidget *parent) : QWidget(parent), plot_(new Plot(this))
{
    installAccessibility();
    for (QCPAxis *axis : plot_->axisRect()->axes()) {
        axis->setTickLabelFont(pixelFont(axis->tickLabelFont()));
        axis->setLabelFont(pixelFont(axis->labelFont()));
    }
    PlotChart::paint(false);
    connect(plot_, &QCustomPlot::beforeReplot, this, &PlotChart::fitCurvePens);
}

void PlotChart::fitCurvePens()
{
    // On screen as many device pixels as the scale (a cosmetic pen's width is in them); on
    // paper and in pictures 1 px of the page, as before.
    const bool screen = !onPaper_;
    for (int i = 0; i < plot_->plottableCount(); ++i) {
        QCPAbstractPlottable *curve = plot_->plottable(i);
        QPen pen = curve->pen();
        if (!pen.isCosmetic() && pen.widthF() > 1) // wide on purpose
            continue;
        pen.setCosmetic(screen);
        pen.setWidthF(screen ? devicePixelRatioF() : 1);
        curve->setPen(pen);
    }
}

QString PlotChart::accessibleTitle() const
{
    const QWidget *titled = this;
    while (titled->windowTitle().isEmpty() && titled->parentWidget())
        titled = titled->parentWidget();
    return titled->windowTitle();
}

PlotChart::Ink PlotChart::ink(bool paper) const
{
    if (paper)
        return { Qt::white, Qt::black, QColor(200, 200, 200) };
    const QPalette &p = palette();
    return { p.color(QPalette::Base), p.color(QPalette::Text), p.color(QPalette::Mid) };
}

void PlotChart::paint(bool paper)
{
    const Ink i = ink(paper);
    plot_->setBackground(i.background);
    for (QCPAxis *axis : plot_->axisRect()->axes()) {
        for (auto setPen : { &QCPAxis::setBasePen, &QCPAxis::setTickPen, &QCPAxis::setSubTickPen })
            (axis->*setPen)(QPen(i.text));
        axis->setTickLabelColor(i.text);
        axis->setLabelColor(i.text);
        axis->grid()->setPen(QPen(i.grid, 0, Qt::DotLine));
    }
    plot_->legend->setBrush(i.background);
    plot_->legend->setTextColor(i.text);
}

void PlotChart::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        paint(false);
        plot_->replot(QCustomPlot::rpQueuedReplot);
    }
}

PlotChart::OnPaper::OnPaper(PlotChart &chart) : chart_(chart)
{
    chart_.onPaper_ = true;
    chart_.fitCurvePens();
    chart_.paint(true);
}

PlotChart::OnPaper::~OnPaper()
{
    chart_.onPaper_ = false;
    chart_.paint(false);
    chart_.plot_->replot(QCustomPlot::rpQueuedReplot);
}

QSize PlotChart::pictureSize() const
{
    // A plot not laid out yet has a child's default size, not one of its chart.
    return plot_->testAttribute(Qt::WA_Resized) && !plot_->size().isEmpty() ? plot_->size()
                                                                            : sizeHint();
}

void PlotChart::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    plot_->setGeometry(rect());
}
