#include "document/compare_chooser.h"
#include "document/compare_window.h"
#include "document/document_host.h"
#include "i18n/languages.h"
#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "platform/core/folders.h"
#include "platform/core/settings.h"
#include "platform/dialogs.h"
#include "platform/sub_window.h"
#include "publish/mqtt_watcher.h"
#include "run/live_runs.h"
#include "run/run.h"
#include "setup/about.h"
#include "setup/guid.h"
#include "shell/book_window.h"
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
        { ToolName::Book, [this] { showBook(); } },
        { ToolName::Compare, [this] { compare(); } },
        { ToolName::Watch, [this] { watchStation(); } },
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
    // A chart command goes to the active chart window; the rest are the shell's.
    if (auto *doc = dynamic_cast<IMDIDocument *>(area_->currentSubWindow());
        doc && doc->CommandHandler(tool))
        return;
    if (auto *comparison = dynamic_cast<CompareWindow *>(area_->currentSubWindow());
        comparison && comparison->CommandHandler(tool))
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

void MDIForm1::showBook()
{
    if (!book_) {
        book_ = new BookWindow(
            bookFile_, saveFolder(), dialogs_, background_,
            [this](const QString &file) { opening_->openFiles({ file }); }, area_);
        addFitted(*area_, *book_, QSize(1100, 700));
    }
    book_->show();
    area_->setActiveSubWindow(book_);
}

CompareWindow *MDIForm1::newComparison()
{
    auto *window = new CompareWindow(*this, area_);
    addFitted(*area_, *window, QSize(820, 520));
    menu_->registerChildMenuBar(Band::ClientMenu, window);
    window->show();
    return window;
}

void MDIForm1::compare()
{
    const std::optional<CompareChoice> choice = chooseRuns(this, *area_, dialogs_);
    if (!choice)
        return;
    CompareWindow *window = newComparison();
    window->add(*choice);
}

void MDIForm1::openComparison(const QString &file)
{
    CompareWindow *window = newComparison();
    if (!window->open(file))
        window->close();
}

void MDIForm1::watchStation()
{
    const std::optional<QString> broker = dialogs_.input(
        tr("MQTT broker (host[:port]):"), tr("Watch station"),
        settings_.value(SettingsKeys::MqttBroker, QStringLiteral("localhost")), 200);
    if (!broker)
        return;
    MqttBroker at = MqttBroker::fromSettings(settings_);
    if (!at.setBroker(broker->trimmed()) || at.host.isEmpty()) {
        State_add(tr("MQTT: \"%1\" is not a broker: write its host, or host:port.").arg(*broker));
        return;
    }
    MqttWatcher *&watcher = watchers_[at.host + u':' + QString::number(at.port)];
    if (!watcher) {
        watcher = new MqttWatcher(*hub_, clock_, at, this);
        connect(watcher, &MqttWatcher::message, status_, &StatusLine::State_add);
    }
    // The broker lists its stations once connected: they are offered then.
    disconnect(stationsAwaited_);
    if (watcher->listed()) {
        chooseStation(watcher);
        return;
    }
    State_add(tr("MQTT: asking %1:%2 for its stations…").arg(at.host).arg(at.port));
    stationsAwaited_ = connect(watcher, &MqttWatcher::stationsListed, this, [this, watcher] {
        disconnect(stationsAwaited_);
        chooseStation(watcher);
    });
}

void MDIForm1::chooseStation(MqttWatcher *watcher)
{
    QStringList online, offline;
    for (auto it = watcher->stations().begin(); it != watcher->stations().end(); ++it)
        (it.value() == QLatin1String("online") ? online : offline) << it.key();
    const std::optional<QString> station = dialogs_.choose(
        online.isEmpty() ? tr("No station is online yet. Station:") : tr("Station:"),
        tr("Watch station"), online + offline, 200);
    if (station && !station->trimmed().isEmpty())
        watcher->watch(station->trimmed());
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
}

void MDIForm1::cascade()
{
    WindowArrangement::arrange(*area_, WindowArrangement::Mode::Cascade);
}
