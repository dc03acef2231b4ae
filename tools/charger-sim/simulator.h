#pragma once

#include "charger_channel.h"
#include "frame_encoder.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <random>
#include <vector>

class OutputLine;

struct SimulatorOptions {
    FrameKind kind = FrameKind::Long;
    double speed = 1; // frames per second
    int count = 0; // frames to send before finishing; 0 for no end
    bool noise = false;
    int pauseAt = 0; // after this frame the line falls silent ...
    double pauseSeconds = 0; // ... for this long, while the charger goes on working
    int resetAt = 0; // this frame starts new runs, their capacity from zero
    quint32 seed = 1;
};

// The charger: every simulated second its channels work on and one frame goes out, in
// small pieces at the pace of the line, as a serial adapter delivers them.
class Simulator : public QObject {
    Q_OBJECT
public:
    Simulator(const SimulatorOptions &options, OutputLine &line, QObject *parent = nullptr);

    void start();

signals:
    void finished();

private:
    void tick();
    void sendChunk();
    QByteArray noise();

    SimulatorOptions options_;
    OutputLine &line_;
    std::vector<ChargerChannel> channels_;
    std::mt19937 random_;
    QTimer frameTimer_;
    QTimer sendTimer_;
    QByteArray pending_; // bytes of the frames the line has not carried yet
    QElapsedTimer silence_;
    int sent_ = 0;
};
