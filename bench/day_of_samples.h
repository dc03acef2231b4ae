#pragma once

#include "document/tee.h"
#include "link/channel_reading.h"
#include "support/fake_document_host.h"

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

// A day of samples at 1 Hz, as the benches record them.
inline constexpr int Samples = 86'400;

inline ChannelReading sample(qint64 s)
{
    ChannelReading r;
    r[Type] = "LiIo/Po/Fe";
    r[Chg] = "+CHG+";
    r[Ext_temp] = 25 + s % 7;
    r[In_temp] = 0;
    r[In_Volt] = Fixed::fromHundredths(1200);
    r[Bat_volt] = Fixed::fromHundredths(1500 + s % 180);
    r[Current] = Fixed::fromHundredths(200 - s % 50);
    r[Cap] = s / 2;
    r[Power] = "30.00";
    for (int c = 0; c < 12; ++c)
        r[C1 + c] = Fixed::fromHundredths(c < 4 ? 380 + s % 40 : 0);
    return r;
}
