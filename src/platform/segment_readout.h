#pragma once

#include "platform/accessible.h"

#include <QPixmap>
#include <QWidget>

#include <array>

// A seven-segment readout: lit digits over faint unlit segments on a recessed black glass.
// Digits, ".", "-" and spaces show right-aligned; a point sits in the corner of the digit
// before it, so "3.70" needs three digits. A text too long for the digits shows every digit
// as "-", never a part of the number. The glass and the lit digits are drawn once into
// pictures, so a new text costs a few copies; showing what it already shows draws nothing.
class SegmentReadout : public QWidget, public ShownValue {
    Q_OBJECT
public:
    SegmentReadout(const Clock &clock, int digits, QColor digitColor, QWidget *parent = nullptr);

    void showText(const QString &text);
    QString text() const { return text_; }
    // Said after the digits: "3.55 V".
    void setUnit(const QString &unit) { unit_ = unit; }

    QString valueText() const override;
    double currentValue() const override { return text_.toDouble(); }
    double maximumValue() const override { return 0; }
    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }
    void setDigitColor(QColor color);
    QColor digitColor() const { return digitColor_; }
    // Draws the digits in `color` ahead, so that switching to it later costs a lookup.
    void prepareColor(QColor color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Place {
        int glyph = -1; // index into the lit pictures, -1 for a blank
        bool point = false;
    };
    std::vector<Place> places() const;
    void prepare(qreal dpr);
    QPoint slotOrigin(int i) const;

    int digits_;
    QString text_, unit_;
    QColor digitColor_;
    // Drawn for one size, scale and colour.
    QPixmap glass_;
    std::array<QPixmap, 12> lit_; // 0-9, "-", the point
    QSize preparedSize_;
    qreal preparedDpr_ = 0;
    QColor preparedColor_;
};
