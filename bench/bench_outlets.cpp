// What an outlet of the readings costs the sample path: absent, configured with its server
// reachable, with nothing listening, and with a server that accepts and never answers. Samples
// go through the real path (live runs, hub, followers) at a fake second each, the event loop
// running between them as the program's does, so the outlet's sending is counted too. Another
// outlet is one more row of `outlets`.
// Run by hand: build/bench/bench_outlets
#include "publish/influx_writer.h"
#include "run/live_runs.h"
#include "support/fake_clock.h"
#include "support/http_server.h"
#include "support/private_influx.h"
#include "support/readings.h"
#include "thread_cpu.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <numeric>
#include <vector>

namespace {
constexpr int Warm = 50, Rounds = 2000;

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
    std::vector<qint64> ns;
    qint64 cpuBefore = 0;
    for (int i = -Warm; i < Rounds; ++i) {
        if (i == 0)
            ns.clear(), cpuBefore = threadCpuNs();
        clock.advanceSeconds(1); // batches, pauses and timeouts pass
        ChannelReading r = reading(i + Warm);
        QElapsedTimer t;
        t.start();
        runs.Reading_Proc(1, r);
        ns.push_back(t.nsecsElapsed());
        // A second passes between samples: its network has real time to answer, a little.
        QThread::msleep(1);
        QCoreApplication::processEvents();
    }
    const double cpu = (threadCpuNs() - cpuBefore) / 1e6 / Rounds;
    const double mean = std::accumulate(ns.begin(), ns.end(), 0.0) / 1e6 / Rounds;
    std::sort(ns.begin(), ns.end());
    // The worst says more of the shared machine's scheduler than of the path.
    std::printf("%-10s %-18s sample path %.4f ms mean, %.3f ms at 99.9 %%; its thread %.4f ms a "
                "sample with the event loop's work\n",
                outlet.name, what, mean, ns[ns.size() * 999 / 1000] / 1e6, cpu);
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
    HttpServer silent;
    silent.status = 0;
    const QString dead = QStringLiteral("http://127.0.0.1:%1").arg(Broker::freePort());
    const Outlet outlets[] = {
        { "InfluxDB", influx.url(),
          [](RunHub &hub, const Clock &clock, const QString &url) {
              return std::make_unique<InfluxWriter>(hub, clock,
                                                    InfluxTarget { url, "lab", {}, {}, "bench" });
          } },
    };
    cost(outlets[0], "none", {}); // warms the path
    for (const Outlet &o : outlets) {
        cost(o, "none", {});
        cost(o, "reachable", o.liveUrl);
        cost(o, "nothing listening", dead);
        cost(o, "never answers", silent.url().toString().chopped(1));
    }
    std::printf("written to InfluxDB: %s\n",
                influx.query("SELECT count(cap) FROM chargemon").constData());
    return 0;
}
