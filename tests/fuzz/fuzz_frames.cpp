// Fuzz target over the frame assembler and decoders, fed through the scripted port as a
// line would deliver the bytes. The first input byte picks the chunk size of the delivery
// (0 means one byte at a time); the rest is the line's bytes. A chunk beginning with 0xff
// raises an error notification, 0xfe pulls the device and plugs it in again, 0xfd makes the
// next read short, 0xfc says the line went quiet. Besides not crashing, every reading must be
// well formed and no byte may go missing.

#include "link/frame_assembler.h"
#include "link/frame_decoders.h"
#include "link/link_host.h"
#include "platform/scripted/scripted_serial_port.h"
#include "support/fake_clock.h"
#include "support/fuzz_target.h"

namespace {

// A pair value spans -129.28 ... 128.27; a negated one (a discharge current) one more.
bool inPairRange(const Value &v, bool negated = false)
{
    const std::optional<Fixed> f = v.number();
    const Fixed lowest = Fixed::fromHundredths(-12928), highest = Fixed::fromHundredths(12827);
    return v.isFixed() && f && *f >= (negated ? -highest : lowest)
        && *f <= (negated ? -lowest : highest);
}

class CheckingHost final : public NullLinkHost {
public:
    int frameLength = 0;

    void Reading_Proc(int channel, ChannelReading &r) override
    {
        require(channel == 1 || (channel == 2 && frameLength == Frame112Length), "channel");
        require(r[Time].isTime() && r[Type].isText(), "time or type");
        const QString chg = r[Chg].text();
        require(chg.isEmpty() || chg == u"+CHG+" || chg == u"-DSC-" || chg == u"Idle", "Chg");
        require(r[Chg].isEmpty() == r[Current].isEmpty(), "Chg without Current");
        require(r[Ext_temp].isWhole() && r[In_temp].isWhole() && r[Cap].isWhole(), "wholes");
        require(inPairRange(r[In_Volt]) && inPairRange(r[Bat_volt]), "voltages");
        require(r[Current].isEmpty() || inPairRange(r[Current], chg == u"-DSC-"), "current");
        const Fixed amps = r[Current].isEmpty() ? Fixed() : *r[Current].number();
        require(r[Power].isFixed()
                    && r[Power].text() == (amps * *r[Bat_volt].number()).abs().format2(),
                "power");
        for (int c = C1; c <= C12; ++c)
            require(inPairRange(r[c]), "cell");
    }
    void EndLiveDoc(int channel) override { require(channel == 1 || channel == 2, "end"); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const qsizetype chunk = data[0] == 0 ? 1 : data[0];
    const QByteArray line(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    ScriptedSerialPort port;
    CheckingHost host;
    FakeClock clock(QDateTime(QDate(2026, 1, 1), QTime(12, 0), Qt::UTC)); // no zone lookups
    FrameAssembler assembler(port, host, clock);
    QObject::connect(&assembler, &FrameAssembler::frameRead, &assembler,
                     [&host](int length) { host.frameLength = length; });
    port.setPortNumber(1);
    port.open();
    port.setReceiveThreshold(1);
    qint64 gone = 0; // bytes the port dropped as the device went
    for (qsizetype i = 0; i < line.size(); i += chunk) {
        port.push(line.mid(i, chunk));
        clock.advanceMs(chunk);
        const char what = line.at(i); // now and then something else happens between chunks
        if (what == '\xff') {
            port.raise(SerialPort::Error);
        } else if (what == '\xfe') { // the device goes away, maybe mid-frame, and comes back
            gone += port.bytesWaiting();
            port.pull();
            require(!assembler.synced(), "a frame held past the device");
            port.open();
        } else if (what == '\xfd') {
            port.shortenNextRead();
        } else if (what == '\xfc') {
            assembler.lineQuiet();
            require(!assembler.synced(), "a frame held past a quiet line");
        }
    }

    const FrameAssembler::Counters &c = assembler.counters();
    qint64 accounted = c.skippedBytes + port.bytesWaiting() + assembler.heldBytes() + gone;
    for (size_t k = 0; k < FrameKinds.size(); ++k)
        accounted += c.frames[k] * FrameKinds[k].length;
    require(accounted == line.size(), "bytes lost or counted twice");
    return 0;
}
