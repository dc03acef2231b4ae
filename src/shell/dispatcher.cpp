#include "document/document_host.h"
#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "setup/about.h"
#include "setup/guid.h"
#include "setup/languages.h"
#include "shell/language.h"
#include "shell/live_dispatch.h"
#include "shell/mdi_form.h"
#include "shell/open_saved_run.h"
#include "shell/window_arrangement.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

QHash<QString, std::function<void()>> MDIForm1::commandTable()
{
    QHash<QString, std::function<void()>> table {
        { ToolName::Open, [this] { opening_->OpenSavedRun(); } },
        { ToolName::CrossLine, [this] { crossLine(); } },
        { ToolName::Exit,
          [this] {
              close();
              QApplication::quit();
          } },
        { ToolName::About, [this] { About(store_, settings_).exec(); } },
        { ToolName::Guid, [this] { Guid::showModal(store_); } },
        { ToolName::CH1, [this] { Channel_Proc(1); } },
        { ToolName::CH2, [this] { Channel_Proc(2); } },
    };
    for (const Language &language : languages())
        table.insert(language.tool, [this, &language] { language_->ApplyLanguage(language.code); });
    for (const QString &name :
         { ToolName::TileH, ToolName::TileV, ToolName::Cascade, ToolName::ArrangeIcons })
        table.insert(name, [this, mode = *WindowArrangement::modeOf(name)] {
            WindowArrangement::arrange(*area_, mode);
        });
    return table;
}

void MDIForm1::onToolClicked(Tool &tool)
{
    // The active chart window sees every command first, the shell's own ones too.
    if (auto *doc = dynamic_cast<IMDIDocument *>(area_->currentSubWindow()))
        doc->CommandHandler(tool);
    const auto command = commands_.constFind(tool.name());
    if (command != commands_.constEnd())
        (*command)();
}

void MDIForm1::crossLine()
{
    // The tool-bar copy holds the state, whichever copy was clicked.
    Tool &t = tool(Band::Tools, ToolName::CrossLine);
    t.setChecked(!t.checked());
    CrossLineFlag = t.checked();
}

void MDIForm1::Channel_Proc(int channel)
{
    Tool &t = tool(Band::Tools, ToolName::Channel);
    const QString &name = channel == 1 ? ToolName::CH1 : ToolName::CH2;
    if (IMDIDocument *doc = live_->liveDoc(channel == 1 ? 1 : 2)) {
        t.setPicture(name);
        t.setCaption(name);
        doc->active();
    }
    if (!Newdoc() && !CH2Doc()) {
        t.setPicture(ToolName::CH1);
        t.setCaption(ToolName::CH1);
        t.setSubBand(QString());
    }
    menu_->refresh();
}

void MDIForm1::cascade()
{
    WindowArrangement::arrange(*area_, WindowArrangement::Mode::Cascade);
}
