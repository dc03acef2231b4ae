#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

void QtClipboard::setMimeData(QMimeData *data)
{
    QGuiApplication::clipboard()->setMimeData(data);
}
