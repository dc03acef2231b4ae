#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

class InterfaceTextStore;
class QBitmap;

// How many pixels of a store picture make one pixel of an unscaled screen: its density in
// whole multiples of 96 dpi (3780 dots a metre), at least 1. A picture drawn at twice its size
// on screen says so by 192 dpi.
int pictureRatio(int dotsPerMeter);
// The store's picture in `file` made for a screen of `deviceRatio`: its own size there, sharp
// when the picture carries the pixels. Null when there is no picture that loads.
QImage storePicture(const QString &file, qreal deviceRatio);

// The splash screen: the store's splash picture in a borderless window above every other,
// transparent wherever the picture is. It closes at the first tick of its two-second timer,
// so later when the program keeps the event loop busy until then.
// NOLINTNEXTLINE(readability-identifier-naming): the form keeps its name, "frmSplash"
class frmSplash final : public QWidget {
    Q_OBJECT
public:
    // Shows itself at once, unless the store has no picture that loads.
    explicit frmSplash(InterfaceTextStore &store);

    // Where a window of `form` pixels stands on `screen`: centred, 500 twips above the
    // middle; negative on a screen smaller than the window.
    static QPoint Center(const QRect &screen, const QSize &form);
    // The window's shape for `picture`: every pixel it covers at all, in screen-independent
    // pixels. The picture's own alpha blends the edges inside it.
    static QBitmap shape(const QImage &picture);
    static constexpr QSize area { 549, 350 };

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage picture_;
    QTimer Timer1;
};
