#include "book/book.h"
#include "document/document_host.h"
#include "i18n/languages.h"
#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "platform/command_target.h"
#include "run/live_runs.h"
#include "run/run.h"
#include "setup/about.h"
#include "setup/adform.h"
#include "setup/guid.h"
#include "shell/features.h"
#include "shell/language.h"
#include "shell/live_dispatch.h"
#include "shell/mdi_form.h"
#include "shell/open_saved_run.h"
#include "shell/status_line.h"
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
        // A chart window puts its chart alone on the screen itself.
        { ToolName::FullScreen, [this] { isFullScreen() ? showMaximized() : showFullScreen(); } },
        { ToolName::SidePane,
          [this] {
              if (ad_)
                  ad_->Image1_Click();
          } },
        { ToolName::CloseWindow, [this] { area_->closeActiveSubWindow(); } },
        { ToolName::NextWindow, [this] { area_->activateNextSubWindow(); } },
        { ToolName::PreviousWindow, [this] { area_->activatePreviousSubWindow(); } },
        { ToolName::CH1, [this] { Channel_Proc(1); } },
        { ToolName::CH2, [this] { Channel_Proc(2); } },
    };
    for (const Feature &feature : features())
        if (feature.attach) {
            FeatureHandlers handlers = feature.attach(*this);
            table.insert(handlers.commands);
            if (handlers.openFile)
                fileOpeners_.insert(feature.fileSuffix, handlers.openFile);
        }
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
    // The active child window answers its own commands; the rest are the shell's and the
    // features'.
    if (auto *target = dynamic_cast<CommandTarget *>(area_->currentSubWindow());
        target && target->CommandHandler(tool))
        return;
    const auto command = commands_.constFind(tool.name());
    if (command != commands_.constEnd())
        (*command)();
}

std::optional<double> MDIForm1::ratedMah(const QString &description) const
{
    const Book book(bookFile_);
    return book.error().isEmpty() ? book.ratedMahOf(description)
                                  : DocumentHost::ratedMah(description);
}

QString MDIForm1::packName(const QString &id) const
{
    for (const PackDetails &pack : Book(bookFile_).packDetails())
        if (pack.id == id)
            return pack.name;
    return {};
}

void MDIForm1::crossLine()
{
    // The tool-bar copy holds the state, whichever copy was clicked.
    view_.crossLineOn = !view_.crossLineOn;
    view_.crossLineHeld = view_.crossLineOn;
    tool(Band::Tools, ToolName::CrossLine).setChecked(view_.crossLineOn);
}

void MDIForm1::Channel_Proc(int channel)
{
    if (IMDIDocument *doc = live_->liveDoc(channel == 1 ? 1 : 2)) {
        selectChannel(channel);
        doc->active();
    }
    if (!Newdoc() && !CH2Doc()) {
        selectChannel(1);
        tool(Band::Tools, ToolName::Channel).setSubBand(QString());
    }
    menu_->refresh();
}

bool MDIForm1::isSelectedChannel(const Run &run) const
{
    return run.source() == Run::Source::Charger && run.channel() == channel_;
}

void MDIForm1::followRun(const Run &run)
{
    if (run.source() == Run::Source::Charger) {
        selectChannel(run.channel());
        return;
    }
    watched_ = &run;
}

void MDIForm1::selectChannel(int channel)
{
    watched_ = nullptr;
    channel_ = channel == 2 ? 2 : 1;
    const QString &name = channel_ == 1 ? ToolName::CH1 : ToolName::CH2;
    Tool &t = tool(Band::Tools, ToolName::Channel);
    t.setPicture(name);
    t.setCaption(name);
    nameChannel();
}

void MDIForm1::nameChannel()
{
    tool(Band::Tools, ToolName::Channel)
        .setAccessibleName(tr("Channel %1 on the panel").arg(channel_));
}

void MDIForm1::cascade()
{
    WindowArrangement::arrange(*area_, WindowArrangement::Mode::Cascade);
}
