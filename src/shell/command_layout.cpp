#include "shell/command_layout.h"

#include "i18n/languages.h"
#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "setup/config.h"
#include "shell/features.h"

#include <algorithm>

namespace {

using Kind = Tool::Kind;
using Role = BandSpec::Role;

ToolSpec tool(const QString &name, Kind kind = Kind::Button, const QString &caption = {})
{
    ToolSpec spec;
    spec.name = name;
    spec.kind = kind;
    spec.caption = caption;
    return spec;
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

// A tool of the shell that is no command, at its place among the commands of a band.
struct Fixture {
    QString band;
    int order;
    ToolSpec tool;
};

std::vector<Fixture> fixtures()
{
    ToolSpec refresh = tool("Refresh", Kind::Button, "&Refresh");
    refresh.description = QStringLiteral("Refresh");
    ToolSpec windowList = tool("miWWindowList");
    windowList.windowList = true;
    ToolSpec channel = opener(ToolName::Channel, Band::Channel);
    channel.caption = ToolName::CH1;
    return {
        { Band::File, 45, separator() },    { Band::File, 55, separator() },
        { Band::File, 65, separator() },    { Band::View, 40, refresh },
        { Band::Windows, 50, separator() }, { Band::Windows, 70, windowList },
        { Band::Tools, 35, separator() },   { Band::Tools, 55, separator() },
        { Band::Tools, 75, separator() },   { Band::Tools, 90, tool("Tool6") },
        { Band::Tools, 100, channel },      { Band::Tools, 110, tool("Tool19") },
    };
}

// The band's fixtures and registered commands, by order.
BandSpec band(const QString &name, const QString &title, Role role)
{
    std::vector<std::pair<int, ToolSpec>> tools;
    for (const Fixture &f : fixtures())
        if (f.band == name)
            tools.emplace_back(f.order, f.tool);
    for (const CommandSpec *c : registeredCommands())
        for (const CommandPlace &place : c->places)
            if (place.band == name) {
                ToolSpec spec = tool(c->name);
                spec.description = place.tip.isEmpty() ? c->tip : place.tip;
                spec.icon = c->icon;
                spec.checkable = c->checkable;
                spec.subBand = c->opens;
                if (role == Role::PopUp)
                    spec.keys = c->keys();
                tools.emplace_back(place.order, spec);
            }
    std::stable_sort(tools.begin(), tools.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    Q_ASSERT_X(std::adjacent_find(tools.begin(), tools.end(),
                                  [](const auto &a, const auto &b) { return a.first == b.first; })
                   == tools.end(),
               "band", qPrintable(name + ": two tools at one place"));
    BandSpec spec { name, title, role, {} };
    for (auto &[order, t] : tools)
        spec.tools.push_back(std::move(t));
    return spec;
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
    layout.push_back(band(Band::MainFile, "Main_file", Role::PopUp));
    layout.push_back(band(Band::File, "miFile", Role::PopUp));
    layout.push_back(band(Band::View, "&view", Role::PopUp));
    layout.push_back(band(Band::Help, "&Help", Role::PopUp));
    layout.push_back(band(Band::Windows, "Windows", Role::PopUp));

    BandSpec lang { Band::Lang, "Lang", Role::PopUp, {} };
    for (const Language &language : languages())
        lang.tools.push_back(tool(language.tool));
    layout.push_back(lang);
    layout.push_back(
        { Band::Channel,
          "Channel",
          Role::PopUp,
          { tool("CH1", Kind::Button, "Channel &1"), tool("CH2", Kind::Button, "Channel &2") } });
    layout.push_back(band(Band::Tools, "ToolsBar", Role::ToolBar));

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

const std::vector<CommandSpec> &shellCommands()
{
    static const std::vector<CommandSpec> table = [] {
        // name, places (band, order, caption, own tip, flag), tip, icon, checkable, opens
        return std::vector<CommandSpec> {
            { ToolName::Open,
              { { Band::MainFile, 10, QT_TRANSLATE_NOOP("Captions", "&Open"), {}, "MDI_File_Open" },
                { Band::File, 10, QT_TRANSLATE_NOOP("Captions", "&Open"), {}, "MDI_File_Open" },
                { Band::Tools, 10, QT_TRANSLATE_NOOP("Captions", "Open"), {}, "Tools_Open" } },
              QStringLiteral("Load saved data for analyze you batteries performance "),
              ":/icons/open.svg",
              false,
              {},
              {},
              QKeySequence::Open },
            { ToolName::Lang,
              { { Band::MainFile,
                  50,
                  QT_TRANSLATE_NOOP("Captions", "&Language"),
                  {},
                  "MDI_File_Lang" },
                { Band::File, 50, QT_TRANSLATE_NOOP("Captions", "&Language"), {}, "MDI_File_Lang" },
                { Band::Tools, 80, QT_TRANSLATE_NOOP("Captions", "Language"), {}, "Tools_Lang" } },
              QStringLiteral("Set language"),
              ":/icons/language.svg",
              false,
              Band::Lang },
            { ToolName::Exit,
              { { Band::MainFile, 60, QT_TRANSLATE_NOOP("Captions", "E&xit"), {}, "MDI_File_Exit" },
                { Band::File, 70, QT_TRANSLATE_NOOP("Captions", "E&xit"), {}, "MDI_File_Exit" } },
              QStringLiteral("Return to windows."),
              {},
              false,
              {},
              QKeySequence(Qt::CTRL | Qt::Key_Q),
              QKeySequence::Quit },
            { ToolName::CrossLine,
              { { Band::View,
                  30,
                  QT_TRANSLATE_NOOP("Captions", "Cross&Line"),
                  {},
                  "Client_View_CrossLine" },
                { Band::Tools,
                  70,
                  QT_TRANSLATE_NOOP("Captions", "CrossLine"),
                  {},
                  "Tools_CrossLine" } },
              {},
              ":/icons/crossline.svg",
              true },
            { ToolName::FullScreen,
              { { Band::View, 45, QT_TRANSLATE_NOOP("Captions", "&Full screen") } },
              {},
              {},
              false,
              {},
              QKeySequence(Qt::Key_F11),
              QKeySequence::FullScreen },
            { ToolName::SidePane,
              { { Band::View, 47, QT_TRANSLATE_NOOP("Captions", "Side &pane") } } },
            { ToolName::Guid,
              { { Band::Help, 10, QT_TRANSLATE_NOOP("Captions", "&Guid"), {}, "Help_Guid" } },
              QStringLiteral("User guid."),
              {},
              false,
              {},
              QKeySequence(Qt::Key_F1),
              QKeySequence::HelpContents },
            { ToolName::About,
              { { Band::Help, 20, QT_TRANSLATE_NOOP("Captions", "&About"), {}, "Help_About" } },
              QStringLiteral("About us.") },
            { ToolName::TileH,
              { { Band::Windows, 10, QT_TRANSLATE_NOOP("Captions", "Tile &Horizontally") } } },
            { ToolName::TileV,
              { { Band::Windows, 20, QT_TRANSLATE_NOOP("Captions", "Tile &Vertically") } } },
            { ToolName::Cascade,
              { { Band::Windows, 30, QT_TRANSLATE_NOOP("Captions", "&Cascade") } } },
            { ToolName::ArrangeIcons,
              { { Band::Windows, 40, QT_TRANSLATE_NOOP("Captions", "&ArrangeIcons") } } },
            { ToolName::CloseWindow,
              { { Band::Windows, 42, QT_TRANSLATE_NOOP("Captions", "Cl&ose") } },
              {},
              {},
              false,
              {},
              QKeySequence(Qt::CTRL | Qt::Key_W),
              QKeySequence::Close },
            { ToolName::NextWindow,
              { { Band::Windows, 44, QT_TRANSLATE_NOOP("Captions", "&Next") } },
              {},
              {},
              false,
              {},
              QKeySequence(Qt::CTRL | Qt::Key_Tab),
              QKeySequence::NextChild },
            { ToolName::PreviousWindow,
              { { Band::Windows, 46, QT_TRANSLATE_NOOP("Captions", "&Previous") } },
              {},
              {},
              false,
              {},
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
              QKeySequence::PreviousChild },
        };
    }();
    return table;
}

const std::vector<BandSpec> &commandLayout()
{
    static const std::vector<BandSpec> layout = build();
    return layout;
}

void applyMenuFlags(CommandBar &bar, const MenuFlags &f)
{
    using namespace ToolName;
    const auto show = [&](const QString &band, const QString &tool, const char *flag) {
        for (const auto &[name, field] : menuFlagFields)
            if (qstrcmp(name, flag) == 0)
                bar.tool(band, tool).setVisible(f.*field);
    };
    show(Band::ClientMenu, ClientFileMenu, "Client_Menu_File");
    show(Band::ClientMenu, ViewMenu, "Client_Menu_View");
    show(Band::ClientMenu, WindowMenu, "Client_Menu_Wlist");
    show(Band::ClientMenu, HelpMenu, "Client_Menu_Help");
    show(Band::Main, MainFileMenu, "MDI_file");
    show(Band::Main, HelpMenu, "MDI_help");
    for (const CommandSpec *c : registeredCommands())
        for (const CommandPlace &place : c->places)
            if (place.flag)
                show(place.band, c->name, place.flag);
}
