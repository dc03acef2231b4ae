#pragma once

#include "platform/accessible.h"

#include <QColor>
#include <QWidget>

class QPainter;

// A round bulb in `disc`, lit in `litColor` or dark; shared by the program's lamps.
void paintBulb(QPainter &painter, const QRectF &disc, QColor litColor, bool on);

// A small round lamp for the status bar: lit in its colour, or dark. A screen reader hears what
// it means (a source text of context "StatusLamp", in the language of the moment) and "on" or
// "off".
class StatusLamp : public QWidget, public ShownValue {
    Q_OBJECT
public:
    StatusLamp(const Clock &clock, QColor litColor, const char *meaning, QWidget *parent = nullptr);

    bool isOn() const { return on_; }
    void setOn(bool on);

    QSize sizeHint() const override;
    QString valueText() const override;
    double currentValue() const override { return on_; }
    double maximumValue() const override { return 0; }
    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QColor litColor_;
    const char *meaning_;
    bool on_ = false;
};
