#include "setup/splash.h"

#include "setup/config.h"

#include <QBitmap>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWindow>

frmSplash::frmSplash(InterfaceTextStore &store)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(area);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, [this] {
        close();
        picture_ = QImage();
    });
    Timer1.start(2000);

    // Drawn at its own size from the top-left corner; what lies beyond the area is cut.
    picture_ = storePicture(Config(store).Splash(), devicePixelRatioF());
    if (picture_.isNull())
        return;
    picture_ = picture_.copy(QRect(QPoint(), area * picture_.devicePixelRatio()));
    // Without a compositor the transparent parts would show black: the shape leaves out what
    // the picture does not cover at all, and only that, so its edges stay smooth.
    setMask(shape(picture_));
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(Center(screen->geometry(), size()));
    show();
    // Drawn now: the main window's load keeps the event loop busy for a while.
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    repaint();
}

int pictureRatio(int dotsPerMeter)
{
    return qMax(1, qRound(dotsPerMeter / 3780.0));
}

QImage storePicture(const QString &file, qreal deviceRatio)
{
    QImage picture;
    if (file.isEmpty() || !picture.load(file))
        return {};
    const QSize device
        = (QSizeF(picture.size()) / pictureRatio(picture.dotsPerMeterX()) * deviceRatio).toSize();
    if (device != picture.size())
        picture = picture.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    picture = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(deviceRatio);
    return picture;
}

QBitmap frmSplash::shape(const QImage &picture)
{
    // A fully transparent pixel is 0 once premultiplied; shrinking averages, so a pixel is
    // left out only where the picture is all but clear.
    const QImage covered = picture
                               .scaled(picture.deviceIndependentSize().toSize(),
                                       Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                               .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return QBitmap::fromImage(covered.createMaskFromColor(0));
}

QPoint frmSplash::Center(const QRect &screen, const QSize &form)
{
    // Computed in twips, 15 to a pixel, halves rounded towards zero.
    const auto middle = [](int screenPixels, int formPixels) {
        return (screenPixels * 15 - formPixels * 15) / 2;
    };
    const int left = middle(screen.width(), form.width());
    const int top = middle(screen.height(), form.height()) - 500;
    return screen.topLeft() + QPoint(qRound(left / 15.0), qRound(top / 15.0));
}

void frmSplash::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(), picture_);
}
