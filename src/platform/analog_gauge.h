#pragma once

#include "platform/accessible.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <optional>
#include <vector>

// A round analog meter: a needle over a 270 degree scale with ticks, numbers and two warning
// zones (from the first mark, and red from the second mark to the end), a caption and a unit.
// The face, scale and captions are drawn once into a picture; a new value redraws only the
// needle over it.
class AnalogGauge : public QWidget, public ShownValue {
    Q_OBJECT
public:
    struct Scale {
        double maximum = 10, firstMark = 7.5, secondMark = 8.5, step = 1;
        bool operator==(const Scale &) const = default;
    };

    // Where the texts stand on the 110 x 110 design the gauge is drawn on: the scale's numbers
    // just inside the ticks (thousands as "k", millions as "M" once they grow long), the unit
    // above the hub, the caption under the open end of the scale.
    struct Text {
        QString text;
        QRectF box;
    };
    struct Labels {
        std::vector<Text> numbers;
        Text unit, caption;
    };
    static Labels labels(const Scale &scale, const QString &unit, const QString &caption,
                         const QFont &font);
    // The ring of ticks, from the centre of the design.
    static constexpr qreal TickInner = 38, TickOuter = 45.5;

    AnalogGauge(const Clock &clock, QColor needleColor, QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    QString caption() const { return caption_; }
    void setUnit(const QString &unit);
    QString unit() const { return unit_; }
    // A picture of the program's resources behind the scale ("BIAO").
    void setBackground(const QString &bitmap);
    // What lies under the gauge, at its size: with it the gauge paints every pixel itself and
    // its parent paints nothing under it. A resize takes it away until a new one comes.
    void setBackdrop(const QPixmap &backdrop);
    void setScale(const Scale &scale);
    Scale scale() const { return scale_; }
    // Below 0 and beyond the maximum the needle rests at the ends.
    void setValue(double value);
    double value() const { return value_; }

    QString valueText() const override;
    double currentValue() const override { return value_; }
    double maximumValue() const override { return scale_.maximum; }
    QAccessible::Role accessibleRole() const override { return QAccessible::Dial; }
    // Draws ahead the face `scale` will need, so that the reading that grows the scale finds it
    // drawn.
    void prepareScale(const Scale &scale);

    QSize sizeHint() const override { return { 110, 110 }; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void faceChanged();
    void plateChanged();
    QPixmap plate(QSize size, qreal dpr);
    QRect needleArea() const;
    void prepareNeedle(qreal pixelsPerUnit);
    const QPixmap &face(qreal side, qreal dpr);
    void drawFace(QPixmap &picture, const Scale &scale, qreal side, qreal dpr);
    static QPixmap dialOf(const Scale &scale, QSize size, qreal dpr);

    QColor needleColor_;
    QString caption_, unit_, background_;
    Scale scale_;
    double value_ = 0;
    QPixmap backdrop_, plate_, face_;
    // A face drawn ahead for the scale a reading is expected to grow to.
    QPixmap prepared_;
    std::optional<Scale> preparedScale_;
    bool faceDrawn_ = false; // face_ shows the scale, unit and caption of now
    QImage needle_, hub_;
};
