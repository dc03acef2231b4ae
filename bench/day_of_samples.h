#pragma once

#include "day_sample.h"
#include "document/tee.h"
#include "link/channel_reading.h"
#include "run/run.h"
#include "support/fake_document_host.h"

#include <QApplication>
#include <QMdiArea>

// A maximised chart window in a 1600x900 MDI area, offscreen, as the benches measure it;
// the window of a live run of channel 1 unless it shows a file.
struct BenchWindow {
    BenchWindow(int &argc, char **argv, const QString &file = {})
        : app(offscreen(argc), argv), doc(new tee(host))
    {
        area.resize(1600, 900);
        area.show();
        area.addSubWindow(doc);
        doc->InitDoc(nullptr, file, true);
        if (file.isEmpty()) {
            live = std::make_shared<Run>(QStringLiteral("CH1 Chart 1"), host.fakeClock);
            live->goLive(1, {});
            doc->showRun(live);
        }
        doc->showMaximized();
    }
    static int &offscreen(int &argc)
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return argc;
    }

    QApplication app;
    FakeDocumentHost host;
    QMdiArea area;
    tee *doc;
    std::shared_ptr<Run> live;
};

// A day of samples at 1 Hz (daySample), as the benches record them.
inline constexpr int Samples = 86'400;
