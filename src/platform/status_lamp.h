#pragma once

#include <QColor>
#include <QWidget>

class QPainter;

// A round bulb in `disc`, lit in `litColor` or dark; shared by the program's lamps.
void paintBulb(QPainter &painter, const QRectF &disc, QColor litColor, bool on);

// A small round lamp for the status bar: lit in its colour, or dark.
class StatusLamp : public QWidget {
    Q_OBJECT
public:
    explicit StatusLamp(QColor litColor, QWidget *parent = nullptr);

    bool isOn() const { return on_; }
    void setOn(bool on);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor litColor_;
    bool on_ = false;
};
