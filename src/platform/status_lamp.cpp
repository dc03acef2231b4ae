#include "platform/status_lamp.h"

#include <QPainter>
#include <QRadialGradient>

StatusLamp::StatusLamp(const Clock &clock, QColor litColor, const char *meaning, QWidget *parent)
    : QWidget(parent), ShownValue(clock),
      litColor_(litColor.isValid() ? litColor : QColor(Qt::green)), meaning_(meaning)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(tr(meaning_));
}

void StatusLamp::setOn(bool on)
{
    if (on_ == on)
        return;
    on_ = on;
    valueChanged(this);
    update();
}

QString StatusLamp::valueText() const
{
    return on_ ? tr("on") : tr("off");
}

void StatusLamp::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        setAccessibleName(tr(meaning_));
}

QSize StatusLamp::sizeHint() const
{
    const int side = fontMetrics().height() + 2;
    return { side, side };
}

void paintBulb(QPainter &painter, const QRectF &disc, QColor litColor, bool on)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = disc.width();
    // A highlight towards the upper left makes the lamp read as a bulb, lit or not.
    const QColor face = on ? litColor : QColor(70, 70, 70);
    QRadialGradient gradient(disc.center() - QPointF(side / 5, side / 5), side * 0.7);
    gradient.setColorAt(0, face.lighter(on ? 170 : 140));
    gradient.setColorAt(1, face.darker(on ? 110 : 130));
    painter.setPen(QPen(QColor(40, 40, 40), 1));
    painter.setBrush(gradient);
    painter.drawEllipse(disc);
}

void StatusLamp::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const qreal side = std::min(width(), height()) - 4;
    paintBulb(painter, QRectF((width() - side) / 2, (height() - side) / 2, side, side), litColor_,
              on_);
}
