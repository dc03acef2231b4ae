#include "shell/command_layout.h"

#include "i18n/languages.h"
#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "setup/config.h"

namespace {

using Kind = Tool::Kind;
using Role = BandSpec::Role;

// A command as menus and the tool bar show it; the tips are the same in both except for
// "Export". Captions that follow the interface language are the language step's; the layout
// holds only those that read the same in every language.
struct Command {
    QString name;
    QString caption;
    QString menuTip;
    QString barTip;
    QString icon;
    // The pop-up band the command's tool opens, wherever it stands.
    QString opens;
    bool checkable;
};

const std::vector<Command> &commands()
{
    static const std::vector<Command> table = [] {
        const QString open
            = QStringLiteral("Load saved data for analyze you batteries performance ");
        const QString save = QStringLiteral("Save data into database,you can load it later.");
        const QString lang = QStringLiteral("Set language");
        const QString print = QStringLiteral("Print preview the chart.");
        const QString copy = QStringLiteral(
            "Copy the chart to clipboard,then you can paster it from other program");
        const QString title = QStringLiteral("Add description for your batteries ");
        // name, fixed caption, menu tip, tool-bar tip, icon, opens, checkable
        return std::vector<Command> {
            { "Open", "", open, open, ":/icons/open.svg", "", false },
            { "Save", "", save, save, ":/icons/save.svg", "", false },
            { "Export", "", "Export data to .CSV,It used by EXCEL.",
              "Export data to .CSV format,It can be opened by EXCEL.", ":/icons/export.svg", "",
              false },
            { "Lang", "", lang, lang, ":/icons/language.svg", "Lang", false },
            { "Print", "", print, print, ":/icons/print.svg", "", false },
            { "Exit", "", "Return to windows.", "", "", "", false },
            { "Copy", "", copy, copy, ":/icons/copy.svg", "", false },
            { "Title", "", title, title, ":/icons/title.svg", "", false },
            { "CrossLine", "", "", "", ":/icons/crossline.svg", "", true },
            { "Refresh", "&Refresh", "Refresh", "", "", "", false },
            { "Summary", "", "The run's figures under the chart's title.", "", "", "", true },
            { "Book", "", "Every pack's history, capacity fade and internal resistance.", "", "",
              "", false },
            { "Watch", "", "Another station's live runs, from an MQTT broker.", "", "", "", false },
            { "Guid", "", "User guid.", "", "", "", false },
            { "About", "", "About us.", "", "", "", false },
            { "miWTileH", "", "", "", "", "", false },
            { "miWTileV", "", "", "", "", "", false },
            { "miWCascade", "", "", "", "", "", false },
            { "miWArrangeIcons", "", "", "", "", "", false },
            { "Compare", "", "Overlay runs, align them and read their differences.", "", "", "",
              false },
            { "Channel", "CH1", "", "", "", "Channel", false },
        };
    }();
    return table;
}

ToolSpec tool(const QString &name, Kind kind = Kind::Button, const QString &caption = {})
{
    ToolSpec spec;
    spec.name = name;
    spec.kind = kind;
    spec.caption = caption;
    return spec;
}

// A command tool as a band of the given role shows it.
ToolSpec command(const QString &name, Role role)
{
    for (const Command &c : commands())
        if (c.name == name) {
            const bool bar = role == Role::ToolBar;
            ToolSpec spec = tool(name, Kind::Button, c.caption);
            spec.description = bar ? c.barTip : c.menuTip;
            spec.subBand = c.opens;
            spec.icon = c.icon;
            spec.checkable = c.checkable;
            return spec;
        }
    Q_ASSERT_X(false, "command", qPrintable(name));
    return tool(name);
}

// A tool that opens a pop-up band and has no command of its own.
ToolSpec opener(const QString &name, const QString &subBand)
{
    ToolSpec spec = tool(name);
    spec.subBand = subBand;
    return spec;
}

ToolSpec separator()
{
    return tool(QStringLiteral("separator1"), Kind::Separator);
}

BandSpec menu(const QString &name, const QString &title, const QList<QString> &tools)
{
    BandSpec band { name, title, Role::PopUp, {} };
    for (const QString &tool : tools)
        band.tools.push_back(tool == "separator1" ? separator() : command(tool, Role::PopUp));
    return band;
}

std::vector<BandSpec> build()
{
    std::vector<BandSpec> layout;
    layout.push_back({ Band::Main,
                       "Band8",
                       Role::MenuBar,
                       { opener("File", "Main_file"), opener("Help", "Help") } });
    layout.push_back({ Band::ClientMenu,
                       "Menu",
                       Role::MenuBar,
                       { opener("file", "File"), opener("View", "View"), opener("WList", "Windows"),
                         opener("Help", "Help") } });
    layout.push_back(
        menu(Band::MainFile, "Main_file", { "Open", "Watch", "Book", "Compare", "Lang", "Exit" }));

    layout.push_back(menu(Band::File, "miFile",
                          { "Open", "Watch", "Save", "Export", "separator1", "Lang", "separator1",
                            "Print", "separator1", "Exit" }));

    layout.push_back(
        menu(Band::View, "&view", { "Copy", "Title", "CrossLine", "Refresh", "Summary", "Book" }));
    layout.push_back(menu(Band::Help, "&Help", { "Guid", "About" }));

    BandSpec windows = menu(
        Band::Windows, "Windows",
        { "miWTileH", "miWTileV", "miWCascade", "miWArrangeIcons", "separator1", "Compare" });
    ToolSpec windowList = tool("miWWindowList");
    windowList.windowList = true;
    windows.tools.push_back(windowList);
    layout.push_back(windows);

    BandSpec lang { Band::Lang, "Lang", Role::PopUp, {} };
    for (const Language &language : languages())
        lang.tools.push_back(tool(language.tool));
    layout.push_back(lang);
    layout.push_back(
        { Band::Channel,
          "Channel",
          Role::PopUp,
          { tool("CH1", Kind::Button, "Channel &1"), tool("CH2", Kind::Button, "Channel &2") } });

    const auto onBar = [](const QString &name) { return command(name, Role::ToolBar); };
    layout.push_back(
        { Band::Tools,
          "ToolsBar",
          Role::ToolBar,
          { onBar("Open"), onBar("Save"), onBar("Print"), separator(), onBar("Copy"),
            onBar("Export"), separator(), onBar("Title"), onBar("CrossLine"), separator(),
            onBar("Lang"), tool("Tool6"), onBar("Channel"), tool("Tool19") } });

    ToolSpec connection = tool(ToolName::ConnectionLamp, Kind::Lamp);
    connection.lampColor = QColor(40, 200, 60);
    connection.lampMeaning = QT_TRANSLATE_NOOP("StatusLamp", "Charger connected");
    ToolSpec receive = tool(ToolName::ReceiveLamp, Kind::Lamp);
    receive.lampColor = QColor(255, 176, 0);
    receive.lampMeaning = QT_TRANSLATE_NOOP("StatusLamp", "Data received");
    ToolSpec date = tool("sdate", Kind::Label, "2012-02-20");
    date.clockFormat = QStringLiteral("yyyy-MM-dd");
    ToolSpec time = tool("stime", Kind::Label, "14:34");
    time.clockFormat = QStringLiteral("hh:mm");
    layout.push_back(
        { Band::State,
          "状态栏",
          Role::StatusBar,
          { connection, receive, tool(ToolName::StateList, Kind::DropDownList, "Tool4"), date,
            tool("Tool1", Kind::Label), time } });
    return layout;
}

} // namespace

const std::vector<BandSpec> &commandLayout()
{
    static const std::vector<BandSpec> layout = build();
    return layout;
}

void applyMenuFlags(CommandBar &bar, const MenuFlags &f)
{
    using namespace ToolName;
    const struct {
        const QString &band, &tool;
        bool MenuFlags::*flag;
    } flagged[] = {
        { Band::File, Open, &MenuFlags::MDI_File_Open },
        { Band::File, Lang, &MenuFlags::MDI_File_Lang },
        { Band::File, Exit, &MenuFlags::MDI_File_Exit },
        { Band::MainFile, Open, &MenuFlags::MDI_File_Open },
        { Band::MainFile, Lang, &MenuFlags::MDI_File_Lang },
        { Band::MainFile, Exit, &MenuFlags::MDI_File_Exit },
        { Band::View, Copy, &MenuFlags::Client_View_Copy },
        { Band::View, Title, &MenuFlags::Client_View_Title },
        { Band::View, CrossLine, &MenuFlags::Client_View_CrossLine },
        { Band::View, Summary, &MenuFlags::Client_View_Summary },
        { Band::Help, Guid, &MenuFlags::Help_Guid },
        { Band::Help, About, &MenuFlags::Help_About },
        { Band::ClientMenu, ClientFileMenu, &MenuFlags::Client_Menu_File },
        { Band::ClientMenu, ViewMenu, &MenuFlags::Client_Menu_View },
        { Band::ClientMenu, WindowMenu, &MenuFlags::Client_Menu_Wlist },
        { Band::ClientMenu, HelpMenu, &MenuFlags::Client_Menu_Help },
        { Band::Main, MainFileMenu, &MenuFlags::MDI_file },
        { Band::Main, HelpMenu, &MenuFlags::MDI_help },
        { Band::Tools, Open, &MenuFlags::Tools_Open },
        { Band::Tools, Save, &MenuFlags::Tools_Save },
        { Band::Tools, Print, &MenuFlags::Tools_Print },
        { Band::Tools, Copy, &MenuFlags::Tools_Copy },
        { Band::Tools, Export, &MenuFlags::Tools_Export },
        { Band::Tools, Title, &MenuFlags::Tools_Title },
        { Band::Tools, CrossLine, &MenuFlags::Tools_CrossLine },
        { Band::Tools, Lang, &MenuFlags::Tools_Lang },
    };
    for (const auto &t : flagged)
        bar.tool(t.band, t.tool).setVisible(f.*t.flag);
}
