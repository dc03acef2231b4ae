#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>

// Where the simulator's bytes go: the master side of a new pseudo-terminal, whose slave a
// monitor opens as its serial port, or a real serial device set to 9600 8N1 raw. It can
// also name the line by a symbolic link, removed again when the line closes.
class OutputLine {
public:
    OutputLine() = default;
    ~OutputLine();
    Q_DISABLE_COPY_MOVE(OutputLine)

    bool openPseudoTerminal(QString &error);
    bool openDevice(const QString &device, QString &error);
    bool addLink(const QString &link, QString &error);

    // The slave path of the pseudo-terminal, or the device.
    QString path() const { return path_; }

    // Bytes the line cannot take now are lost, as on a real line nobody listens to.
    void write(const QByteArray &bytes);

private:
    int fd_ = -1; // the pseudo-terminal's master, or the device
    int slave_ = -1; // held open so that the slave keeps its settings between readers
    QString path_;
    QString link_;
    QElapsedTimer lastEmpty_; // when the slave last had nothing unread
};
