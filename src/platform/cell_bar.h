#pragma once

#include "platform/accessible.h"

#include <QPixmap>
#include <QWidget>

// A vertical bar, 0 to 100, filled from the bottom with a picture of the program's
// resources ("RED", "YELLOW", "GREEN"). A value or fill it already shows draws nothing; a new
// value redraws only the strip between the old and the new level.
class CellBar : public QWidget, public ShownValue {
    Q_OBJECT
public:
    explicit CellBar(const Clock &clock, QWidget *parent = nullptr);

    void setFill(const QString &bitmap);
    QString fill() const { return fill_; }
    // Draws a fill ahead, so that its first showing costs a lookup.
    void prepareFill(const QString &bitmap) const;
    // Clamped to 0..100.
    void setValue(int value);
    int value() const { return value_; }

    QString valueText() const override { return QStringLiteral("%1 %").arg(value_); }
    double currentValue() const override { return value_; }
    double maximumValue() const override { return 100; }
    QAccessible::Role accessibleRole() const override { return QAccessible::ProgressBar; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect inner() const { return rect().adjusted(2, 2, -2, -2); }
    int levelY(int value) const;

    QString fill_;
    QPixmap empty_;
    int value_ = 0;
};
