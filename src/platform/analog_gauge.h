#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

// A round analog meter: a needle over a 270 degree scale with ticks, numbers and two warning
// zones (from the first mark, and red from the second mark to the end), a caption and a unit.
// The face, scale and captions are drawn once into a picture; a new value redraws only the
// needle over it. The value is also the widget's accessible description.
class AnalogGauge : public QWidget {
    Q_OBJECT
public:
    struct Scale {
        double maximum = 10, firstMark = 7.5, secondMark = 8.5, step = 1;
        bool operator==(const Scale &) const = default;
    };

    explicit AnalogGauge(QColor needleColor, QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    QString caption() const { return caption_; }
    void setUnit(const QString &unit);
    // A picture of the program's resources behind the scale ("BIAO").
    void setBackground(const QString &bitmap);
    void setScale(const Scale &scale);
    Scale scale() const { return scale_; }
    // Below 0 and beyond the maximum the needle rests at the ends.
    void setValue(double value);
    double value() const { return value_; }

    QSize sizeHint() const override { return { 110, 110 }; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void faceChanged();
    void plateChanged();
    QPixmap plate(QSize size, qreal dpr);
    QRect needleArea() const;
    void prepareNeedle(qreal pixelsPerUnit);
    QPixmap face(qreal side, qreal dpr);

    QColor needleColor_;
    QString caption_, unit_, background_;
    Scale scale_;
    double value_ = 0;
    QPixmap plate_, face_;
    QImage needle_, hub_;
};
