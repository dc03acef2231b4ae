#pragma once

#include "document/document_host.h"
#include "link/imdi_document.h"
#include "link/link_host.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class CommandBar;
class Dialogs;
class FrameAssembler;
class InterfaceLanguage;
class InterfaceTextStore;
class PortList;
class Settings;
class adform;
class PortSearch;
class QMdiArea;
class SerialPort;
class SleepInhibitor;
class Tool;
class tee;

// What the main window takes from the platform; tests pass their doubles.
struct MainWindowPlatform {
    const Clock &clock;
    SerialPort &port;
    const PortList &ports;
    Dialogs &dialogs;
    InterfaceTextStore &store;
    Settings &settings;
    SleepInhibitor *inhibitor = nullptr; // none: the computer may sleep as it likes
    QString journalFolder = {}; // "": live windows keep no recovery journal
};

// The main window: the command bar, the chart windows in an MDI area, the charger link
// (port search, watchdog, frame assembler) and the live chart window of each channel.
class MDIForm1 final : public QMainWindow, public LinkHost, public DocumentHost {
    Q_OBJECT
public:
    explicit MDIForm1(const MainWindowPlatform &platform, QWidget *parent = nullptr);
    ~MDIForm1() override;

    // The load step: tools from the configuration, title, status messages, first search.
    void load();
    // Offers the runs that were being recorded when a previous program stopped abnormally.
    void recoverRuns();

    // Live chart windows of channel 1 and 2, and the window a saved run is replayed into.
    IMDIDocument *Newdoc() const;
    IMDIDocument *CH2Doc() const;
    IMDIDocument *DocOpen() const;

    CommandBar &Menu() { return *menu_; }
    QMdiArea &mdiArea() { return *area_; }
    PortSearch &portSearch() { return *search_; }
    FrameAssembler &assembler() { return *assembler_; }
    InterfaceLanguage &language() { return *language_; }
    // The advertisement pane; null when the store gives it no width.
    adform *advertisement() const { return ad_; }

    // LinkHost
    void Reading_Proc(int channel, ChannelReading &reading) override;
    void EndLiveDoc(int channel) override;
    void State_add(const QString &str1) override;
    bool lamp(const QString &name) const override;
    void setLamp(const QString &name, bool on) override;
    bool bothChannelsLive() const override;
    void setChannelDropDown(bool attached) override;

    // DocumentHost
    void Channel_Proc(int channel) override;
    void ShowReading(const ChannelReading &) override { }
    void setSeriesLamp(int, bool) override { }
    void cascade() override;
    bool closingAll() const override { return closingAll_; }
    const Clock &clock() const override { return clock_; }
    Dialogs &dialogs() override { return dialogs_; }
    QString journalFolder() const override { return journalFolder_; }

signals:
    // Every status line as shown, for whoever wants to follow the program from outside.
    void statusAdded(const QString &line);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void onToolClicked(Tool &tool);
    void SetupToolbar();
    void crossLine();
    void arrange(int mode);
    void NewLiveDoc(int channel, const QString &prefix);
    void OpenSavedRun();
    tee *openRun(const QString &file, const QString &caption);
    void keepAwake();
    void watchSleepInhibitor();
    tee *newDocument();
    QPointer<tee> &liveDoc(int channel) { return channel == 1 ? newdoc_ : ch2doc_; }
    Tool &tool(const QString &band, const QString &name) const;

    const Clock &clock_;
    Dialogs &dialogs_;
    InterfaceTextStore &store_;
    Settings &settings_;
    QMdiArea *area_;
    CommandBar *menu_;
    FrameAssembler *assembler_;
    PortSearch *search_;
    std::unique_ptr<InterfaceLanguage> language_;
    adform *ad_ = nullptr;
    QPointer<tee> newdoc_, ch2doc_, docOpen_;
    qint32 windowCounter_ = 0;
    bool closingAll_ = false;
    SleepInhibitor *inhibitor_;
    QString journalFolder_;
    bool awake_ = false;
    bool sleepRefusalNoted_ = false;
};
