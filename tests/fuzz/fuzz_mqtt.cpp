// Fuzz target over the watcher: messages of a broker as they reach it, no broker needed. The
// input is lines: "TOPIC PAYLOAD" is a message, "+" lets two minutes pass, "=NAME" and "-NAME"
// watch and unwatch a station; station "s" is watched from the start. Besides not crashing, no
// run may be left open once no station is watched.

#include "publish/mqtt_watcher.h"
#include "support/fake_clock.h"
#include "support/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    RunHub hub;
    FakeClock clock;
    MqttWatcher watcher(hub, clock, MqttBroker()); // no host: the client never connects
    watcher.watch(QStringLiteral("s"));
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QByteArray &line : input.split('\n')) {
        if (line.startsWith('+'))
            clock.advanceMs(2 * 60 * 1000);
        else if (line.startsWith('='))
            watcher.watch(QString::fromUtf8(line.mid(1)));
        else if (line.startsWith('-'))
            watcher.unwatch(QString::fromUtf8(line.mid(1)));
        else if (const qsizetype space = line.indexOf(' '); space > 0)
            watcher.received(QString::fromUtf8(line.left(space)), line.mid(space + 1));
    }
    for (const QString &station : QSet<QString>(watcher.watched()))
        watcher.unwatch(station);
    require(hub.runs().isEmpty(), "fuzz_mqtt: a run is left open");
    return 0;
}
