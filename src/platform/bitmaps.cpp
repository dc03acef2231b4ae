#include "platform/bitmaps.h"

#include <QPainter>
#include <QPixmapCache>
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

void BitmapView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(QPointF(0, 0), bitmapResource(bitmap_, size(), devicePixelRatioF()));
}
