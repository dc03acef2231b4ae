#include "platform/analog_gauge.h"

#include "platform/bitmaps.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QtMath>

#include <array>

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

QFont sized(QFont font, int pixels, bool bold = false)
{
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A dial's numbers as they are, or in thousands ("k"), millions ("M") ..., all with one
// precision: as many decimals as the number that needs most, no more than three figures of the
// largest allow (two when `shorter`). `values` rise.
QStringList scaleNumbers(const std::vector<double> &values, int thousands, bool shorter)
{
    const double unit = std::pow(1000.0, thousands);
    const double largest = values.empty() ? 0 : values.back() / unit;
    const int most = thousands == 0 ? 6
                                    : std::max(0,
                                               (largest >= 100      ? 0
                                                    : largest >= 10 ? 1
                                                                    : 2)
                                                   - int(shorter));
    int decimals = 0;
    for (double v : values)
        for (double x = v / unit * std::pow(10.0, decimals);
             decimals < most && std::abs(x - std::round(x)) > 1e-6; x *= 10)
            ++decimals;
    QStringList numbers;
    for (double v : values)
        numbers << QString::number(v / unit, 'f', decimals)
                + (thousands ? QString(QLatin1Char(" kMGT"[thousands])) : QString());
    return numbers;
}

// A text with its top left corner at `topLeft` rounded to whole pixels: glyphs drawn once are
// then found again, whatever the scale.
AnalogGauge::Text placed(const QString &text, QPointF topLeft, qreal width,
                         const QFontMetricsF &metrics)
{
    return { text,
             QRectF(QPointF(qRound(topLeft.x()), qRound(topLeft.y())),
                    QSizeF(width, metrics.ascent() + metrics.descent())) };
}

// The width of a number, glyph by glyph: shaping the whole text costs ten times more, and
// digits do not kern.
qreal numberWidth(const QString &text, const QFontMetricsF &metrics)
{
    qreal width = 0;
    for (QChar c : text)
        width += metrics.horizontalAdvance(c);
    return width;
}

void drawText(QPainter &painter, const AnalogGauge::Text &text)
{
    painter.drawText(text.box.topLeft() + QPointF(0, painter.fontMetrics().ascent()), text.text);
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
                            .arg(first, 0, 'f', 4)
                            .arg(second, 0, 'f', 4)
                            .arg(step, 0, 'f', 4)
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
            ticks[major].append(QLineF(polar(major ? AnalogGauge::TickInner : 41.5, a),
                                       polar(AnalogGauge::TickOuter, a)));
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

AnalogGauge::AnalogGauge(const Clock &clock, QColor needleColor, QWidget *parent)
    : QWidget(parent), ShownValue(clock), needleColor_(needleColor)
{
}

QString AnalogGauge::valueText() const
{
    return QString::number(value_) + QLatin1Char(' ') + unit_;
}

AnalogGauge::Labels AnalogGauge::labels(const Scale &scale, const QString &unit,
                                        const QString &caption, const QFont &font)
{
    Labels labels;
    const QFontMetricsF unitMetrics(sized(font, 9));
    // Above the hub, which reaches 5.5 above the centre.
    const qreal unitWidth = unitMetrics.horizontalAdvance(unit);
    labels.unit = placed(unit,
                         QPointF(Centre.x() - unitWidth / 2,
                                 Centre.y() - 6.5 - unitMetrics.ascent() - unitMetrics.descent()),
                         unitWidth, unitMetrics);
    // Under the ends of the scale, as wide as the gauge allows.
    const QFontMetricsF captionMetrics(sized(font, 10, true));
    const QString shortened = captionMetrics.elidedText(caption, Qt::ElideRight, Design - 4);
    const qreal endsBottom = Centre.y() + TickOuter * std::sqrt(0.5) + 1;
    const qreal captionWidth = captionMetrics.horizontalAdvance(shortened);
    labels.caption = placed(shortened, QPointF(Centre.x() - captionWidth / 2, endsBottom + 1),
                            captionWidth, captionMetrics);

    const double max = scale.maximum;
    if (max <= 0)
        return labels;
    const double step = scale.step > 0 ? scale.step : max / 10;
    const int steps = int(std::floor(max / step + 1e-9));
    const QFontMetricsF metrics(sized(font, 8));
    const qreal height = metrics.ascent() + metrics.descent();
    const auto numbersEvery = [&](int every, int thousands, bool shorter) {
        std::vector<double> values;
        for (int i = 0; i <= steps; i += every)
            values.push_back(step * i);
        const QStringList texts = scaleNumbers(values, thousands, shorter);
        std::vector<Text> numbers;
        for (size_t k = 0; k < values.size(); ++k) {
            const double v = values[k];
            const qreal a = angleOf(v, max);
            // Each number stands just inside the ticks, however wide it is.
            const QString &text = texts[qsizetype(k)];
            const qreal width = numberWidth(text, metrics);
            const qreal rad = qDegreesToRadians(a);
            const qreal reach = std::abs(qCos(rad)) * width / 2 + std::abs(qSin(rad)) * height / 2;
            // A wide number at the top would touch the ticks with its corners: it moves in.
            const QPointF corner(width / 2 + 0.5, height / 2 + 0.5);
            qreal r = TickInner - 2 - reach;
            while (r > 0
                   && std::hypot(std::abs(qCos(rad)) * r + corner.x(),
                                 std::abs(qSin(rad)) * r + corner.y())
                       > TickInner - 1)
                r -= 0.5;
            numbers.push_back(
                placed(text, polar(r, a) - QPointF(width / 2, height / 2), width, metrics));
        }
        return numbers;
    };
    const auto apart = [&](const std::vector<Text> &numbers) {
        for (size_t i = 0; i < numbers.size(); ++i) {
            const QRectF room = numbers[i].box.adjusted(-1, -1, 1, 1);
            if (room.intersects(labels.unit.box))
                return false;
            for (size_t j = i + 1; j < numbers.size(); ++j)
                if (room.intersects(numbers[j].box))
                    return false;
        }
        return true;
    };
    // Numbers on at most six major ticks that share the scale evenly, shortened when long ones
    // would touch, and on fewer ticks when even short ones would.
    for (int every = 1; every <= steps; ++every) {
        if (steps % every != 0 || steps / every > 6)
            continue;
        for (int thousands = 0; thousands <= 4; ++thousands)
            for (bool shorter : { false, true }) {
                labels.numbers = numbersEvery(every, thousands, shorter);
                if (apart(labels.numbers))
                    return labels;
            }
    }
    return labels;
}

void AnalogGauge::faceChanged()
{
    faceDrawn_ = false;
    update();
}

void AnalogGauge::plateChanged()
{
    plate_ = QPixmap();
    preparedScale_.reset();
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

void AnalogGauge::setBackdrop(const QPixmap &backdrop)
{
    if (backdrop.devicePixelRatio() == backdrop_.devicePixelRatio()
        && backdrop.toImage() == backdrop_.toImage())
        return;
    backdrop_ = backdrop;
    // The face is drawn on a square.
    setAttribute(Qt::WA_OpaquePaintEvent,
                 width() == height() && drawnFor(backdrop_, size(), devicePixelRatioF()));
    plateChanged();
}

void AnalogGauge::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (testAttribute(Qt::WA_OpaquePaintEvent) && !drawnFor(backdrop_, size(), devicePixelRatioF()))
        setBackdrop(QPixmap());
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
    valueChanged(this);
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
    plate_ = testAttribute(Qt::WA_OpaquePaintEvent) ? backdrop_.copy() : clearPicture(size, dpr);
    QPainter painter(&plate_);
    if (!background_.isEmpty())
        painter.drawPixmap(0, 0, bitmapResource(background_, size, dpr));
    const Labels shown = labels(Scale { 0, 0, 0, 0 }, unit_, caption_, font());
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(size.width() / Design, size.width() / Design);
    painter.setFont(sized(font(), 9));
    painter.setPen(QColor(150, 160, 170));
    drawText(painter, shown.unit);
    painter.setFont(sized(font(), 10, true));
    painter.setPen(QColor(230, 235, 240));
    drawText(painter, shown.caption);
    painter.end(); // a picture still painted on would be copied when handed out
    return plate_;
}

QPixmap AnalogGauge::dialOf(const Scale &scale, QSize size, qreal dpr)
{
    const double max = scale.maximum;
    const double step = scale.step > 0 ? scale.step : max / 10;
    const int steps = int(std::floor(max / step + 1e-9));
    return dial(size, dpr, scale.firstMark / max, scale.secondMark / max, step / max, steps);
}

void AnalogGauge::prepareScale(const Scale &scale)
{
    const qreal side = std::min(width(), height());
    const qreal dpr = devicePixelRatioF();
    face(side, dpr);
    if (scale == scale_)
        return;
    drawFace(prepared_, scale, side, dpr);
    preparedScale_ = scale;
}

const QPixmap &AnalogGauge::face(qreal side, qreal dpr)
{
    const QSize size(qCeil(side), qCeil(side));
    if (faceDrawn_ && drawnFor(face_, size, dpr))
        return face_;
    if (preparedScale_ == scale_ && drawnFor(prepared_, size, dpr)) {
        std::swap(face_, prepared_);
        preparedScale_.reset();
    } else {
        drawFace(face_, scale_, side, dpr);
    }
    faceDrawn_ = true;
    return face_;
}

void AnalogGauge::drawFace(QPixmap &picture, const Scale &scale, qreal side, qreal dpr)
{
    const QSize size(qCeil(side), qCeil(side));
    const QPixmap background = plate(size, dpr);
    // Drawn over the last picture: a new one of this size costs more than the drawing, in
    // fresh memory that the system has to hand out page by page. An opaque face is copied to
    // the screen without blending.
    const bool opaque = testAttribute(Qt::WA_OpaquePaintEvent);
    if (!drawnFor(picture, size, dpr) || picture.hasAlphaChannel() == opaque) {
        picture = opaque ? QPixmap(size * dpr) : clearPicture(size, dpr);
        picture.setDevicePixelRatio(dpr);
    }
    QPainter painter(&picture);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawPixmap(0, 0, background);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (scale.maximum <= 0)
        return;
    painter.drawPixmap(0, 0, dialOf(scale, size, dpr));
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(side / Design, side / Design);
    painter.setFont(sized(font(), 8));
    painter.setPen(QColor(205, 214, 222));
    // The caption does not move the numbers: none spares shortening it again.
    for (const Text &number : labels(scale, unit_, QString(), font()).numbers)
        drawText(painter, number);
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
