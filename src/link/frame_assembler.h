#pragma once

#include "link/frame_decoders.h"

#include <QByteArray>
#include <QObject>
#include <optional>

class Clock;
class LinkHost;
class SerialPort;

// Runs on every notification of the serial port: hunts for "{", reads a frame as far as its
// kind can be told by where "}" stands, runs that kind's decoder and hands what it says to
// LinkHost. Never waits for bytes: a hunt or a frame that runs dry goes on at the next
// notification, which the receive threshold asks for when the missing bytes are there.
class FrameAssembler : public QObject {
    Q_OBJECT
public:
    struct Counters {
        qint64 skippedBytes = 0;
        std::array<qint64, FrameKinds.size()> frames {}; // by row of FrameKinds
    };

    FrameAssembler(SerialPort &port, LinkHost &host, const Clock &clock, QObject *parent = nullptr);

    void onNotification(int eventKind);
    // The line has been quiet for a while: nothing is left held that holds a whole frame.
    void lineQuiet();

    // Monotonic time of the last notification, of any kind but Gone; none before the first.
    std::optional<qint64> lastReceiveMs() const { return lastReceiveMs_; }
    const Counters &counters() const { return counters_; }
    // The receive lamp blinks with every receive notification; the watchdog puts it out.
    void setReceiveLamp(bool on);
    // A "{" has been read and the rest of its frame is awaited.
    bool synced() const { return rxState_ >= Sync; }
    // Bytes of a frame read so far and not yet decoded.
    int heldBytes() const { return int(frame_.size() + replay_.size()); }

signals:
    // A whole frame of `length` bytes was read; what it says is dispatched right after.
    void frameRead(int length);

private:
    enum : int { Hunt = 0, Sync = 1 };

    void process();
    void hunt();
    // Bytes waiting, and up to `count` of them: those a quiet line handed back, then the port's.
    int waiting() const;
    QByteArray take(int count);
    // False while the frame waits for bytes; true when one was decoded or dropped.
    bool readFrame();
    // Appends exactly `count` bytes to the frame; false when the port delivered fewer.
    bool readInto(int count);
    void dropFrame();

    SerialPort &port_;
    LinkHost &host_;
    const Clock &clock_;
    int rxState_ = Hunt;
    QByteArray frame_;
    QByteArray replay_;
    Counters counters_;
    std::optional<qint64> lastReceiveMs_;
    bool receiveLamp_ = false;
};
