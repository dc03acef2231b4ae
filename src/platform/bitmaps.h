#pragma once

#include <QPixmap>
#include <QString>

// A picture of the program's resources by name ("BIAO", "RED", "YELLOW", "GREEN" ...),
// drawn at `size` for a screen of `devicePixelRatio`. The sources are vector drawings, so
// the result is crisp at any scale; each size is drawn once and then kept.
QPixmap bitmapResource(const QString &name, QSize size, qreal devicePixelRatio);

class QPainter;
class QRegion;

// A clear picture of `size` for a screen of `devicePixelRatio`, drawn on in the size's units.
QPixmap clearPicture(QSize size, qreal devicePixelRatio);
// Whether a kept picture was drawn for this size and screen: if not, it is drawn again.
bool drawnFor(const QPixmap &picture, QSize size, qreal devicePixelRatio);

// Copies the parts of `picture` under `region` (in the picture's own coordinates) to the same
// place. Qt hands a copy of 96 device rows or more to helper threads and waits for them, which
// costs far more than the copy of a panel's small pictures; shorter bands stay on this thread.
void drawInBands(QPainter &painter, const QRegion &region, const QPixmap &picture);

#include <QWidget>

// A picture of the program's resources shown at the widget's size.
class BitmapView : public QWidget {
    Q_OBJECT
public:
    explicit BitmapView(const QString &bitmap, QWidget *parent = nullptr)
        : QWidget(parent), bitmap_(bitmap)
    {
    }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString bitmap_;
};
