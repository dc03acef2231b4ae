#pragma once

#include "document/tee.h"
#include "link/channel_reading.h"
#include "support/fake_document_host.h"
#include "support/readings.h"

#include <QApplication>
#include <QMdiArea>

// A maximised chart window in a 1600x900 MDI area, offscreen, as the benches measure it.
struct BenchWindow {
    BenchWindow(int &argc, char **argv, const QString &caption)
        : app(offscreen(argc), argv), doc(new tee(host))
    {
        area.resize(1600, 900);
        area.show();
        area.addSubWindow(doc);
        doc->InitDoc(nullptr, caption, true);
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
};

// A day of samples at 1 Hz (daySample), as the benches record them.
inline constexpr int Samples = 86'400;
