// What an outlet of the readings costs the sample path: absent, configured with its server
// reachable, with nothing listening, and with a server that accepts and never answers. Samples
// go through the real path (live runs, hub, followers) at a fake second each, the event loop
// running between them as the program's does, so the outlet's sending is counted too. Another
// outlet is one more row of `outlets`. The pushes send only notices, so the pack grows too hot
// every 20th sample to give them one to send; those samples are also measured alone.
// Run by hand: build/bench/bench_outlets
#include "notify/run_notices.h"
#include "platform/core/notifier.h"
#include "platform/core/settings.h"
#include "publish/influx_writer.h"
#include "publish/pushes.h"
#include "run/live_runs.h"
#include "support/fake_clock.h"
#include "support/http_server.h"
#include "support/private_influx.h"
#include "support/readings.h"
#include "thread_cpu.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <numeric>
#include <vector>

namespace {
constexpr int Warm = 50, Rounds = 2000, HotEvery = 20;

struct Unheard final : Notifier {
    void notify(const QString &, const QString &) override { }
};

// The pushes of every notice of the hub's runs to `to`.
struct Pushing final : QObject {
    Pushing(RunHub &hub, const Clock &clock, const PushTargets &to)
        : settings(dir.filePath(QStringLiteral("chargemon.ini"))), notices(hub, unheard, settings),
          pushes(clock, to)
    {
        pushes.follow(notices);
    }
    QTemporaryDir dir;
    Settings settings;
    Unheard unheard;
    RunNotices notices;
    Pushes pushes;
};

// An outlet: its name, the address of a server that takes what it sends, and how it follows a
// hub when it writes to `url`.
struct Outlet {
    const char *name;
    QString liveUrl;
    std::function<std::unique_ptr<QObject>(RunHub &, const Clock &, const QString &url)> make;
};

void cost(const Outlet &outlet, const char *what, const QString &url)
{
    FakeClock clock;
    RunHub hub;
    LiveRuns runs(hub, clock, {});
    std::unique_ptr<QObject> follower;
    if (!url.isEmpty())
        follower = outlet.make(hub, clock, url);
    std::vector<qint64> ns, hot;
    qint64 cpuBefore = 0;
    for (int i = -Warm; i < Rounds; ++i) {
        if (i == 0)
            ns.clear(), hot.clear(), cpuBefore = threadCpuNs();
        clock.advanceSeconds(1); // batches, pauses and timeouts pass
        ChannelReading r = reading(i + Warm);
        const bool tooHot = (i + Warm) % HotEvery == 0;
        if (tooHot)
            r[Ext_temp] = 60;
        QElapsedTimer t;
        t.start();
        runs.Reading_Proc(1, r);
        ns.push_back(t.nsecsElapsed());
        if (tooHot)
            hot.push_back(ns.back());
        // A second passes between samples: its network has real time to answer, a little.
        QThread::msleep(1);
        QCoreApplication::processEvents();
    }
    const double cpu = (threadCpuNs() - cpuBefore) / 1e6 / Rounds;
    const double mean = std::accumulate(ns.begin(), ns.end(), 0.0) / 1e6 / Rounds;
    const double hotMean = std::accumulate(hot.begin(), hot.end(), 0.0) / 1e6 / hot.size();
    std::sort(ns.begin(), ns.end());
    // The worst says more of the shared machine's scheduler than of the path.
    std::printf("%-10s %-18s sample path %.4f ms mean (%.4f ms with a notice), %.3f ms at 99.9 %%; "
                "its thread %.4f ms a sample with the event loop's work\n",
                outlet.name, what, mean, hotMean, ns[ns.size() * 999 / 1000] / 1e6, cpu);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Influx influx;
    if (!influx.start()) {
        std::fprintf(stderr, "influxd did not start\n");
        return 1;
    }
    HttpServer silent, taker;
    silent.status = 0;
    const QString dead = QStringLiteral("http://127.0.0.1:%1").arg(Broker::freePort());
    const Outlet outlets[] = {
        { "InfluxDB", influx.url(),
          [](RunHub &hub, const Clock &clock, const QString &url) {
              return std::make_unique<InfluxWriter>(hub, clock,
                                                    InfluxTarget { url, "lab", {}, {}, "bench" });
          } },
        { "ntfy", taker.url().toString(),
          [](RunHub &hub, const Clock &clock, const QString &url) {
              PushTargets to;
              // Every address of the table with a topic.
              PushTargets::parse(QUrl(url).resolved(QUrl(QStringLiteral("/garage"))).toString(),
                                 true, to.ntfy);
              return std::make_unique<Pushing>(hub, clock, to);
          } },
        { "webhook", taker.url().toString(),
          [](RunHub &hub, const Clock &clock, const QString &url) {
              PushTargets to;
              PushTargets::parse(url, false, to.webhook);
              return std::make_unique<Pushing>(hub, clock, to);
          } },
    };
    cost(outlets[0], "none", {}); // warms the path
    for (const Outlet &o : outlets) {
        cost(o, "none", {});
        cost(o, "reachable", o.liveUrl);
        cost(o, "nothing listening", dead);
        cost(o, "never answers", silent.url().toString().chopped(1));
    }
    std::printf("pushes taken: %lld\n", static_cast<long long>(taker.requests.size()));
    std::printf("written to InfluxDB: %s\n",
                influx.query("SELECT count(cap) FROM chargemon").constData());
    return 0;
}
