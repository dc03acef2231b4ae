#include "platform/cell_bar.h"

#include "platform/bitmaps.h"

#include <QPainter>

CellBar::CellBar(QWidget *parent) : QProgressBar(parent)
{
    setOrientation(Qt::Vertical);
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
}

void CellBar::setFill(const QString &bitmap)
{
    if (bitmap == fill_)
        return;
    fill_ = bitmap;
    update();
}

void CellBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF outer = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(58, 64, 72), 1));
    painter.setBrush(QColor(10, 12, 15));
    painter.drawRoundedRect(outer, 3, 3);
    // Faint tenths, so a bar reads like a scale even when nearly empty.
    const QRect inner = rect().adjusted(2, 2, -2, -2);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(30, 34, 40));
    for (int i = 1; i < 10; ++i) {
        const int y = inner.bottom() - inner.height() * i / 10;
        painter.drawLine(inner.left() + 1, y, inner.right() - 1, y);
    }
    if (fill_.isEmpty() || value() <= minimum())
        return;
    const qreal dpr = devicePixelRatioF();
    const QPixmap picture = bitmapResource(fill_, inner.size(), dpr);
    const qreal filled = inner.height() * qreal(value() - minimum()) / (maximum() - minimum());
    const QRectF target(inner.left(), inner.bottom() + 1 - filled, inner.width(), filled);
    const QRectF source(0, (inner.height() - filled) * dpr, inner.width() * dpr, filled * dpr);
    painter.drawPixmap(target, picture, source);
}
