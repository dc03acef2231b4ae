#include "platform/cell_bar.h"

#include "platform/bitmaps.h"

#include <QPainter>

CellBar::CellBar(const Clock &clock, QWidget *parent) : QWidget(parent), ShownValue(clock) { }

void CellBar::setFill(const QString &bitmap)
{
    if (bitmap == fill_)
        return;
    fill_ = bitmap;
    update(inner());
}

void CellBar::prepareFill(const QString &bitmap) const
{
    bitmapResource(bitmap, inner().size(), devicePixelRatioF());
}

int CellBar::levelY(int value) const
{
    const QRect in = inner();
    return in.bottom() + 1 - qRound(in.height() * value / 100.0);
}

void CellBar::setValue(int value)
{
    value = std::clamp(value, 0, 100);
    if (value == value_)
        return;
    const int from = levelY(value_), to = levelY(value);
    value_ = value;
    valueChanged(this);
    // The tenths lines are one pixel: a strip one pixel taller on each side repaints them whole.
    const QRect in = inner();
    update(QRect(in.left(), std::min(from, to) - 1, in.width(), std::abs(from - to) + 2));
}

void CellBar::paintEvent(QPaintEvent *)
{
    // The empty bar is drawn once per size: a rounded outline costs more than the strip that
    // usually needs repainting.
    const qreal dpr = devicePixelRatioF();
    if (!drawnFor(empty_, size(), dpr)) {
        empty_ = clearPicture(size(), dpr);
        QPainter painter(&empty_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(58, 64, 72), 1));
        painter.setBrush(QColor(10, 12, 15));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        // Faint tenths, so a bar reads like a scale even when nearly empty.
        const QRect in = inner();
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QColor(30, 34, 40));
        for (int i = 1; i < 10; ++i) {
            const int y = in.bottom() - in.height() * i / 10;
            painter.drawLine(in.left() + 1, y, in.right() - 1, y);
        }
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, empty_);
    if (fill_.isEmpty() || value_ == 0)
        return;
    const QRect in = inner();
    const QPixmap picture = bitmapResource(fill_, in.size(), dpr);
    const int top = levelY(value_);
    const QRectF target(in.left(), top, in.width(), in.bottom() + 1 - top);
    const QRectF source(0, (top - in.top()) * dpr, in.width() * dpr, target.height() * dpr);
    painter.drawPixmap(target, picture, source);
}
