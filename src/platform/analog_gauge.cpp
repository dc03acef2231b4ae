#include "platform/analog_gauge.h"

#include "platform/bitmaps.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QtMath>

namespace {
// Everything is laid out on a 110 x 110 design and scaled to the widget.
constexpr qreal Design = 110;
constexpr QPointF Centre(55, 55);
constexpr qreal StartAngle = 225, Sweep = 270; // degrees, counter-clockwise from 3 o'clock
constexpr QRectF NeedleBox(-12, -4, 56, 8); // the needle pointing right, with its pens
constexpr QRectF HubBox(Centre - QPointF(6.5, 6.5), QSizeF(13, 13));

QPointF polar(qreal radius, qreal degrees)
{
    const qreal a = qDegreesToRadians(degrees);
    return Centre + QPointF(radius * qCos(a), -radius * qSin(a));
}

qreal angleOf(double value, double maximum)
{
    const double f = maximum > 0 ? std::clamp(value / maximum, 0.0, 1.0) : 0.0;
    return StartAngle - Sweep * f;
}

void zone(QPainter &painter, double from, double to, double maximum, QColor colour)
{
    if (to <= from || maximum <= 0)
        return;
    const qreal r = 43;
    const qreal a0 = angleOf(from, maximum), a1 = angleOf(to, maximum);
    painter.setPen(QPen(colour, 3.2, Qt::SolidLine, Qt::FlatCap));
    painter.drawArc(QRectF(Centre.x() - r, Centre.y() - r, 2 * r, 2 * r), qRound(a0 * 16),
                    qRound((a1 - a0) * 16));
}

// The warning zones (from the first mark, and red from the second to the end) and the ticks
// (every step and half step), all as fractions of the scale. Every grown scale has them at the
// same fractions, so one picture serves them all.
QPixmap dial(QSize size, qreal dpr, double first, double second, double step, int steps)
{
    const QString key = QStringLiteral("gauge-dial:%1@%2:%3:%4:%5:%6")
                            .arg(size.width())
                            .arg(dpr)
                            .arg(first)
                            .arg(second)
                            .arg(step)
                            .arg(steps);
    QPixmap picture;
    if (QPixmapCache::find(key, &picture))
        return picture;
    picture = clearPicture(size, dpr);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size.width() / Design, size.width() / Design);
        zone(painter, first, second, 1, QColor(255, 176, 0, 200));
        zone(painter, second, 1, 1, QColor(255, 48, 48, 220));
        std::array<QList<QLineF>, 2> ticks; // minor, major
        for (int i = 0; i <= 2 * steps; ++i) {
            const qreal a = angleOf(step * i / 2, 1);
            const bool major = i % 2 == 0;
            ticks[major].append(QLineF(polar(major ? 38 : 41.5, a), polar(45.5, a)));
        }
        painter.setPen(QPen(QColor(140, 148, 158), 0.8, Qt::SolidLine, Qt::FlatCap));
        painter.drawLines(ticks[0]);
        painter.setPen(QPen(QColor(235, 238, 242), 1.3, Qt::SolidLine, Qt::FlatCap));
        painter.drawLines(ticks[1]);
    }
    QPixmapCache::insert(key, picture);
    return picture;
}
} // namespace

AnalogGauge::AnalogGauge(QColor needleColor, QWidget *parent)
    : QWidget(parent), needleColor_(needleColor)
{
    setAccessibleDescription(QStringLiteral("0"));
}

void AnalogGauge::faceChanged()
{
    face_ = QPixmap();
    update();
}

void AnalogGauge::plateChanged()
{
    plate_ = QPixmap();
    faceChanged();
}

void AnalogGauge::setCaption(const QString &caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    setAccessibleName(caption);
    plateChanged();
}

void AnalogGauge::setUnit(const QString &unit)
{
    if (unit == unit_)
        return;
    unit_ = unit;
    plateChanged();
}

void AnalogGauge::setBackground(const QString &bitmap)
{
    if (bitmap == background_)
        return;
    background_ = bitmap;
    plateChanged();
}

void AnalogGauge::setScale(const Scale &scale)
{
    if (scale == scale_)
        return;
    scale_ = scale;
    faceChanged();
}

void AnalogGauge::setValue(double value)
{
    if (value == value_)
        return;
    const bool moves = angleOf(value, scale_.maximum) != angleOf(value_, scale_.maximum);
    const QRect from = needleArea();
    value_ = value;
    setAccessibleDescription(QString::number(value));
    if (moves)
        update(from.united(needleArea()));
}

QRect AnalogGauge::needleArea() const
{
    // The needle with its shadow and the hub, with room for their pens.
    const qreal a = angleOf(value_, scale_.maximum);
    const QRectF design
        = QPolygonF({ polar(41, a), polar(-9, a), Centre + QPointF(6, 6), Centre - QPointF(6, 6) })
              .boundingRect()
              .adjusted(-4, -4, 4, 4);
    const qreal k = std::min(width(), height()) / Design;
    return QRectF(design.topLeft() * k, design.bottomRight() * k).toAlignedRect();
}

// The background with the unit and caption, which a new scale leaves as they are.
QPixmap AnalogGauge::plate(QSize size, qreal dpr)
{
    if (drawnFor(plate_, size, dpr))
        return plate_;
    plate_ = background_.isEmpty() ? clearPicture(size, dpr)
                                   : bitmapResource(background_, size, dpr).copy();
    QPainter painter(&plate_);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(size.width() / Design, size.width() / Design);
    QFont unit = font();
    unit.setPixelSize(9);
    painter.setFont(unit);
    painter.setPen(QColor(150, 160, 170));
    painter.drawText(QRectF(35, 66, 40, 11), Qt::AlignCenter, unit_);
    QFont caption = font();
    caption.setPixelSize(10);
    caption.setBold(true);
    painter.setFont(caption);
    painter.setPen(QColor(230, 235, 240));
    painter.drawText(QRectF(18, 83, 74, 14), Qt::AlignCenter, caption_);
    return plate_;
}

QPixmap AnalogGauge::face(qreal side, qreal dpr)
{
    const QSize size(qCeil(side), qCeil(side));
    if (drawnFor(face_, size, dpr))
        return face_;
    face_ = plate(size, dpr).copy();
    QPainter painter(&face_);
    const double max = scale_.maximum;
    if (max <= 0)
        return face_;
    const double step = scale_.step > 0 ? scale_.step : max / 10;
    const int steps = int(std::floor(max / step + 1e-9));
    painter.drawPixmap(
        0, 0, dial(size, dpr, scale_.firstMark / max, scale_.secondMark / max, step / max, steps));
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(side / Design, side / Design);

    // Numbers on at most six major ticks, so they never crowd.
    int every = 1;
    while (steps / every > 6)
        ++every;
    QFont number = font();
    number.setPixelSize(8);
    painter.setFont(number);
    painter.setPen(QColor(205, 214, 222));
    const QFontMetricsF metrics(number);
    const qreal textHeight = metrics.ascent() + metrics.descent();
    for (int i = 0; i <= steps; i += every) {
        const double v = step * i;
        const qreal a = angleOf(v, max);
        // Each number stands just inside the ticks, however wide it is.
        const QString text = QString::number(v, 'g', 6);
        const qreal width = metrics.horizontalAdvance(text);
        const qreal rad = qDegreesToRadians(a);
        const qreal reach = std::abs(qCos(rad)) * width / 2 + std::abs(qSin(rad)) * textHeight / 2;
        const QPointF at = polar(36 - reach, a);
        // On whole pixels: glyphs drawn once are then found again, whatever the scale.
        const QPointF origin = at + QPointF(-width / 2, metrics.ascent() - textHeight / 2);
        painter.drawText(QPointF(qRound(origin.x()), qRound(origin.y())), text);
    }
    return face_;
}

// The needle (pointing right from the centre, in design units) and the hub are drawn once into
// pictures; a new value only turns one picture and copies the other.
void AnalogGauge::prepareNeedle(qreal pixelsPerUnit)
{
    const QSize size = (NeedleBox.size() * pixelsPerUnit).toSize();
    if (needle_.size() == size)
        return;
    needle_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    needle_.fill(Qt::transparent);
    {
        QPainter painter(&needle_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(pixelsPerUnit, pixelsPerUnit);
        painter.translate(-NeedleBox.topLeft());
        const QPolygonF shape({ QPointF(41, 0), QPointF(-9, 2.2), QPointF(-9, -2.2) });
        painter.setPen(QPen(QColor(0, 0, 0, 110), 2)); // a dark rim keeps it sharp on the face
        painter.drawPolygon(shape);
        painter.setPen(QPen(needleColor_.darker(140), 0.6));
        painter.setBrush(needleColor_);
        painter.drawPolygon(shape);
    }
    hub_ = QImage((HubBox.size() * pixelsPerUnit).toSize(), QImage::Format_ARGB32_Premultiplied);
    hub_.fill(Qt::transparent);
    QPainter painter(&hub_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(pixelsPerUnit, pixelsPerUnit);
    painter.translate(-HubBox.topLeft());
    QRadialGradient hub(Centre - QPointF(1.5, 1.5), 6);
    hub.setColorAt(0, QColor(190, 196, 204));
    hub.setColorAt(1, QColor(40, 44, 50));
    painter.setPen(QPen(needleColor_.darker(120), 1));
    painter.setBrush(hub);
    painter.drawEllipse(Centre, 5, 5);
}

void AnalogGauge::paintEvent(QPaintEvent *event)
{
    const qreal side = std::min(width(), height());
    const qreal dpr = devicePixelRatioF();
    prepareNeedle(side / Design * dpr);
    QPainter painter(this);
    drawInBands(painter, event->region(), face(side, dpr));
    painter.scale(side / Design, side / Design);

    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.save();
    painter.translate(Centre);
    painter.rotate(-angleOf(value_, scale_.maximum));
    painter.drawImage(NeedleBox, needle_);
    painter.restore();
    painter.drawImage(HubBox, hub_);
}
