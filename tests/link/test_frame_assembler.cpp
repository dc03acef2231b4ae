#include "frame_builder.h"
#include "link/frame_assembler.h"
#include "link/frame_decoders.h"
#include "platform/scripted/scripted_serial_port.h"
#include "support/fake_clock.h"
#include "support/fake_link_host.h"
#include "support/readings.h"

#include <QTest>

#include <algorithm>

namespace {

// Line noise that never holds "{".
QByteArray noise(int n)
{
    QByteArray out;
    for (int i = 0; i < n; ++i)
        out += char(i * 37 % 251 == FrameStart ? 0 : i * 37 % 251);
    return out;
}

const DayTime TenOClock { 36000 / 86400.0 };

// What the decoder of the frame's length says, one word per channel it speaks of:
// "channel:Type/Chg/Current/Power" for a reading stamped with the frame's time,
// "channel:end" for the end of a run.
QString heard(const QByteArray &frame)
{
    const auto kind = std::find_if(FrameKinds.begin(), FrameKinds.end(),
                                   [&](const FrameKindRow &k) { return k.length == frame.size(); });
    QStringList words;
    int channel = 0;
    for (const ChannelOutcome &o : kind->decode(frame, TenOClock)) {
        const QString prefix = QString::number(++channel) + ':';
        if (o.inactive)
            words << prefix + "end";
        if (!o.reading)
            continue;
        const ChannelReading &r = *o.reading;
        words << prefix
                + QStringList({ r[Type].text(), r[Chg].text(), r[Current].text(), r[Power].text() })
                      .join(u'/')
                + (r[Time] == Value(TenOClock) ? "" : " wrong time");
    }
    return words.join(u' ');
}

} // namespace

class TestFrameAssembler : public QObject {
    Q_OBJECT

    // Distinct frames of each kind, told apart by their battery voltage in hundredths; a
    // 112-byte frame's channel 2 is inactive.
    QByteArray frame36(int v) { return FrameBuilder(Frame36Length).code(1, 2).pair(15, v); }
    QByteArray frame76(int v) { return FrameBuilder(Frame76Length).code(8, 1).pair(35, v); }
    QByteArray frame112(int v) { return FrameBuilder(Frame112Length).code(1, 2).pair(15, v); }

    struct Rig {
        ScriptedSerialPort port;
        FakeLinkHost host;
        FakeClock clock;
        FrameAssembler assembler { port, host, clock };
        Rig()
        {
            port.setPortNumber(1);
            port.open();
            port.setReceiveThreshold(1); // as the port search leaves it
        }
        // Battery voltages of channel 1's readings, in order.
        QList<qint64> volts() const
        {
            QList<qint64> out;
            for (const ChannelReading &r : host.readings(1))
                out << r[Bat_volt].number()->raw() / 100;
            return out;
        }
    };

    std::unique_ptr<Rig> rig;

private slots:
    void init() { rig = std::make_unique<Rig>(); }

    // A frame is decoded with its last byte, not when more bytes follow: a stream that stops
    // leaves nothing behind. Its "}" tells a short frame at once; the longest needs none.
    void readAtItsLastByte_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("36") << frame36(1111);
        QTest::newRow("76") << frame76(1111);
        QTest::newRow("112") << frame112(1111).chopped(1) + char(0);
    }
    void readAtItsLastByte()
    {
        QFETCH(QByteArray, frame);
        for (int n = 1; n <= 3; ++n) {
            rig->port.pushBytewise(noise(2) + frame.chopped(1));
            QCOMPARE(rig->volts().size(), n - 1);
            rig->port.push(frame.right(1));
            QCOMPARE(rig->volts().size(), n);
        }
        QCOMPARE(rig->host.readings(1)[0][Time].time()->secondsOfDay(), 10 * 3600);
        QVERIFY(!rig->assembler.synced() && rig->assembler.heldBytes() == 0);
        QCOMPARE(rig->assembler.counters().skippedBytes, 6);
        QCOMPARE(rig->port.receiveThreshold(), 1);
    }

    // A "{" of noise before the last frame holds it until the line has been quiet.
    void quietLineReadsWhatIsHeld()
    {
        rig->port.push("{" + frame36(1111) + "{" + frame76(1112).left(50));
        QVERIFY(rig->host.events.isEmpty());
        rig->assembler.lineQuiet();
        QCOMPARE(rig->volts(), QList<qint64>({ 1111 }));
        QVERIFY(!rig->assembler.synced() && rig->assembler.heldBytes() == 0);
        QCOMPARE(rig->port.bytesWaiting(), 0);
    }

    // The same mixed stream, with noise between frames, arrives in chunks of many sizes, and
    // then the line goes on in one piece; every frame comes out once, in order. Frames that
    // arrive together are all read at once, not one per notification. The end markers at 35
    // and 75 tell the kind; a 112-byte frame needs none.
    void chunkedStream_data()
    {
        QTest::addColumn<int>("chunk");
        for (int chunk : { 1, 2, 7, 35, 36, 64, 111, 1000 })
            QTest::addRow("%d", chunk) << chunk;
    }
    void chunkedStream()
    {
        QFETCH(int, chunk);
        const QByteArray stream = noise(9) + frame36(1201) + frame112(1202) + noise(3)
            + frame76(1203) + frame76(1204) + noise(1) + frame36(1205) + frame112(1206).chopped(1)
            + noise(1);
        for (qsizetype i = 0; i < stream.size(); i += chunk)
            rig->port.push(stream.mid(i, chunk));
        rig->port.push(noise(400));
        QCOMPARE(rig->volts(), QList<qint64>({ 1201, 1202, 1203, 1204, 1205, 1206 }));
        const auto &frames = rig->assembler.counters().frames;
        QCOMPARE(QList<qint64>(frames.begin(), frames.end()), QList<qint64>({ 2, 2, 2 }));
        QCOMPARE(rig->host.count(FakeLinkHost::Event::End, 2), 2);
    }

    // Status notifications count as hearing from the line, but neither read nor blink.
    void otherNotifications()
    {
        rig->clock.advanceMs(500);
        rig->port.raise(SerialPort::Error);
        QCOMPARE(rig->assembler.lastReceiveMs(), std::optional<qint64>(500));
        QVERIFY(!rig->host.lamps.value(LinkHost::Lamp::Receive));
        rig->clock.advanceMs(500);
        rig->port.push("x");
        QVERIFY(rig->host.lamps.value(LinkHost::Lamp::Receive));
        QCOMPARE(rig->assembler.lastReceiveMs(), std::optional<qint64>(1000));
        rig->port.push("y");
        QVERIFY(!rig->host.lamps.value(LinkHost::Lamp::Receive));
        rig->port.push("{" + noise(20));
        rig->port.raise(SerialPort::Error);
        QVERIFY(rig->assembler.synced());
        QCOMPARE(rig->port.bytesWaiting(), 20);
    }

    void systemClockTellsTheLocalTimeOfDay()
    {
        const int before = QTime::currentTime().msecsSinceStartOfDay() / 1000;
        const int told = qRound(SystemClock().timeOfDay() * 86400);
        QVERIFY(told - before == 0 || told - before == 1);
    }

    // A port may hand over fewer bytes than it said were waiting: the frame is not whole.
    void shortReadDropsTheFrame()
    {
        rig->port.push("{");
        rig->port.shortenNextRead();
        rig->port.push(frame112(900).mid(1, 50));
        QVERIFY(!rig->assembler.synced() && rig->host.events.isEmpty());
        QCOMPARE(rig->assembler.counters().skippedBytes, 51);
    }

    // The decoders, frame by frame.
    // Rounding the fifth decimal, a half hundredth away from zero, no sign on a tiny negative.
    void parse()
    {
        QStringList got; // the raw value and the two-decimal text
        for (const char *text : { "12.5", "-0.01", "25", "1.23455", "-2.005", "-0.004", ".5" }) {
            const auto f = Fixed::parse(QString::fromLatin1(text));
            QVERIFY2(f && Fixed::parse(f->plain())->raw() == f->raw(), text); // plain reads back
            got << QStringLiteral("%1 %2").arg(f->raw()).arg(f->format2());
        }
        QCOMPARE(got.join(", "),
                 "125000 12.50, -100 -0.01, 250000 25.00, 12346 1.23, "
                 "-20050 -2.01, -40 0.00, 5000 0.50");
        for (const char *t : { "", "-", ".", "1,5", "abc", "1.2.3", "99999999999999999999" })
            QVERIFY2(!Fixed::parse(QString::fromLatin1(t)), t);
        QVERIFY(!Value("Idle").number() && !Value().number());
    }
    void roundingAndProduct()
    {
        for (const auto &[text, whole] : { std::pair(u"2.5", 2), { u"3.5", 4 }, { u"-2.5", -2 } })
            QCOMPARE(Fixed::parse(text)->roundedHalfEven(), whole);
        QCOMPARE((*Fixed::parse(u"-1.25") * *Fixed::parse(u"12.50")).format2(), "-15.63");
        QCOMPARE(Fixed::fromDouble(0.1 + 0.2).raw(), 3000);
    }

    void pairValue()
    {
        const int rows[][3] = { { 128, 128, 0 }, { 140, 178, 1250 }, { 127, 228, 0 },
                                { 129, 27, -1 }, { 0, 0, -12928 },   { 255, 255, 12827 } };
        for (const auto &[w, f, hundredths] : rows)
            QCOMPARE(PairValue(quint8(w), quint8(f)), Fixed::fromHundredths(hundredths));
    }

    // Mode bytes end a run, charge, discharge or leave the current out; type bytes name the
    // battery by a table of each layout.
    void events_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("events");
        const QString li = "1:LiIo/Po/Fe", ch36 = "/+CHG+/2.05/25.36", ch76 = "/+CHG+/1.50/12.60";
        const QString dsc36 = "/-DSC-/-2.05/25.36", dsc76 = li + "/-DSC-/-1.50/12.60";
        const std::tuple<const char *, QByteArray, QString> rows[] = {
            { "36 discharging", charging(36).code(1, 1), li + dsc36 },
            { "36 inactive", charging(36).code(1, 0), "1:end" },
            { "36 below zero is inactive", charging(36).code(1, -28), "1:end" },
            { "36 other mode", charging(36).code(1, 3), li + "///0.00" },
            // every 76-byte frame is a reading; none ends the run
            { "76 high mode charges", ::frame76().code(8, 72), li + ch76 },
            { "76 idle without battery", ::frame76().pair(35, 0), li + "/Idle/1.50/0.00" },
            { "76 mode zero discharges", ::frame76().code(8, 0), dsc76 },
            { "76 below zero discharges", ::frame76().code(8, -1), dsc76 },
            { "112 both charging", charging(112), li + ch36 + " 2:Unknown" + ch36 },
            { "112 channel 1 inactive", charging(112).code(1, 0), "1:end 2:Unknown" + ch36 },
            { "112 channel 2 inactive", charging(112).code(1, 1).code(55, 0),
              li + dsc36 + " 2:end" },
            { "112 both inactive", charging(112).code(1, 0).code(55, -3), "1:end 2:end" },
            { "112 channel 2 other mode dropped", charging(112).code(55, 3), li + ch36 },
            { "112 channel 1 other mode kept", charging(112).code(1, 3).code(55, 1),
              li + "///0.00 2:Unknown" + dsc36 },
        };
        for (const auto &[tag, frame, events] : rows)
            QTest::newRow(tag) << frame << events;
        // by code -1 to 7
        const QStringList block = QString(",L,L,L,L,NiMH,NiCd,Pb,").split(','),
                          ch2 = QString("Unknown,Unknown,L,L,L,NiMH,NiCd,Pb,Unknown").split(','),
                          f76 = QString(",,L,Ni-MH,Ni-Cd,Pb,,,").split(',');
        const auto text = [](const QString &t) { return t == "L" ? "LiIo/Po/Fe" : t; };
        for (int code = -1; code < 8; ++code) {
            QTest::addRow("36 type %d", code)
                << QByteArray(charging(36).code(2, code)) << "1:" + text(block[code + 1]) + ch36;
            QTest::addRow("channel 2 type %d", code)
                << QByteArray(charging(112).code(1, 0).code(56, code))
                << "1:end 2:" + text(ch2[code + 1]) + ch36;
            QTest::addRow("76 type %d", code)
                << QByteArray(::frame76().code(23, code)) << "1:" + text(f76[code + 1]) + ch76;
        }
    }
    void events()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QString, events);
        QCOMPARE(heard(frame), events);
    }

    // Every field's text is in tests/fuzz/mixed_stream.expected; here channel 2 reads its own
    // block but channel 1's input voltage, a five-digit capacity, a temperature below zero
    // and the power of 1.25 A x 12.50 V rounded half away from zero.
    void frame112SecondChannel()
    {
        FrameBuilder f = charging(112).code(55, 1).code(56, 4).pair(58, 500).capacity(60, 98765);
        f.pair(65, 125).pair(69, 1250).pair(71, -5);
        QCOMPARE(texts(decode112(f, TenOClock)[1].reading.value()).mid(1, 9),
                 QStringList(
                     { "NiMH", "-DSC-", "-5", "0", "12.00", "12.50", "-1.25", "98765", "15.63" }));
    }

    void shortBuffersIgnored()
    {
        for (const FrameKindRow &k : FrameKinds)
            for (const ChannelOutcome &o : k.decode(QByteArray(k.length - 1, char(130)), TenOClock))
                QVERIFY(!o.reading && !o.inactive);
    }
};

QTEST_APPLESS_MAIN(TestFrameAssembler)
#include "test_frame_assembler.moc"
