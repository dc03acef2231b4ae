#pragma once

#include "platform/accessible.h"

#include <QPixmap>
#include <QWidget>

// A thermometer: a glass tube over a bulb, filled from the bottom, with a scale on its right
// and the value written in the bulb. The glass and scale, empty and full, are drawn once into
// pictures.
class Thermometer : public QWidget, public ShownValue {
    Q_OBJECT
public:
    Thermometer(const Clock &clock, double minimum, double maximum, QWidget *parent = nullptr);

    // Outside the scale the column stops at its ends; the bulb shows the value as it is.
    void setValue(double value);
    double value() const { return value_; }

    QString valueText() const override;
    double currentValue() const override { return value_; }
    double minimumValue() const override { return minimum_; }
    double maximumValue() const override { return maximum_; }
    QAccessible::Role accessibleRole() const override { return QAccessible::Dial; }

    QSize sizeHint() const override { return { 65, 120 }; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRectF tube() const;
    QPointF bulbCentre() const;
    qreal columnTop(double value) const;
    void prepareGlass(qreal dpr); // the empty and the full glass
    QFont bulbFont() const;

    double minimum_, maximum_;
    double value_ = 0;
    QPixmap glass_, full_; // empty, and filled to the top
};
