#pragma once

#include "link/link_host.h"
#include "shell/doc_ref.h"

class CommandBar;
class SleepInhibitor;
class StatusLine;

// The link's host in the main window: the live chart window of each channel, fed with
// every plausible reading, the two lamps and the channel drop-down of the tool bar.
class LiveDispatch final : public LinkHost {
public:
    // `inhibitor`, when given, keeps the computer from idle sleep while a channel is live.
    LiveDispatch(CommandBar &bar, StatusLine &status, DocumentFactory newDocument,
                 SleepInhibitor *inhibitor = nullptr);
    ~LiveDispatch() override;
    LiveDispatch(const LiveDispatch &) = delete;
    LiveDispatch &operator=(const LiveDispatch &) = delete;

    void Reading_Proc(int channel, ChannelReading &reading) override;
    void EndLiveDoc(int channel) override;
    void State_add(const QString &str1) override;
    void setLamp(Lamp lamp, bool on) override;
    void refreshChannelDropDown() override;

    // The live window of channel 1 or 2, if any (Newdoc, CH2Doc).
    IMDIDocument *liveDoc(int channel) const { return ref(channel).get(); }
    bool bothChannelsLive() const { return newdoc_ && ch2doc_; }
    // Idle sleep held off while a channel is live and `allowed` (not while the program closes).
    void keepAwake(bool allowed = true);

private:
    void NewLiveDoc(int channel, const QString &prefix);
    DocRef &ref(int channel) { return channel == 1 ? newdoc_ : ch2doc_; }
    const DocRef &ref(int channel) const { return channel == 1 ? newdoc_ : ch2doc_; }

    CommandBar &bar_;
    StatusLine &status_;
    DocumentFactory newDocument_;
    DocRef newdoc_, ch2doc_;
    qint32 windowCounter_ = 0;
    SleepInhibitor *inhibitor_;
    bool awake_ = false;
    bool sleepRefusalNoted_ = false;
};

// Readings a working charger cannot produce: line noise that passed as a frame.
bool implausible(const ChannelReading &r);
