#include "watch_feature/watch_feature.h"

#include "platform/command_names.h"
#include "watch_feature/station_watch.h"

#include <QWidget>

Feature watchFeature()
{
    const QString name = QStringLiteral("Watch");
    return { { { name,
                 { { Band::MainFile, 20, QT_TRANSLATE_NOOP("Captions", "&Watch station…") },
                   { Band::File, 20, QT_TRANSLATE_NOOP("Captions", "&Watch station…") } },
                 QStringLiteral("Another station's live runs, from an MQTT broker.") } },
             {},
             {},
             [name](FeatureHost &host) {
                 auto *watch = new StationWatch(host, &host.mainWindow());
                 return FeatureHandlers { { { name, [watch] { watch->watchStation(); } } } };
             } };
}
