#include "platform/thermometer.h"

#include "platform/bitmaps.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr qreal TubeWidth = 9, BulbRadius = 11;
const QColor Mercury(230, 40, 40);
} // namespace

Thermometer::Thermometer(const Clock &clock, double minimum, double maximum, QWidget *parent)
    : QWidget(parent), ShownValue(clock), minimum_(minimum), maximum_(maximum)
{
}

QString Thermometer::valueText() const
{
    return QString::number(value_) + QStringLiteral(" \u00b0C");
}

void Thermometer::setValue(double value)
{
    if (value == value_)
        return;
    const qreal from = columnTop(value_), to = columnTop(value);
    value_ = value;
    valueChanged(this);
    // Only the moving end of the column and the digits in the bulb change.
    const QRectF t = tube();
    update(QRectF(t.left(), std::min(from, to) - 1, t.width(), std::abs(from - to) + 2)
               .toAlignedRect());
    const QPointF c = bulbCentre();
    update(QRectF(c.x() - BulbRadius, c.y() - BulbRadius, 2 * BulbRadius, 2 * BulbRadius)
               .toAlignedRect());
}

qreal Thermometer::columnTop(double value) const
{
    const double f = std::clamp((value - minimum_) / (maximum_ - minimum_), 0.0, 1.0);
    const QRectF t = tube();
    return t.bottom() - t.height() * f;
}

QPointF Thermometer::bulbCentre() const
{
    return { 20.5, height() - BulbRadius - 2.5 };
}

QRectF Thermometer::tube() const
{
    // The scale runs from just above the bulb to near the top.
    const qreal bottom = bulbCentre().y() - BulbRadius - 3;
    return { bulbCentre().x() - TubeWidth / 2, 6, TubeWidth, bottom - 6 };
}

void Thermometer::prepareGlass(qreal dpr)
{
    if (drawnFor(glass_, size(), dpr))
        return;
    glass_ = clearPicture(size(), dpr);
    QPainter painter(&glass_);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF t = tube();
    QPainterPath outline;
    outline.addRoundedRect(t.adjusted(-2, -2, 2, BulbRadius), TubeWidth / 2 + 2, TubeWidth / 2 + 2);
    outline.addEllipse(bulbCentre(), BulbRadius + 2, BulbRadius + 2);
    painter.setPen(QPen(QColor(120, 130, 142), 1.2));
    painter.setBrush(QColor(12, 14, 18));
    painter.drawPath(outline.simplified());

    QFont small = font();
    small.setPixelSize(8);
    painter.setFont(small);
    const qreal span = maximum_ - minimum_;
    for (int v = int(minimum_); v <= int(maximum_); v += 5) {
        const qreal y = t.bottom() - t.height() * (v - minimum_) / span;
        const bool major = v % 10 == 0;
        painter.setPen(
            QPen(major ? QColor(220, 226, 232) : QColor(120, 130, 142), major ? 1.1 : 0.8));
        painter.drawLine(QPointF(t.right() + 5, y), QPointF(t.right() + (major ? 12 : 9), y));
        if (v % 20 == 0) {
            painter.setPen(QColor(200, 208, 216));
            painter.drawText(QRectF(t.right() + 14, y - 6, 24, 12),
                             Qt::AlignLeft | Qt::AlignVCenter, QString::number(v));
        }
    }
    painter.setPen(QColor(150, 160, 170));
    const QPointF c = bulbCentre();
    painter.drawText(QRectF(c.x() + BulbRadius + 4, c.y() - 6, 24, 12),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("\u2103"));
    painter.end();

    // The same glass filled to the top: a value shows the part of it below its level.
    full_ = glass_.copy();
    QPainter full(&full_);
    full.setRenderHint(QPainter::Antialiasing);
    QLinearGradient column(t.left(), 0, t.right(), 0);
    column.setColorAt(0, Mercury.darker(150));
    column.setColorAt(0.4, Mercury.lighter(140));
    column.setColorAt(1, Mercury.darker(130));
    full.setPen(Qt::NoPen);
    full.setBrush(column);
    full.drawRect(QRectF(t.left() + 1.5, t.top(), t.width() - 3, c.y() - t.top()));
    QRadialGradient bulb(c - QPointF(3, 3), BulbRadius + 2);
    bulb.setColorAt(0, Mercury.lighter(150));
    bulb.setColorAt(1, Mercury.darker(140));
    full.setBrush(bulb);
    full.drawEllipse(c, BulbRadius, BulbRadius);
    full.end();

    // The digits of the bulb into the font's cache of glyphs, so that the first values do not
    // draw them.
    QPixmap scratch = clearPicture(QSize(80, 16), dpr);
    QPainter glyphs(&scratch);
    glyphs.setFont(bulbFont());
    glyphs.drawText(QPointF(0, 12), QStringLiteral("-0123456789."));
}

QFont Thermometer::bulbFont() const
{
    QFont digits = font();
    digits.setPixelSize(10);
    digits.setBold(true);
    return digits;
}

void Thermometer::paintEvent(QPaintEvent *event)
{
    const qreal dpr = devicePixelRatioF();
    prepareGlass(dpr);
    QPainter painter(this);
    // Above the top of the column the empty glass shows, below it the full one.
    const int top = qRound(columnTop(value_));
    const QRegion below = event->region() & QRect(0, top, width(), height() - top);
    drawInBands(painter, event->region() - below, glass_);
    drawInBands(painter, below, full_);

    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF c = bulbCentre();
    const QFont digits = bulbFont();
    painter.setFont(digits);
    painter.setPen(Qt::white);
    // Placed by its advance: laying the text out in a box costs more than the rest of the paint.
    const QString text = QString::number(value_);
    const QFontMetricsF metrics(digits);
    const QPointF origin = c
        + QPointF(-metrics.horizontalAdvance(text) / 2, (metrics.ascent() - metrics.descent()) / 2);
    painter.drawText(QPointF(qRound(origin.x()), qRound(origin.y())), text); // glyphs drawn before
}
