#include "platform/chart.h"
#include "platform/panel_lamp.h"
#include "platform/segment_readout.h"
#include "setup/infoform1.h"
#include "support/window_rig.h"

#include <QtTest>

namespace {
// The main window with both channels live: channel 1 at 7.20 V, channel 2 at 8.40 V.
struct Rig : WindowRig {
    Rig()
    {
        feed(8.40, 8.40, 0);
        feed(8.40, 8.40);
    }
    void feed(double ch1, double ch2, double seconds = 1)
    {
        clock.advanceSeconds(seconds);
        for (int channel : { 1, 2 }) {
            ChannelReading r = reading(10);
            r[Bat_volt] = Fixed::fromDouble(channel == 1 ? ch1 : ch2);
            window.live().Reading_Proc(channel, r);
        }
    }
    tee *doc(int channel) const
    {
        return dynamic_cast<tee *>(channel == 1 ? window.Newdoc() : window.CH2Doc());
    }
    Infoform1 &panel() { return window.infoPanel(); }
    QString shownVolts() { return panel().LED1(1).text(); }
};
} // namespace

class TestPanelInWindow : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { CrossLineFlag = false; }

    void panelFollowsTheSelectedChannel()
    {
        Rig rig;
        rig.window.Channel_Proc(1);
        rig.feed(7.20, 8.40);
        QCOMPARE(rig.shownVolts(), QString("7.20"));
        rig.window.Channel_Proc(2);
        rig.feed(7.30, 8.50);
        QCOMPARE(rig.shownVolts(), QString("8.50"));
        CrossLineFlag = true; // a cross-line read-out stays on the panel
        rig.feed(7.40, 8.60);
        QCOMPARE(rig.shownVolts(), QString("8.50"));
    }

    void lampsSwitchTheActiveWindowsCurves()
    {
        Rig rig;
        rig.window.show();
        tee *one = rig.doc(1), *two = rig.doc(2);
        QVERIFY(one && two);
        one->active();
        rig.panel().ChartLight(1).click();
        QVERIFY(!one->chart().seriesShown(1));
        QVERIFY(two->chart().seriesShown(1));
        two->active();
        QVERIFY(rig.panel().ChartLight(1).isChecked());
        one->active();
        QVERIFY(!rig.panel().ChartLight(1).isChecked());
        rig.panel().ChartLight(1).click();
        QVERIFY(one->chart().seriesShown(1));
    }
};

QTEST_MAIN(TestPanelInWindow)
#include "test_panel_in_window.moc"
