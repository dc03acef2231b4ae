#include "frame_builder.h"
#include "link/frame_decoders.h"
#include "support/fake_link_host.h"
#include "support/readings.h"

#include <QTest>

namespace {

const DayTime TenOClock { 36000 / 86400.0 };

// A channel block at `base` charging at 2.05 A, 12.37 V, 25 degrees, 1234 mAh.
FrameBuilder &chargingBlock(FrameBuilder &f, int base)
{
    f.code(base + 1, 2).code(base + 2, 0).capacity(base + 6, 1234);
    return f.pair(base + 11, 205).pair(base + 15, 1237).pair(base + 17, 25);
}

FrameBuilder frame36()
{
    FrameBuilder f(Frame36Length);
    return chargingBlock(f, 0).pair(4, 1200);
}

FrameBuilder frame112()
{
    FrameBuilder f(Frame112Length);
    return chargingBlock(chargingBlock(f, 0).pair(4, 1200), 54);
}

// Charging at 1.50 A, 8.40 V.
FrameBuilder frame76()
{
    return FrameBuilder(Frame76Length).code(8, 1).code(23, 1).pair(33, 150).pair(35, 840);
}

} // namespace

class TestFrameDecoders : public QObject {
    Q_OBJECT
private slots:
    void pairValue_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("f");
        QTest::addColumn<qint64>("hundredths");
        QTest::newRow("zero") << 128 << 128 << qint64(0);
        QTest::newRow("whole and hundredths") << 140 << 178 << qint64(1250);
        QTest::newRow("parts cancel") << 127 << 228 << qint64(0);
        QTest::newRow("negative hundredth") << 129 << 27 << qint64(-1);
        QTest::newRow("lowest") << 0 << 0 << qint64(-12928);
        QTest::newRow("highest") << 255 << 255 << qint64(12827);
    }
    void pairValue()
    {
        QFETCH(int, w);
        QFETCH(int, f);
        QFETCH(qint64, hundredths);
        QCOMPARE(PairValue(quint8(w), quint8(f)), Fixed::fromHundredths(hundredths));
    }

    // What a mode byte makes of a 36-byte block or of a 76-byte frame: "" ends the run, else
    // the reading's Chg, Current and Power.
    void modes_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("shown");
        QTest::newRow("36 inactive") << frame36().byte(1, 128).bytes() << "";
        QTest::newRow("36 below zero is inactive") << frame36().byte(1, 100).bytes() << "";
        QTest::newRow("36 discharging") << frame36().byte(1, 129).bytes() << "-DSC- -2.05 25.36";
        QTest::newRow("36 charging") << frame36().bytes() << "+CHG+ 2.05 25.36";
        QTest::newRow("36 other mode") << frame36().byte(1, 131).bytes() << "  0.00";
        // every 76-byte frame is a reading; none ends the run
        QTest::newRow("76 charging") << frame76().bytes() << "+CHG+ 1.50 12.60";
        QTest::newRow("76 high mode charges")
            << frame76().byte(8, 200).bytes() << "+CHG+ 1.50 12.60";
        QTest::newRow("76 idle without battery")
            << frame76().pair(35, 0).bytes() << "Idle 1.50 0.00";
        QTest::newRow("76 mode zero discharges")
            << frame76().byte(8, 128).bytes() << "-DSC- -1.50 12.60";
        QTest::newRow("76 below zero discharges")
            << frame76().byte(8, 127).bytes() << "-DSC- -1.50 12.60";
    }
    void modes()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QString, shown);
        FakeLinkHost host;
        (frame.size() == Frame36Length ? decode36 : decode76)(frame, host, TenOClock);
        QCOMPARE(host.events.size(), 1);
        QCOMPARE(host.count(FakeLinkHost::Event::End, 1), shown.isEmpty() ? 1 : 0);
        if (shown.isEmpty())
            return;
        const ChannelReading r = host.readings(1).value(0);
        QCOMPARE(*r[Time].time(), TenOClock);
        QCOMPARE(r[Current].isEmpty(), shown.startsWith(' '));
        QCOMPARE(QStringList({ r[Chg].text(), r[Current].text(), r[Power].text() }).join(' '),
                 shown);
    }

    void typeTables_data()
    {
        QTest::addColumn<int>("kind"); // 36, 76, or 2 for channel 2 of a 112-byte frame
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const char *const block[]
            = { "LiIo/Po/Fe", "LiIo/Po/Fe", "LiIo/Po/Fe", "LiIo/Po/Fe", "NiMH", "NiCd", "Pb", "" };
        const char *const ch2[] = { "Unknown", "LiIo/Po/Fe", "LiIo/Po/Fe", "LiIo/Po/Fe",
                                    "NiMH",    "NiCd",       "Pb",         "Unknown" };
        const char *const f76[] = { "", "LiIo/Po/Fe", "Ni-MH", "Ni-Cd", "Pb", "", "", "" };
        for (int code = 0; code < 8; ++code) {
            QTest::addRow("36 code %d", code) << 36 << code << block[code];
            QTest::addRow("ch2 code %d", code) << 2 << code << ch2[code];
            QTest::addRow("76 code %d", code) << 76 << code << f76[code];
        }
        QTest::newRow("36 code -1") << 36 << -1 << "";
        QTest::newRow("ch2 code -1") << 2 << -1 << "Unknown";
        QTest::newRow("76 code 127") << 76 << 127 << "";
    }
    void typeTables()
    {
        QFETCH(int, kind);
        QFETCH(int, code);
        QFETCH(QString, text);
        FakeLinkHost host;
        if (kind == 36)
            decode36(frame36().code(2, code), host, TenOClock);
        else if (kind == 76)
            decode76(frame76().code(23, code), host, TenOClock);
        else
            decode112(frame112().code(56, code), host, TenOClock);
        const int channel = kind == 2 ? 2 : 1;
        QCOMPARE(host.readings(channel).value(0)[Type].text(), text);
    }

    // Every field's text is in tests/fuzz/mixed_stream.expected; here channel 2 reads its own
    // block but channel 1's input voltage.
    void frame112SecondChannel()
    {
        FakeLinkHost host;
        decode112(frame112().code(55, 1).code(56, 4).pair(58, 500).pair(69, 700), host, TenOClock);
        QCOMPARE(
            texts(host.readings(2).value(0)).mid(1, 9),
            QStringList({ "NiMH", "-DSC-", "25", "0", "12.00", "7.00", "-2.05", "1234", "14.35" }));
    }

    void frame112ChannelStates_data()
    {
        QTest::addColumn<int>("mode1");
        QTest::addColumn<int>("mode2");
        QTest::addColumn<QString>("outcome"); // R = reading, E = end, per event in order
        QTest::newRow("both charging") << 2 << 2 << "R1 R2";
        QTest::newRow("channel 1 inactive") << 0 << 2 << "E1 R2";
        QTest::newRow("channel 2 inactive") << 1 << 0 << "R1 E2";
        QTest::newRow("both inactive") << 0 << -3 << "E1 E2";
        QTest::newRow("channel 2 other mode dropped") << 2 << 3 << "R1";
        QTest::newRow("channel 1 other mode kept") << 3 << 1 << "R1 R2";
    }
    void frame112ChannelStates()
    {
        QFETCH(int, mode1);
        QFETCH(int, mode2);
        QFETCH(QString, outcome);
        FakeLinkHost host;
        const DayTime later { 50000 / 86400.0 };
        decode112(frame112().code(1, mode1).code(55, mode2), host, later);
        QStringList got;
        for (const FakeLinkHost::Event &e : host.events) {
            got << QStringLiteral("%1%2")
                       .arg(e.kind == FakeLinkHost::Event::Reading ? "R" : "E")
                       .arg(e.channel);
            if (e.kind == FakeLinkHost::Event::Reading)
                QCOMPARE(*e.reading[Time].time(), later);
        }
        QCOMPARE(got.join(u' '), outcome);
    }

    void capacityTemperatureAndPower()
    {
        FakeLinkHost host;
        // 1.25 A x 12.50 V = 15.625 W, rounded half away from zero
        decode36(frame36().capacity(6, 98765).pair(17, -5).code(1, 1).pair(11, 125).pair(15, 1250),
                 host, TenOClock);
        const ChannelReading r = host.readings(1).value(0);
        QCOMPARE(r[Cap], Value(98765));
        QCOMPARE(r[Ext_temp], Value(-5));
        QCOMPARE(r[Power].text(), "15.63");
    }

    void shortBuffersIgnored()
    {
        using Decoder = void (*)(const QByteArray &, LinkHost &, DayTime);
        const std::pair<Decoder, int> decoders[] = { { decode36, Frame36Length },
                                                     { decode76, Frame76Length },
                                                     { decode112, Frame112Length } };
        FakeLinkHost host;
        for (const auto &[decode, length] : decoders) {
            decode(QByteArray(length - 1, char(130)), host, TenOClock);
            decode(QByteArray(), host, TenOClock);
        }
        QVERIFY(host.events.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestFrameDecoders)
#include "test_frame_decoders.moc"
