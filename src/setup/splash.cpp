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

    const QString file = Config(store).Splash();
    // Drawn at its own size from the top-left corner; what lies beyond the area is cut.
    if (file.isEmpty() || !picture_.load(file))
        return;
    picture_ = picture_.convertToFormat(QImage::Format_ARGB32).copy(QRect(QPoint(), area));
    // Without a compositor the transparent parts would show black: the shape cuts them out.
    setMask(QBitmap::fromImage(picture_.createAlphaMask()));
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
