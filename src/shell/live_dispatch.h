#pragma once

#include "link/link_host.h"
#include "shell/doc_ref.h"

#include <QObject>

#include <memory>

class CommandBar;
class KeepAwake;
class LiveRuns;
class RunHub;
class SleepInhibitor;
class StatusLine;

// The main window's side of the runs being fed: a chart window for each run the charger or a
// watched station starts, and of the charger the status line, the two lamps, the channel
// drop-down of the tool bar, and the computer kept awake while a channel is live.
class LiveDispatch final : public QObject {
    Q_OBJECT
public:
    // `inhibitor`, when given, keeps the computer from idle sleep while a channel is live.
    LiveDispatch(RunHub &hub, LiveRuns &runs, CommandBar &bar, StatusLine &status,
                 DocumentFactory newDocument, SleepInhibitor *inhibitor = nullptr);
    ~LiveDispatch() override;

    // The live window of channel 1 or 2, if any (Newdoc, CH2Doc).
    IMDIDocument *liveDoc(int channel) const { return ref(channel).get(); }
    // The drop-down is attached while both channels are live, detached otherwise.
    void refreshChannelDropDown();
    // Idle sleep held off while a channel is live and `allowed` (not while the program closes).
    void keepAwake(bool allowed = true);

private:
    void setLamp(LinkHost::Lamp lamp, bool on);
    DocRef &ref(int channel) { return channel == 1 ? newdoc_ : ch2doc_; }
    const DocRef &ref(int channel) const { return channel == 1 ? newdoc_ : ch2doc_; }

    LiveRuns &runs_;
    CommandBar &bar_;
    StatusLine &status_;
    DocumentFactory newDocument_;
    DocRef newdoc_, ch2doc_;
    std::unique_ptr<KeepAwake> awake_; // none without an inhibitor
};
