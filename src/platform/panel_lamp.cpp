#include "platform/panel_lamp.h"

#include "platform/status_lamp.h"

#include <QPainter>

PanelLamp::PanelLamp(QColor litColor, QWidget *parent)
    : QAbstractButton(parent), litColor_(litColor)
{
    setCheckable(true);
    setChecked(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void PanelLamp::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    painter.setPen(QPen(hasFocus() ? QColor(0, 192, 192) : QColor(58, 64, 72), 1));
    painter.setBrush(isDown() ? QColor(8, 9, 11) : QColor(18, 21, 25));
    painter.drawRoundedRect(frame, 4, 4);

    const qreal side = 13;
    const QRectF bulb(frame.center().x() - side / 2, frame.top() + 3, side, side);
    if (isChecked()) { // a glow around the lit bulb
        QRadialGradient glow(bulb.center(), side);
        QColor halo = litColor_;
        halo.setAlpha(90);
        glow.setColorAt(0, halo);
        halo.setAlpha(0);
        glow.setColorAt(1, halo);
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawEllipse(bulb.center(), side, side);
    }
    paintBulb(painter, bulb, litColor_, isChecked());

    QFont small = font();
    small.setPixelSize(9);
    painter.setFont(small);
    painter.setPen(isChecked() ? QColor(220, 226, 232) : QColor(120, 128, 138));
    const QRectF captionArea(frame.left(), bulb.bottom() + 1, frame.width(),
                             frame.bottom() - bulb.bottom() - 1);
    painter.drawText(captionArea, Qt::AlignCenter, text());
}
