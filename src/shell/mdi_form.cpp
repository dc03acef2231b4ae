#include "shell/mdi_form.h"

#include "document/chart_factory.h"
#include "link/frame_assembler.h"
#include "link/port_search.h"
#include "notify/run_notices.h"
#include "platform/command_names.h"
#include "platform/core/settings.h"
#include "platform/qt_command_bar.h"
#include "publish/influx_writer.h"
#include "publish/mqtt_publisher.h"
#include "publish/pushes.h"
#include "run/live_runs.h"
#include "setup/adform.h"
#include "setup/config.h"
#include "setup/infoform1.h"
#include "shell/command_layout.h"
#include "shell/focus_regions.h"
#include "shell/language.h"
#include "shell/live_dispatch.h"
#include "shell/open_saved_run.h"
#include "shell/status_line.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>

MDIForm1::MDIForm1(const MainWindowPlatform &platform, QWidget *parent)
    : QMainWindow(parent), clock_(platform.clock), dialogs_(platform.dialogs),
      clipboard_(platform.clipboard ? *platform.clipboard : desktopClipboard_),
      printer_(platform.printer ? *platform.printer : previewPrinter_), store_(platform.store),
      settings_(platform.settings), area_(new QMdiArea(this)),
      menu_(new QtCommandBar(this, area_, commandLayout(), clock_)),
      status_(new StatusLine(menu_->tool(Band::State, ToolName::StateList), clock_, this)),
      hub_(new RunHub(this)),
      runs_(new LiveRuns(*hub_, clock_, { platform.journalFolder, &background_ }, this)),
      opening_(std::make_unique<RunOpening>(
          OpeningHost { *this, *menu_, dialogs_, *status_, background_, *hub_, clock_,
                        [this] { return newDocument(); },
                        [this](const QString &suffix, const QString &file) {
                            if (const auto open = fileOpeners_.value(suffix))
                                open(file);
                        } })),
      assembler_(new FrameAssembler(platform.port, *runs_, clock_, this)),
      search_(new PortSearch(platform.port, platform.ports, *runs_, clock_, *assembler_, this)),
      info_(new Infoform1(dialogs_, clock_, this)), journalFolder_(platform.journalFolder),
      bookFile_(platform.bookFile)
{
    commands_ = commandTable();
    previewPrinter_.setParent(this);
    area_->setBackground(QColor(96, 104, 120));
    setCentralWidget(area_);
    connect(menu_, &CommandBar::toolClicked, this, &MDIForm1::onToolClicked);
    new FocusRegions(*this,
                     { [this] { return static_cast<QWidget *>(area_->currentSubWindow()); },
                       [this] { return static_cast<QWidget *>(info_); },
                       [this] { return static_cast<QWidget *>(ad_); },
                       [this] { return static_cast<QWidget *>(statusBar()); } });
    connect(status_, &StatusLine::added, this, &MDIForm1::statusAdded);
    language_ = std::make_unique<InterfaceLanguage>(
        *menu_, settings_, [this](const QString &problem) { State_add(problem); });
    language_->setPanelCaptions([this] {
        info_->retranslateUi();
        nameChannel();
    });
    connect(info_, &Infoform1::ChartLightSwitched, this, &MDIForm1::switchSeries);
    // The panel follows the selected channel, unless the cross line reads samples onto it.
    connect(hub_, &RunHub::recorded, info_, [this](const Run &run, const ChannelReading &sample) {
        if (!view_.crossLineHeld && (watched_ ? &run == watched_ : isSelectedChannel(run)))
            info_->ShowReading(sample);
    });
    // While the ended run's window is still the channel's live window, as the selection
    // always found it.
    connect(hub_, &RunHub::runEnded, this, [this](const std::shared_ptr<Run> &run) {
        if (watched_ == run.get())
            watched_ = nullptr;
        else if (!watched_ && isSelectedChannel(*run))
            Channel_Proc(1);
    });
    live_ = std::make_unique<LiveDispatch>(
        *hub_, *runs_, *menu_, *status_, [this] { return newDocument(); }, platform.inhibitor);
    if (platform.notifier) {
        notices_ = new RunNotices(*hub_, *platform.notifier, settings_, this);
        connect(notices_, &RunNotices::message, status_, &StatusLine::State_add);
    }
    if (const auto mqtt = MqttBroker::fromSettings(settings_); !mqtt.host.isEmpty()) {
        auto *publisher = new MqttPublisher(*hub_, clock_, mqtt, this);
        connect(publisher, &MqttPublisher::message, status_, &StatusLine::State_add);
        if (notices_)
            publisher->follow(*notices_);
    }
    if (const auto influx = InfluxTarget::fromSettings(settings_); !influx.url.isEmpty()) {
        auto *writer = new InfluxWriter(*hub_, clock_, influx, this);
        connect(writer, &InfluxWriter::message, status_, &StatusLine::State_add);
    }
    QString badPush;
    if (const auto to = PushTargets::fromSettings(settings_, badPush);
        notices_ && (!to.ntfy.isEmpty() || !to.webhook.isEmpty())) {
        auto *pushes = new Pushes(clock_, to, this);
        connect(pushes, &Pushes::message, status_, &StatusLine::State_add);
        pushes->follow(*notices_);
    }
    if (!badPush.isEmpty())
        status_->State_add(badPush);
    resize(1280, 800);
}

MDIForm1::~MDIForm1()
{
    // Chart windows ask this window and its command bar for things while they go: let them
    // go first, while the MDI area is still whole. Closed ones too: the area no longer lists
    // them, but they are still its children.
    closingAll_ = true;
    qDeleteAll(area_->findChildren<QMdiSubWindow *>());
    live_->keepAwake(false);
    delete area_;
}

IMDIDocument *MDIForm1::Newdoc() const
{
    return live_->liveDoc(1);
}
IMDIDocument *MDIForm1::CH2Doc() const
{
    return live_->liveDoc(2);
}
IMDIDocument *MDIForm1::DocOpen() const
{
    return opening_->DocOpen();
}

void MDIForm1::openFiles(const QStringList &files)
{
    opening_->openFiles(files);
}

IMDIDocument *MDIForm1::newDocument()
{
    return newChartWindow(*this, *area_);
}

Tool &MDIForm1::tool(const QString &band, const QString &name) const
{
    return menu_->tool(band, name);
}

void MDIForm1::State_add(const QString &str1)
{
    status_->State_add(str1);
}

void MDIForm1::load()
{
    SetupToolbar();
    if (Config(store_).AdWidth() != 0) {
        ad_ = new adform(store_, dialogs_, this);
        ad_->DockYourselfTo(*menu_, true, 2, 6, 0);
    }
    tool(Band::View, ToolName::SidePane).setVisible(ad_ != nullptr);
    info_->DockYourselfTo(*menu_, true, 1, 0, 802);
    live_->refreshChannelDropDown();
    showMaximized();
    menu_->refresh();
    State_add(QStringLiteral("Start."));
    State_add(
        QStringLiteral("Scan serial port for communication.Make sure your driver was installed."));
    const QString problem = store_.takeProblem();
    if (!problem.isEmpty())
        State_add(problem);
    search_->start();
}

void MDIForm1::SetupToolbar()
{
    const Config config(store_);
    applyMenuFlags(*menu_, config.flags());
    // Without a title from the store the window still says which program it is.
    setWindowTitle(config.Caption().isEmpty() ? QGuiApplication::applicationDisplayName()
                                              : config.Caption());
    language_->ApplyLanguage(storedLanguage(settings_));
    tool(Band::Tools, ToolName::Channel).setPicture(ToolName::CH1);
}

void MDIForm1::closeEvent(QCloseEvent *event)
{
    closingAll_ = true;
    // Nothing records once the window is closed: the runs end, and their journals go with
    // their windows.
    runs_->stop();
    area_->closeAllSubWindows();
    live_->keepAwake(false);
    event->accept();
}
