// frame-dump: replays a raw capture of charger bytes through the frame assembler and
// decoders, one byte at a time as the line delivers them, and prints what the monitor
// reads: one line per reading ("R,...") or channel end ("E,..."), nothing else. Counters go
// to standard error.

#include "link/frame_assembler.h"
#include "link/link_host.h"
#include "platform/core/clock.h"
#include "platform/scripted/scripted_serial_port.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A field as the dump shows it: decimals with exactly two decimals, whole numbers plain.
QString dumpField(const Value &v)
{
    return v.isFixed() ? v.number()->format2() : v.text();
}

class DumpHost final : public NullLinkHost {
public:
    explicit DumpHost(QTextStream &out) : out_(out) { }
    void setFrameLength(int length) { length_ = length; }

    void Reading_Proc(int channel, ChannelReading &reading) override
    {
        out_ << "R," << channel << ',' << length_;
        for (int f = Type; f < FieldCount; ++f)
            out_ << ',' << dumpField(reading[f]);
        out_ << '\n';
    }
    void EndLiveDoc(int channel) override { out_ << "E," << channel << ',' << length_ << '\n'; }

private:
    QTextStream &out_;
    int length_ = 0;
};

// Input as it comes: a capture file, or a live stream on standard input.
int openInput(const QString &name)
{
    return name == u"-" ? STDIN_FILENO : ::open(QFile::encodeName(name).constData(), O_RDONLY);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    // Called by the name it was started with: installed, it is chargemon-frame-dump.
    const QByteArray self = QFileInfo(args.at(0)).fileName().toLocal8Bit();
    if (args.size() != 2 || args.at(1) == u"-h" || args.at(1) == u"--help") {
        std::fprintf(stderr,
                     "usage: %s FILE|-\n"
                     "Prints one line per decoded reading or channel end of a raw "
                     "capture of charger bytes.\n",
                     self.constData());
        return 2;
    }
    const int fd = openInput(args.at(1));
    if (fd < 0) {
        std::fprintf(stderr, "%s: cannot read %s\n", self.constData(), qPrintable(args.at(1)));
        return 1;
    }

    QTextStream out(stdout);
    DumpHost host(out);
    SystemClock clock;
    ScriptedSerialPort port;
    FrameAssembler assembler(port, host, clock);
    QObject::connect(&assembler, &FrameAssembler::frameRead, &assembler,
                     [&host](int length) { host.setFrameLength(length); });
    port.setPortNumber(1);
    port.open();
    port.setReceiveThreshold(1); // as the port search leaves a found port
    char chunk[4096];
    for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) > 0;) {
        port.pushBytewise(QByteArray::fromRawData(chunk, n));
        out.flush();
    }
    assembler.lineQuiet(); // the capture is over
    out.flush();

    const FrameAssembler::Counters &c = assembler.counters();
    for (size_t k = 0; k < FrameKinds.size(); ++k)
        std::fprintf(stderr, "%s%d: %lld", k == 0 ? "frames " : ", ", FrameKinds[k].length,
                     static_cast<long long>(c.frames[k]));
    std::fprintf(stderr, "; bytes skipped: %lld; bytes left unread at the end: %d\n",
                 static_cast<long long>(c.skippedBytes),
                 port.bytesWaiting() + assembler.heldBytes());
    return 0;
}
