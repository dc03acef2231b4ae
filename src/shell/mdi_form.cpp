#include "shell/mdi_form.h"

#include "document/tee.h"
#include "link/frame_assembler.h"
#include "link/port_search.h"
#include "platform/qt_command_bar.h"
#include "platform/settings.h"
#include "setup/adform.h"
#include "setup/config.h"
#include "shell/command_layout.h"
#include "shell/language.h"

#include <QCloseEvent>
#include <QMdiArea>

MDIForm1::MDIForm1(const MainWindowPlatform &platform, QWidget *parent)
    : QMainWindow(parent), clock_(platform.clock), dialogs_(platform.dialogs),
      store_(platform.store), settings_(platform.settings), area_(new QMdiArea(this)),
      inhibitor_(platform.inhibitor), journalFolder_(platform.journalFolder)
{
    area_->setBackground(QColor(96, 104, 120));
    setCentralWidget(area_);
    menu_ = new QtCommandBar(this, area_, commandLayout(), clock_);
    connect(menu_, &CommandBar::toolClicked, this, &MDIForm1::onToolClicked);
    assembler_ = new FrameAssembler(platform.port, *this, clock_, this);
    search_ = new PortSearch(platform.port, platform.ports, *this, clock_, *assembler_, this);
    language_ = std::make_unique<InterfaceLanguage>(
        *menu_, settings_, [this](const QString &problem) { State_add(problem); });
    resize(1280, 800);
    watchSleepInhibitor();
}

MDIForm1::~MDIForm1()
{
    // Chart windows ask this window and its command bar for things while they go: let them
    // go first, while the MDI area is still whole.
    closingAll_ = true;
    qDeleteAll(area_->subWindowList());
    keepAwake();
    delete area_;
}

IMDIDocument *MDIForm1::Newdoc() const
{
    return newdoc_.data();
}
IMDIDocument *MDIForm1::CH2Doc() const
{
    return ch2doc_.data();
}
IMDIDocument *MDIForm1::DocOpen() const
{
    return docOpen_.data();
}

Tool &MDIForm1::tool(const QString &band, const QString &name) const
{
    return menu_->tool(band, name);
}

void MDIForm1::load()
{
    SetupToolbar();
    if (Config(store_).AdWidth() != 0) {
        ad_ = new adform(store_, dialogs_, this);
        ad_->DockYourselfTo(*menu_, true, 2, 6, 0);
    }
    setChannelDropDown(false);
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
    const MenuFlags &f = config.flags();
    const std::pair<const char *, const char *> menuTools[] = {
        { "File", "Open" },        { "File", "Lang" },         { "File", "Exit" },
        { "View", "Copy" },        { "View", "Title" },        { "View", "CrossLine" },
        { "Help", "Guid" },        { "Help", "About" },        { "Client_menu", "file" },
        { "Client_menu", "View" }, { "Client_menu", "WList" }, { "Client_menu", "Help" },
        { "Main", "File" },        { "Main", "Help" },         { "Main_file", "Open" },
        { "Main_file", "Lang" },   { "Main_file", "Exit" },
    };
    const bool menuFlags[] = { f.MDI_File_Open,    f.MDI_File_Lang,     f.MDI_File_Exit,
                               f.Client_View_Copy, f.Client_View_Title, f.Client_View_CrossLine,
                               f.Help_Guid,        f.Help_About,        f.Client_Menu_File,
                               f.Client_Menu_View, f.Client_Menu_Wlist, f.Client_Menu_Help,
                               f.MDI_file,         f.MDI_help,          f.MDI_File_Open,
                               f.MDI_File_Lang,    f.MDI_File_Exit };
    for (size_t i = 0; i < std::size(menuTools); ++i)
        tool(QLatin1String(menuTools[i].first), QLatin1String(menuTools[i].second))
            .setVisible(menuFlags[i]);
    const std::pair<const char *, bool> barTools[]
        = { { "Open", f.Tools_Open },           { "Save", f.Tools_Save },
            { "Print", f.Tools_Print },         { "Copy", f.Tools_Copy },
            { "Export", f.Tools_Export },       { "Title", f.Tools_Title },
            { "CrossLine", f.Tools_CrossLine }, { "Lang", f.Tools_Lang } };
    for (const auto &[name, shown] : barTools)
        tool(QStringLiteral("Tools"), QLatin1String(name)).setVisible(shown);
    setWindowTitle(config.Caption());
    language_->ApplyLanguage(storedLanguage(settings_));
    tool(QStringLiteral("Tools"), QStringLiteral("Channel")).setPicture(QStringLiteral("CH1"));
}

void MDIForm1::closeEvent(QCloseEvent *event)
{
    closingAll_ = true;
    area_->closeAllSubWindows();
    keepAwake();
    event->accept();
}

bool MDIForm1::lamp(const QString &name) const
{
    return tool(QStringLiteral("state"), name).on();
}

void MDIForm1::setLamp(const QString &name, bool on)
{
    tool(QStringLiteral("state"), name).setOn(on);
}

bool MDIForm1::bothChannelsLive() const
{
    return newdoc_ && ch2doc_;
}

void MDIForm1::setChannelDropDown(bool attached)
{
    tool(QStringLiteral("Tools"), QStringLiteral("Channel"))
        .setSubBand(attached ? QStringLiteral("Channel") : QString());
}
