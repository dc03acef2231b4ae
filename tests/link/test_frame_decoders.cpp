#include "frame_builder.h"
#include "link/frame_decoders.h"
#include "support/fake_link_host.h"
#include "support/readings.h"

#include <QTest>

namespace {

const DayTime TenOClock { 36000 / 86400.0 };

// Channel blocks charging at 2.05 A, 12.37 V, 25 degrees, 1234 mAh from 12.00 V in: one in a
// 36-byte frame, two in a 112-byte frame.
FrameBuilder charging(int length)
{
    FrameBuilder f(length);
    for (int base = 0; base + Frame36Length <= length; base += 54) {
        f.code(base + 1, 2).code(base + 2, 0).capacity(base + 6, 1234);
        f.pair(base + 11, 205).pair(base + 15, 1237).pair(base + 17, 25);
    }
    return f.pair(4, 1200);
}

// Charging at 1.50 A, 8.40 V.
FrameBuilder frame76()
{
    return FrameBuilder(Frame76Length).code(8, 1).code(23, 1).pair(33, 150).pair(35, 840);
}

} // namespace

class TestFrameDecoders : public QObject {
    Q_OBJECT
    FrameBuilder frame36() { return charging(Frame36Length); }
    FrameBuilder frame112() { return charging(Frame112Length); }

private slots:
    void pairValue_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("f");
        QTest::addColumn<int>("hundredths");
        const int rows[][3] = { { 128, 128, 0 }, { 140, 178, 1250 }, { 127, 228, 0 },
                                { 129, 27, -1 }, { 0, 0, -12928 },   { 255, 255, 12827 } };
        for (const auto &[w, f, hundredths] : rows)
            QTest::addRow("%d %d", w, f) << w << f << hundredths;
    }
    void pairValue()
    {
        QFETCH(int, w);
        QFETCH(int, f);
        QFETCH(int, hundredths);
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
        QCOMPARE(host.readings(kind == 2 ? 2 : 1).value(0)[Type].text(), text);
    }

    // Every field's text is in tests/fuzz/mixed_stream.expected; here channel 2 reads its own
    // block but channel 1's input voltage, a five-digit capacity, a temperature below zero
    // and the power of 1.25 A x 12.50 V rounded half away from zero.
    void frame112SecondChannel()
    {
        FakeLinkHost host;
        FrameBuilder f = frame112();
        f.code(55, 1).code(56, 4).pair(58, 500).capacity(60, 98765);
        decode112(f.pair(65, 125).pair(69, 1250).pair(71, -5), host, TenOClock);
        QCOMPARE(texts(host.readings(2).value(0)).mid(1, 9),
                 QStringList(
                     { "NiMH", "-DSC-", "-5", "0", "12.00", "12.50", "-1.25", "98765", "15.63" }));
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
        for (const FakeLinkHost::Event &e : host.events)
            got << (e.kind == FakeLinkHost::Event::Reading ? "R" : "E")
                    + QString::number(e.channel);
        for (const ChannelReading &r : host.readings(1) + host.readings(2))
            QCOMPARE(*r[Time].time(), later);
        QCOMPARE(got.join(u' '), outcome);
    }

    void shortBuffersIgnored()
    {
        FakeLinkHost host;
        decode36(QByteArray(Frame36Length - 1, char(130)), host, TenOClock);
        decode76(QByteArray(Frame76Length - 1, char(130)), host, TenOClock);
        decode112(QByteArray(Frame112Length - 1, char(130)), host, TenOClock);
        decode112(QByteArray(), host, TenOClock);
        QVERIFY(host.events.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestFrameDecoders)
#include "test_frame_decoders.moc"
