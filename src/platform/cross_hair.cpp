#include "platform/cross_hair.h"

#include "platform/chart.h"
#include "platform/pdf_text.h"

#include <qcustomplot.h>

#include <QPrinter>
#include <QtMath>

#include <memory>

namespace {
const QColor Marker(255, 160, 0);

// QCPLayer::replot() repaints the whole plot (2.7 ms at 1600x900), and even a layer's own
// buffer costs as much to clear and draw whole on a dense screen, where a moving cross-hair
// or a new line of text needs only its strips redrawn: these reach the layer's buffer and its
// items to redraw those strips alone.
struct CrossHairLayer : QCPLayer {
    static QSharedPointer<QCPAbstractPaintBuffer> buffer(QCPLayer *layer)
    {
        return (layer->*(&CrossHairLayer::mPaintBuffer)).toStrongRef();
    }
};
struct LayerItem : QCPLayerable {
    // As its layer draws it, within the painter's clip.
    static void drawClipped(QCPLayerable *item, QCPPainter *painter)
    {
        painter->save();
        painter->setClipRect((item->*(&LayerItem::clipRect))().translated(0, -1),
                             Qt::IntersectClip);
        (item->*(&LayerItem::applyDefaultAntialiasingHint))(painter);
        (item->*(&LayerItem::draw))(painter);
        painter->restore();
    }
};

struct AxisMargin : QCPAxis {
    static int of(QCPAxis *axis) { return (axis->*(&AxisMargin::calculateMargin))(); }
};

// The cross-hair's upright or level line, filled as a rectangle one pixel wide on screen: a
// stroked line goes through the general span blender, which hands a tall line's rows to helper
// threads and waits for them, many times the work.
class PixelLine : public QCPItemStraightLine {
public:
    using QCPItemStraightLine::QCPItemStraightLine;

protected:
    void draw(QCPPainter *painter) override
    {
        if (painter->modes().testFlag(QCPPainter::pmVectorized)) {
            QCPItemStraightLine::draw(painter);
            return;
        }
        const QPointF a = point1->pixelPosition(), b = point2->pixelPosition();
        const QRect clip = clipRect();
        painter->fillRect(a.x() == b.x() ? QRect(int(a.x()), clip.top(), 1, clip.height())
                                         : QRect(clip.left(), int(a.y()), clip.width(), 1),
                          pen().color());
    }
};

} // namespace

// The read-out, measured once when its text is set: the plot's own text item measures it again
// at every drawing, where a comparison's lines of text cost more than the cross-hair's moves.
class CrossHair::ReadOut : public QCPItemText {
public:
    using QCPItemText::QCPItemText;
    // The size of its box, frame included.
    QSize setMeasuredText(const QString &text)
    {
        setText(text);
        textRect_
            = QFontMetrics(font()).boundingRect(QRect(), Qt::TextDontClip | textAlignment(), text);
        return textRect_.size().grownBy(padding() + QMargins(1, 1, 1, 1));
    }

protected:
    void draw(QCPPainter *painter) override
    {
        if (painter->modes().testFlag(QCPPainter::pmVectorized)) {
            QCPItemText::draw(painter);
            return;
        }
        // As the plot's item draws it from its top left: the box, the text inside its padding.
        painter->translate(position->pixelPosition());
        const QRect text = textRect_.translated(padding().left() - textRect_.left(),
                                                padding().top() - textRect_.top());
        // The box's inside, the device pixels it covers whole, filled in bands and clipped to
        // itself: a blend of more spans (smoothed edges, several pieces of clip) the raster
        // engine hands to its threads and waits for, which costs a comparison's read-out more
        // than the filling. Its edge pixels are under the frame; all of it is being redrawn.
        const QRect box = text.marginsAdded(padding());
        const QRectF on = painter->transform().mapRect(QRectF(box));
        const QRect inside(QPoint(qCeil(on.left()), qCeil(on.top())),
                           QPoint(qFloor(on.right()) - 1, qFloor(on.bottom()) - 1));
        painter->save();
        painter->resetTransform();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setClipRect(inside);
        for (int y = inside.top(); y <= inside.bottom(); y += Band)
            painter->fillRect(
                QRect(inside.left(), y, inside.width(), std::min(Band, inside.bottom() + 1 - y)),
                brush());
        painter->restore();
        painter->setPen(pen());
        painter->drawRect(box);
        painter->setPen(QPen(color()));
        painter->setFont(font());
        painter->drawText(text, Qt::TextDontClip | textAlignment(), this->text());
    }

private:
    static constexpr int Band = 64;
    QRect textRect_;
};

int axisMargin(QCPAxis *axis)
{
    return AxisMargin::of(axis);
}

QRect axisStrip(QCPAxis *axis)
{
    const QRect r = axis->axisRect()->rect(), plot = axis->parentPlot()->viewport();
    // From its line, `offset` out from the rect, with a pixel of slack each way: the plot
    // draws the line beside the rect's edge.
    const int in = std::max(axis->tickLengthIn(), axis->subTickLengthIn()) + 1 - axis->offset();
    const int out = axis->offset() + axisMargin(axis) + 1;
    // An upright axis's labels overhang its ends by half a label.
    const int label = QFontMetrics(axis->tickLabelFont()).height();
    const int top = std::max(plot.top(), r.top() - label),
              bottom = std::min(plot.bottom(), r.bottom() + label);
    switch (axis->axisType()) {
    case QCPAxis::atLeft:
        return { QPoint(r.left() - out, top), QPoint(r.left() + in, bottom) };
    case QCPAxis::atRight:
        return { QPoint(r.right() - in, top), QPoint(r.right() + out, bottom) };
    case QCPAxis::atTop:
        return { QPoint(plot.left(), r.top() - out), QPoint(plot.right(), r.top() + in) };
    case QCPAxis::atBottom:
        break;
    }
    return { QPoint(plot.left(), r.bottom() - in), QPoint(plot.right(), r.bottom() + out) };
}

void redrawLayer(QCustomPlot &plot, QCPLayer *layer, const QRegion &dirty)
{
    const QSharedPointer<QCPAbstractPaintBuffer> buffer = CrossHairLayer::buffer(layer);
    if (!buffer) { // not drawn yet
        layer->replot();
        return;
    }
    {
        const std::unique_ptr<QCPPainter> painter(buffer->startPainting());
        const QRegion cleared = buffer->invalidated() ? QRegion(plot.rect()) : dirty;
        // Rectangle by rectangle, unclipped, and by copying: the raster engine then fills
        // each itself, where a fill under a clip of several rectangles goes span by span to
        // its threads and waits for them.
        painter->setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect &r : cleared)
            painter->fillRect(r, Qt::transparent);
        painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter->setClipRegion(cleared);
        // Layers without a buffer of their own share the one of the buffered layer below.
        for (int i = 0; i < plot.layerCount(); ++i)
            if (QCPLayer *shared = plot.layer(i); CrossHairLayer::buffer(shared) == buffer)
                for (QCPLayerable *item : shared->children()) {
                    auto *axis = qobject_cast<QCPAxis *>(item);
                    if (item->realVisibility() && (!axis || cleared.intersects(axisStrip(axis))))
                        LayerItem::drawClipped(item, painter.get());
                }
    }
    buffer->donePainting();
    buffer->setInvalidated(false);
    plot.update(dirty);
}

QFont pixelFont(const QFont &font)
{
    QFont f = font;
    f.setPixelSize(QFontInfo(font).pixelSize());
    return f;
}

CrossHair::CrossHair(QCustomPlot &plot, const QColor &colour) : plot_(plot)
{
    // Nothing is drawn on the overlay layer: painted with the rest, it spares a buffer on
    // every repaint. The cross-hair, its label and the reference line get a buffer of their
    // own, above everything.
    plot_.layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    plot_.addLayer(QStringLiteral("crosshair"));
    layer_ = plot_.layer(QStringLiteral("crosshair"));
    layer_->setMode(QCPLayer::lmBuffered);
    for (QCPItemStraightLine *&line : lines_) {
        line = new PixelLine(&plot_);
        line->setLayer(layer_);
        line->setPen(QPen(colour));
        line->setSelectable(false);
        line->setVisible(false);
        line->point1->setType(QCPItemPosition::ptAbsolute);
        line->point2->setType(QCPItemPosition::ptAbsolute);
    }
    label_ = new ReadOut(&plot_);
    label_->setLayer(layer_);
    label_->setSelectable(false);
    label_->setVisible(false);
    label_->setClipToAxisRect(false);
    label_->position->setType(QCPItemPosition::ptAbsolute);
    label_->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setTextAlignment(Qt::AlignLeft);
    label_->setColor(Qt::white);
    label_->setBrush(QColor(0, 0, 64, 210));
    label_->setPen(QPen(Marker));
    label_->setPadding(QMargins(4, 2, 4, 2));
    QFont labelFont = plot_.font();
    labelFont.setPixelSize(12);
    label_->setFont(labelFont);
    reference_ = new QCPItemStraightLine(&plot_);
    reference_->setLayer(layer_);
    reference_->setPen(QPen(Marker, 1, Qt::DashLine));
    reference_->setSelectable(false);
    reference_->setVisible(false);
}

void CrossHair::show(QPoint at, const QString &label)
{
    const QRegion before = region();
    lines_[0]->point1->setCoords(at.x(), 0);
    lines_[0]->point2->setCoords(at.x(), 1);
    lines_[1]->point1->setCoords(0, at.y());
    lines_[1]->point2->setCoords(1, at.y());
    at_ = at;
    for (QCPItemStraightLine *line : lines_)
        line->setVisible(true);
    label_->setVisible(!label.isEmpty());
    if (!label.isEmpty()) {
        const QSize size = label_->setMeasuredText(label);
        // Inside the plot, clear of the axes and their labels.
        const QPoint p = labelPlace(at, size, plot_.axisRect()->rect());
        label_->position->setCoords(p);
        labelRect_ = QRect(p, size);
    }
    redrawLayer(plot_, layer_, before + region());
}

void CrossHair::hide()
{
    if (!shown())
        return;
    const QRegion before = region();
    for (QCPItemStraightLine *line : lines_)
        line->setVisible(false);
    label_->setVisible(false);
    redrawLayer(plot_, layer_, before);
}

QRegion CrossHair::region() const
{
    if (!shown())
        return {};
    const QPoint p = at_;
    QRegion strips
        = QRegion(p.x() - 1, 0, 3, plot_.height()) + QRegion(0, p.y() - 1, plot_.width(), 3);
    if (label_->visible())
        strips += labelRect_.adjusted(-1, -1, 1, 1);
    return strips;
}

void CrossHair::setReference(std::optional<double> key)
{
    const QRegion before = referenceRegion();
    reference_->setVisible(key.has_value());
    if (key) {
        // Two points on one key make the line vertical, whatever the value axis shows.
        reference_->point1->setCoords(*key, 0);
        reference_->point2->setCoords(*key, 1);
    }
    redrawLayer(plot_, layer_, before + referenceRegion());
}

std::optional<double> CrossHair::reference() const
{
    if (!reference_->visible())
        return std::nullopt;
    return reference_->point1->key();
}

QRegion CrossHair::referenceRegion() const
{
    if (!reference_->visible())
        return {};
    const int x = qRound(plot_.xAxis->coordToPixel(reference_->point1->key()));
    return QRegion(x - 2, 0, 5, plot_.height());
}

bool CrossHair::shown() const
{
    return lines_[0]->visible();
}

QString CrossHair::label() const
{
    return shown() && label_->visible() ? label_->text() : QString();
}

void CrossHair::render(QPaintDevice &device, const QRectF &target, QSize size)
{
    const QSizeF fitted = QSizeF(size).scaled(target.size(), Qt::KeepAspectRatio);
    layer_->setVisible(false);
    {
        QCPPainter painter(&device);
        painter.setMode(QCPPainter::pmVectorized);
        painter.translate(target.center() - QPointF(fitted.width(), fitted.height()) / 2);
        painter.scale(fitted.width() / size.width(), fitted.height() / size.height());
        plot_.toPainter(&painter, size.width(), size.height());
    }
    layer_->setVisible(true);
    if (size != plot_.size()) // the screen's layout back, for the mouse and the cross-hair
        plot_.replot(QCustomPlot::rpQueuedRefresh);
}

QByteArray CrossHair::svg(QSize size, int dpi, const QString &title)
{
    return svgPicture(size, dpi, title,
                      [&](QPaintDevice &svg) { render(svg, QRectF(QPointF(), size), size); });
}

QImage CrossHair::image(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    render(image, image.rect(), image.size());
    return image;
}

void CrossHair::print(QPrinter &printer, QSize screen, int smallestPx)
{
    const PrintPlan plan
        = printPlan(printer.pageLayout().paintRect(QPageLayout::Point).size(), screen, smallestPx);
    const double pixelsPerPoint = printer.resolution() / 72.0;
    render(printer,
           QRectF(plan.target.topLeft() * pixelsPerPoint, plan.target.size() * pixelsPerPoint),
           plan.layout);
    mendPdfText(printer);
}
