#include "platform/segment_readout.h"

SegmentReadout::SegmentReadout(int digits, QColor digitColor, QWidget *parent)
    : QLCDNumber(digits, parent)
{
    setSegmentStyle(QLCDNumber::Flat);
    setSmallDecimalPoint(true); // "3.70" takes three digits
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken); // a recessed glass in the panel's face
    setAutoFillBackground(true);
    QPalette glass = palette();
    glass.setColor(QPalette::Window, QColor(4, 6, 8));
    glass.setColor(QPalette::Dark, QColor(0, 0, 0));
    glass.setColor(QPalette::Light, QColor(70, 78, 88));
    setPalette(glass);
    setDigitColor(digitColor);
}

void SegmentReadout::showText(const QString &text)
{
    if (text == text_)
        return;
    text_ = text;
    display(text);
    setAccessibleDescription(text);
}

void SegmentReadout::setDigitColor(QColor color)
{
    if (color == digitColor_)
        return;
    digitColor_ = color;
    QPalette lit = palette();
    lit.setColor(QPalette::WindowText, color);
    setPalette(lit);
}
