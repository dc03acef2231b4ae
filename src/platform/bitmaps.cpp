#include "platform/bitmaps.h"

#include <QPainter>
#include <QPixmapCache>
#include <QRegion>
#include <QSvgRenderer>

QPixmap bitmapResource(const QString &name, QSize size, qreal devicePixelRatio)
{
    Q_INIT_RESOURCE(bitmaps);
    const QString key = QStringLiteral("bitmap:%1:%2x%3@%4")
                            .arg(name)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(devicePixelRatio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    QSvgRenderer source(QStringLiteral(":/bitmaps/%1.svg").arg(name));
    if (!source.isValid())
        qWarning("No bitmap %s", qPrintable(name));
    pixmap = QPixmap(size * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        source.render(&painter);
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QPixmap clearPicture(QSize size, qreal devicePixelRatio)
{
    QPixmap picture(size * devicePixelRatio);
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(Qt::transparent);
    return picture;
}

bool drawnFor(const QPixmap &picture, QSize size, qreal devicePixelRatio)
{
    return !picture.isNull() && picture.size() == size * devicePixelRatio
        && picture.devicePixelRatio() == devicePixelRatio;
}

void drawInBands(QPainter &painter, const QRegion &region, const QPixmap &picture)
{
    const qreal dpr = picture.devicePixelRatio();
    const int band = std::max(1, int(80 / dpr));
    for (const QRect &r : region)
        for (int y = r.top(); y <= r.bottom(); y += band) {
            const QRect part(r.left(), y, r.width(), std::min(band, r.bottom() + 1 - y));
            painter.drawPixmap(part, picture, QRect(part.topLeft() * dpr, part.size() * dpr));
        }
}

void BitmapView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(QPointF(0, 0), bitmapResource(bitmap_, size(), devicePixelRatioF()));
}
