#include "platform/segment_readout.h"

#include "platform/bitmaps.h"

#include <QPainter>
#include <QPixmapCache>
#include <QPolygonF>

namespace {
enum Segment { A = 1, B = 2, C = 4, D = 8, E = 16, F = 32, G = 64 };
constexpr std::array<int, 11> Segments = {
    A | B | C | D | E | F, // 0
    B | C, // 1
    A | B | D | E | G, // 2
    A | B | C | D | G, // 3
    B | C | F | G, // 4
    A | C | D | F | G, // 5
    A | C | D | E | F | G, // 6
    A | B | C, // 7
    A | B | C | D | E | F | G, // 8
    A | B | C | D | F | G, // 9
    G, // -
};
constexpr int Dash = 10, Point = 11;
const QColor Glass(4, 6, 8);

// One digit cell of the readout, in device-independent pixels.
struct Cell {
    qreal width, height; // of the whole slot
    qreal glyphWidth, glyphHeight, thickness, left, top;
    explicit Cell(QSizeF slot) : width(slot.width()), height(slot.height())
    {
        glyphHeight = height * 0.74;
        glyphWidth = std::min(width * 0.66, glyphHeight * 0.56);
        thickness = std::max(1.4, glyphHeight / 8);
        left = (width - glyphWidth) * 0.42;
        top = (height - glyphHeight) / 2;
    }
};

// A segment is a long hexagon between two points, with small gaps at the joints.
QPolygonF bar(QPointF from, QPointF to, qreal t)
{
    const QPointF along = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF across(-along.y(), along.x());
    const qreal gap = t * 0.3;
    const QPointF a = from + along * gap, b = to - along * gap;
    return QPolygonF({ a, a + (along + across) * t / 2, b + (across - along) * t / 2, b,
                       b - (along + across) * t / 2, a + (along - across) * t / 2 });
}

void drawGlyph(QPainter &painter, const Cell &c, int segments, bool point)
{
    const qreal l = c.left + c.thickness / 2, r = c.left + c.glyphWidth - c.thickness / 2;
    const qreal t = c.top + c.thickness / 2, b = c.top + c.glyphHeight - c.thickness / 2;
    const qreal m = (t + b) / 2;
    // Leaning a little, like the digits of a real display.
    const auto lean = [&](qreal x, qreal y) { return QPointF(x + (b - y) * 0.1, y); };
    const std::array<QPolygonF, 7> shapes = {
        bar(lean(l, t), lean(r, t), c.thickness), bar(lean(r, t), lean(r, m), c.thickness),
        bar(lean(r, m), lean(r, b), c.thickness), bar(lean(l, b), lean(r, b), c.thickness),
        bar(lean(l, m), lean(l, b), c.thickness), bar(lean(l, t), lean(l, m), c.thickness),
        bar(lean(l, m), lean(r, m), c.thickness),
    };
    for (int s = 0; s < 7; ++s)
        if (segments & (1 << s))
            painter.drawPolygon(shapes[s]);
    if (point) {
        const qreal d = c.thickness * 1.1;
        painter.drawEllipse(QRectF(c.left + c.glyphWidth + d * 0.4, b + c.thickness / 2 - d, d, d));
    }
}

} // namespace

SegmentReadout::SegmentReadout(const Clock &clock, int digits, QColor digitColor, QWidget *parent)
    : QWidget(parent), ShownValue(clock), digits_(std::max(1, digits)), digitColor_(digitColor)
{
    // Every pixel is ours: nothing behind needs repainting when the digits change.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SegmentReadout::showText(const QString &text)
{
    if (text == text_)
        return;
    text_ = text;
    valueChanged(this);
    update();
}

QString SegmentReadout::valueText() const
{
    return unit_.isEmpty() ? text_ : text_ + QLatin1Char(' ') + unit_;
}

void SegmentReadout::prepareColor(QColor color)
{
    const QColor shown = digitColor_;
    digitColor_ = color;
    prepare(devicePixelRatioF()); // into the shared cache, where the next paint finds its own
    digitColor_ = shown;
}

void SegmentReadout::setDigitColor(QColor color)
{
    if (color == digitColor_)
        return;
    digitColor_ = color;
    update();
}

std::vector<SegmentReadout::Place> SegmentReadout::places() const
{
    std::vector<Place> shown;
    for (const QChar ch : text_) {
        if (ch == QLatin1Char('.') && !shown.empty() && !shown.back().point) {
            shown.back().point = true;
            continue;
        }
        Place s;
        if (ch.isDigit())
            s.glyph = ch.digitValue();
        else if (ch == QLatin1Char('-'))
            s.glyph = Dash;
        else if (ch == QLatin1Char('.'))
            s.point = true; // a leading point stands in a blank digit
        shown.push_back(s);
    }
    if (int(shown.size()) > digits_)
        return std::vector<Place>(digits_, Place { Dash, false });
    shown.insert(shown.begin(), digits_ - shown.size(), Place {});
    return shown;
}

void SegmentReadout::prepare(qreal dpr)
{
    if (preparedSize_ == size() && preparedDpr_ == dpr && preparedColor_ == digitColor_)
        return;
    preparedSize_ = size();
    preparedDpr_ = dpr;
    preparedColor_ = digitColor_;
    // Readouts of one size and colour share their pictures, and a cell that goes dark and
    // lights again finds its digits drawn already.
    const QString key = QStringLiteral("segments:%1x%2:%3@%4:%5:")
                            .arg(width())
                            .arg(height())
                            .arg(digits_)
                            .arg(dpr)
                            .arg(digitColor_.rgba());
    bool found = QPixmapCache::find(key + QLatin1String("glass"), &glass_);
    for (int g = 0; g < int(lit_.size()); ++g)
        found = QPixmapCache::find(key + QString::number(g), &lit_[g]) && found;
    if (found)
        return;

    const QRectF inside = QRectF(rect()).adjusted(2, 2, -2, -2);
    const Cell cell(QSizeF(inside.width() / digits_, inside.height()));
    const QSize slotSize(qCeil(cell.width) + 1, qCeil(cell.height) + 1);
    glass_ = clearPicture(size(), dpr);
    {
        QPainter painter(&glass_);
        painter.fillRect(rect(), Glass);
        // A recessed glass: dark above and left, lit below and right.
        painter.setPen(QColor(0, 0, 0));
        painter.drawLine(0, 0, width() - 1, 0);
        painter.drawLine(0, 0, 0, height() - 1);
        painter.setPen(QColor(70, 78, 88));
        painter.drawLine(1, height() - 1, width() - 1, height() - 1);
        painter.drawLine(width() - 1, 1, width() - 1, height() - 1);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        QColor unlit = digitColor_;
        unlit.setAlpha(26);
        painter.setBrush(unlit);
        for (int i = 0; i < digits_; ++i) {
            painter.save();
            painter.translate(slotOrigin(i));
            drawGlyph(painter, cell, Segments[8], false);
            painter.restore();
        }
    }
    QPixmapCache::insert(key + QLatin1String("glass"), glass_);
    for (int g = 0; g < int(lit_.size()); ++g) {
        lit_[g] = clearPicture(slotSize, dpr);
        {
            QPainter painter(&lit_[g]);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(digitColor_);
            drawGlyph(painter, cell, g == Point ? 0 : Segments[g], g == Point);
        }
        QPixmapCache::insert(key + QString::number(g), lit_[g]);
    }
}

// Whole pixels, so that the lit digits fall exactly on the unlit ones of the glass.
QPoint SegmentReadout::slotOrigin(int i) const
{
    return { 2 + qRound(i * (width() - 4) / qreal(digits_)), 2 };
}

void SegmentReadout::paintEvent(QPaintEvent *)
{
    prepare(devicePixelRatioF());
    QPainter painter(this);
    painter.drawPixmap(0, 0, glass_);
    const std::vector<Place> shown = places();
    for (int i = 0; i < digits_; ++i) {
        const QPoint at = slotOrigin(i);
        if (shown[i].glyph >= 0)
            painter.drawPixmap(at, lit_[shown[i].glyph]);
        if (shown[i].point)
            painter.drawPixmap(at, lit_[Point]);
    }
}
