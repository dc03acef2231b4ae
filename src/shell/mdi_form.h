#pragma once

#include "document/feature.h"
#include "platform/clipboard.h"
#include "platform/core/background.h"
#include "platform/printer.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class CommandBar;
class Dialogs;
class FrameAssembler;
class IMDIDocument;
class InterfaceLanguage;
class Infoform1;
class InterfaceTextStore;
class LiveDispatch;
class LiveRuns;
class RunHub;
class RunNotices;
class Notifier;
class PortList;
class Settings;
class adform;
class PortSearch;
class QMdiArea;
class RunOpening;
class SerialPort;
class SleepInhibitor;
class StatusLine;
class Tool;

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
    Clipboard *clipboard = nullptr; // none: the desktop's
    Printer *printer = nullptr; // none: a print preview over the main window
    QString bookFile = {}; // the battery book's database
    Notifier *notifier = nullptr; // none: the runs are told of in the window only
};

// The main window: the command bar and its dispatcher, the chart windows in an MDI area,
// the charger link with its live dispatch, the opening of saved runs, and the features
// registered in shell/features.cpp.
class MDIForm1 final : public QMainWindow, public FeatureHost {
    Q_OBJECT
public:
    explicit MDIForm1(const MainWindowPlatform &platform, QWidget *parent = nullptr);
    ~MDIForm1() override;

    // The load step: tools from the configuration, title, status messages, first search.
    void load();
    // Offers the runs that were being recorded when a previous program stopped abnormally.
    void recoverRuns();
    // Opens run files as the Open command does, one after another.
    void openFiles(const QStringList &files) override;

    // Live chart windows of channel 1 and 2, and the window a saved run is replayed into.
    IMDIDocument *Newdoc() const;
    IMDIDocument *CH2Doc() const;
    IMDIDocument *DocOpen() const;
    CommandBar &Menu() { return *menu_; }
    // What the charger feeds, for whatever follows it.
    LiveRuns &liveRuns() { return *runs_; }
    // Selects the live window of `channel`, which the information panel then follows.
    void Channel_Proc(int channel);

    // DocumentHost
    void State_add(const QString &str1) override;
    void followRun(const Run &run) override;
    ViewState &viewState() override { return view_; }
    void ShowReading(const ChannelReading &reading) override;
    void setSeriesLamp(int series, bool on) override;
    void cascade() override;
    bool closingAll() const override { return closingAll_; }
    const Clock &clock() const override { return clock_; }
    Dialogs &dialogs() override { return dialogs_; }
    Clipboard &clipboard() override { return clipboard_; }
    Printer &printer() override { return printer_; }
    Background &background() override { return background_; }
    std::optional<double> ratedMah(const QString &description) const override;
    QString packName(const QString &id) const override;

    // FeatureHost
    QWidget &mainWindow() override { return *this; }
    QMdiArea &area() override { return *area_; }
    CommandBar &bar() override { return *menu_; }
    Settings &settings() override { return settings_; }
    IMDIDocument *newDocument() override;
    QString bookFile() const override { return bookFile_; }
    RunNotices *notices() override { return notices_; }
    RunHub &runHub() override { return *hub_; }

signals:
    // Every status line as shown, for whoever wants to follow the program from outside.
    void statusAdded(const QString &line);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void onToolClicked(Tool &tool);
    QHash<QString, std::function<void()>> commandTable();
    void SetupToolbar();
    void crossLine();
    void selectChannel(int channel);
    // The channel tool's name for a screen reader, in the current language.
    void nameChannel();
    void switchSeries(int series, bool shown);
    Tool &tool(const QString &band, const QString &name) const;

    // First made and last gone: the work it waits for at the end is the windows'.
    Background background_;
    const Clock &clock_;
    Dialogs &dialogs_;
    QtClipboard desktopClipboard_;
    QtPrinter previewPrinter_;
    Clipboard &clipboard_;
    Printer &printer_;
    InterfaceTextStore &store_;
    Settings &settings_;
    QMdiArea *area_;
    CommandBar *menu_;
    StatusLine *status_;
    RunHub *hub_;
    LiveRuns *runs_;
    std::unique_ptr<LiveDispatch> live_;
    std::unique_ptr<RunOpening> opening_;
    FrameAssembler *assembler_;
    PortSearch *search_;
    Infoform1 *info_;
    RunNotices *notices_ = nullptr;
    // The shell's and the features' command for each tool name.
    QHash<QString, std::function<void()>> commands_;
    // The features' openers of their files, by suffix.
    QHash<QString, std::function<void(const QString &)>> fileOpeners_;
    std::unique_ptr<InterfaceLanguage> language_;
    adform *ad_ = nullptr;
    bool closingAll_ = false;
    QString journalFolder_;
    QString bookFile_;
    ViewState view_;
    int channel_ = 1; // the one the information panel follows, unless:
    QPointer<const Run> watched_; // the watched station's run it follows
    // `run` is fed by the charger on the channel the panel follows.
    bool isSelectedChannel(const Run &run) const;
};
