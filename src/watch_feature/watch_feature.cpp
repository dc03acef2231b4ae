#include "watch_feature/watch_feature.h"

#include "platform/command_names.h"
#include "watch_feature/station_watch.h"

#include <QWidget>

Feature watchFeature()
{
    const QString name = QStringLiteral("Watch"), stop = QStringLiteral("StopWatching");
    return { { { name,
                 { { Band::MainFile, 20, QT_TRANSLATE_NOOP("Captions", "&Watch station…") },
                   { Band::File, 20, QT_TRANSLATE_NOOP("Captions", "&Watch station…") } },
                 QStringLiteral("Another station's live runs, from an MQTT broker.") },
               { stop,
                 { { Band::MainFile, 21, QT_TRANSLATE_NOOP("Captions", "S&top watching…") },
                   { Band::File, 21, QT_TRANSLATE_NOOP("Captions", "S&top watching…") } },
                 QStringLiteral("Ends a watched station's runs and stops receiving them.") } },
             {},
             {},
             [name, stop](FeatureHost &host) {
                 auto *watch = new StationWatch(host, &host.mainWindow());
                 return FeatureHandlers { { { name, [watch] { watch->watchStation(); } },
                                            { stop, [watch] { watch->stopWatching(); } } } };
             } };
}
