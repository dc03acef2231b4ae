#pragma once

#include <QLCDNumber>

// A seven-segment readout: lit digits on a black glass. Showing what it already shows
// draws nothing.
class SegmentReadout : public QLCDNumber {
    Q_OBJECT
public:
    SegmentReadout(int digits, QColor digitColor, QWidget *parent = nullptr);

    // Digits, ".", "-" and spaces, right-aligned.
    void showText(const QString &text);
    QString text() const { return text_; }
    void setDigitColor(QColor color);
    QColor digitColor() const { return digitColor_; }

private:
    QString text_;
    QColor digitColor_;
};
