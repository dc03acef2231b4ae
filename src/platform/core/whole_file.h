#pragma once

#include <QByteArrayView>
#include <QString>

class QIODevice;

// Writes all of `bytes`: false when it cannot, the device's error then saying why. A write cut
// short, as by a full disk, tells its reason only when the rest is tried again.
bool writeWhole(QIODevice &device, QByteArrayView bytes);

// Writes `bytes` as the whole file at `path`, which takes that name only once it is whole: ""
// when saved, otherwise why not, in the system's words.
QString saveWhole(const QString &path, QByteArrayView bytes);
