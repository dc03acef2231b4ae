// Publishing the live runs: what a sample costs the sample path with no broker, a dead one and
// a live one, and the time from a frame's reading handed to the live runs to its JSON arriving
// at a subscriber on the same machine, through a private mosquitto.
// Run by hand: build/bench/bench_mqtt [windows]; the windows drawn for real under Xvfb with
// QT_QPA_PLATFORM=xcb.
#include "platform/core/clock.h"
#include "publish/mqtt_json.h"
#include "publish/mqtt_publisher.h"
#include "publish/mqtt_watcher.h"
#include "run/live_runs.h"
#include "support/fake_clock.h"
#include "support/readings.h"
#include "support/window_rig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <mosquitto.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <map>
#include <mutex>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr int Port = 18875, DeadPort = 18876, Rounds = 2000;

struct Arrivals {
    QElapsedTimer clock;
    std::mutex lock;
    std::map<qint64, qint64> ns; // by the reading's capacity, which numbers it
};

// Feeds `count` readings a clock second apart; returns the mean and worst of Reading_Proc.
std::pair<double, double> feed(LiveRuns &runs, FakeClock &clock, int count,
                               std::map<qint64, qint64> *sent = nullptr, Arrivals *at = nullptr)
{
    double total = 0, worst = 0;
    static qint64 cap = 0;
    for (int i = 0; i < count; ++i) {
        clock.advanceSeconds(1);
        ChannelReading r = reading(++cap);
        QElapsedTimer t;
        t.start();
        if (sent)
            (*sent)[cap] = at->clock.nsecsElapsed();
        runs.Reading_Proc(1, r);
        const double ms = t.nsecsElapsed() / 1e6;
        total += ms;
        worst = std::max(worst, ms);
        if (sent)
            QThread::msleep(2); // a station's pace, much faster than the charger's
    }
    return { total / count, worst };
}

void cost(const char *what, const MqttBroker &options)
{
    FakeClock clock;
    RunHub hub;
    LiveRuns runs(hub, clock, {});
    std::unique_ptr<MqttPublisher> publisher;
    if (!options.host.isEmpty())
        publisher = std::make_unique<MqttPublisher>(hub, clock, options);
    QThread::msleep(300); // connected, or refused
    feed(runs, clock, 50); // warm
    const auto [mean, worst] = feed(runs, clock, Rounds);
    std::printf("sample path, %s: %.4f ms mean, %.3f ms worst\n", what, mean, worst);
}
double processorSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Scale: 50 stations of 2 channels at a reading a second, watched by one program. A child
// process publishes them; this one watches them all and counts its own processor time: a
// watcher alone, or the main window with a live chart window for each run. The runs' charge so
// far is `mAh` at the first reading: a run's first minutes rescale its axes with each reading.
void watchAll(const MqttBroker &broker, bool windows, qint64 mAh)
{
    constexpr int Stations = 50, Seconds = 10;
    const auto stationTopic = [](int st, const char *ch, const char *what) {
        return "chargemon/st" + QByteArray::number(st) + '/' + ch + '/' + what;
    };
    const pid_t feeder = fork();
    if (feeder == 0) {
        mosquitto *pub = mosquitto_new(nullptr, true, nullptr);
        mosquitto_connect(pub, "127.0.0.1", Port, 30);
        mosquitto_loop_start(pub);
        const auto setRuns = [pub, &stationTopic](const QByteArray &state) {
            for (int st = 0; st < Stations; ++st)
                for (const char *ch : { "ch1", "ch2" })
                    mosquitto_publish(pub, nullptr, stationTopic(st, ch, "run").constData(),
                                      int(state.size()), state.constData(), 1, true);
        };
        // Readings open a run only once its station has said the run is live.
        setRuns(MqttJson::live("day", QDateTime::currentDateTime(), "charging"));
        static volatile std::sig_atomic_t stop = 0;
        std::signal(SIGTERM, [](int) { stop = 1; });
        for (qint64 s = 1; s <= 60 && !stop; ++s) { // until told to stop
            for (int st = 0; st < Stations; ++st)
                for (const char *ch : { "ch1", "ch2" }) {
                    ChannelReading r = reading(mAh + s);
                    r[Time] = DayTime { s / 86400.0 };
                    const QByteArray json = MqttJson::reading(r, QDateTime::currentDateTime());
                    const QByteArray topic = stationTopic(st, ch, "reading");
                    mosquitto_publish(pub, nullptr, topic.constData(), int(json.size()),
                                      json.constData(), 0, false);
                }
            QThread::msleep(1000);
        }
        // The next case's watcher must not find these runs live: it would open them as well.
        setRuns({});
        mosquitto_disconnect(pub);
        mosquitto_loop_stop(pub, false);
        _exit(0);
    }
    SystemClock wall;
    RunHub hub;
    std::unique_ptr<MqttWatcher> watcher;
    std::unique_ptr<WindowRig> rig;
    int started = 0;
    if (windows) {
        rig = std::make_unique<WindowRig>();
        rig->window.show();
        for (int st = 0; st < Stations; ++st) {
            rig->dialogs.inputAnswers << QStringLiteral("127.0.0.1:%1").arg(Port)
                                      << QStringLiteral("st%1").arg(st);
            rig->click("Main_file", "Watch");
            while (!rig->dialogs.inputAnswers.isEmpty())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        }
    } else {
        watcher = std::make_unique<MqttWatcher>(hub, wall, broker);
        QObject::connect(&hub, &RunHub::runStarted, [&] { ++started; });
        for (int st = 0; st < Stations; ++st)
            watcher->watch(QStringLiteral("st%1").arg(st));
    }
    // The windows open with the first readings: counted from a second after the last opened.
    QElapsedTimer opening;
    opening.start();
    while (rig && rig->documents().size() < Stations * 2 && opening.elapsed() < 30'000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    QEventLoop loop;
    QTimer::singleShot(rig ? 1000 : 2500, &loop, &QEventLoop::quit);
    loop.exec();
    const double before = processorSeconds();
    std::fprintf(stderr, "MEASURING\n"); // a profiler can attach from here
    QElapsedTimer span;
    span.start();
    QTimer::singleShot(Seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double used = processorSeconds() - before;
    if (rig)
        started = int(rig->documents().size());
    kill(feeder, SIGTERM);
    waitpid(feeder, nullptr, 0);
    std::printf("watching %d stations (%d runs%s, %lld mAh on, %d readings a second): %.1f %% of "
                "a core\n",
                Stations, started, windows ? " in chart windows" : "", mAh, Stations * 2,
                100 * used / (span.elapsed() / 1000.0));
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QProcess broker;
    broker.start("mosquitto", { "-p", QString::number(Port) });
    if (!broker.waitForStarted()) {
        std::fprintf(stderr, "mosquitto not found\n");
        return 1;
    }
    QThread::msleep(300);
    MqttBroker live, dead;
    live.host = dead.host = "127.0.0.1";
    live.port = Port;
    dead.port = DeadPort;
    live.station = dead.station = "bench";

    // "windows": only the watched runs in chart windows, e.g. to profile them.
    if (argc < 2 || QByteArray(argv[1]) != "windows") {
        {
            const ChannelReading r = reading(1234);
            const QDateTime now = QDateTime::currentDateTime();
            QElapsedTimer t;
            t.start();
            for (int i = 0; i < Rounds; ++i)
                MqttJson::reading(r, now);
            std::printf("a reading's JSON: %.4f ms\n", t.nsecsElapsed() / 1e6 / Rounds);
        }
        cost("no broker named", {});
        cost("dead broker", dead);
        cost("live broker", live);

        // Latency: a subscriber on its own thread stamps each reading's arrival.
        Arrivals arrivals;
        arrivals.clock.start();
        mosquitto_lib_init();
        mosquitto *sub = mosquitto_new(nullptr, true, &arrivals);
        mosquitto_message_callback_set(sub, [](mosquitto *, void *a, const mosquitto_message *m) {
            auto *arr = static_cast<Arrivals *>(a);
            const qint64 now = arr->clock.nsecsElapsed();
            const QByteArray json(static_cast<const char *>(m->payload), m->payloadlen);
            const qsizetype at = json.indexOf("\"cap\":") + 6;
            std::lock_guard guard(arr->lock);
            arr->ns[json.mid(at, json.indexOf(',', at) - at).toLongLong()] = now;
        });
        mosquitto_connect(sub, "127.0.0.1", Port, 30);
        mosquitto_subscribe(sub, nullptr, "chargemon/bench/ch1/reading", 0);
        mosquitto_loop_start(sub);
        FakeClock clock;
        RunHub hub;
        LiveRuns runs(hub, clock, {});
        MqttPublisher publisher(hub, clock, live);
        QThread::msleep(300);
        std::map<qint64, qint64> sent;
        feed(runs, clock, 500, &sent, &arrivals);
        QThread::msleep(300);
        mosquitto_disconnect(sub);
        mosquitto_loop_stop(sub, false);
        std::vector<double> ms;
        {
            std::lock_guard guard(arrivals.lock);
            for (const auto &[cap, ns] : sent)
                if (const auto it = arrivals.ns.find(cap); it != arrivals.ns.end())
                    ms.push_back((it->second - ns) / 1e6);
            std::printf("delivered %zu of %zu readings\n", ms.size(), sent.size());
        }
        std::sort(ms.begin(), ms.end());
        if (!ms.empty())
            std::printf("reading to subscriber: %.2f ms median, %.2f ms worst\n", ms[ms.size() / 2],
                        ms.back());
        mosquitto_destroy(sub);

        watchAll(live, false, 0);
    }
    // Drawn for real with QT_QPA_PLATFORM=xcb under Xvfb.
    watchAll(live, true, 0);
    watchAll(live, true, 2000);
    broker.terminate();
    broker.waitForFinished();
    return 0;
}
