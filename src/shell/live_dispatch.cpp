#include "shell/live_dispatch.h"

#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "platform/sleep_inhibitor.h"
#include "shell/status_line.h"

bool implausible(const ChannelReading &r)
{
    const auto above = [&r](int field, qint64 limit) {
        const auto v = r[field].number();
        return v && *v > Fixed::fromWhole(limit);
    };
    const auto bat = r[Bat_volt].number();
    return above(Ext_temp, 150) || above(In_temp, 100) || above(In_Volt, 20) || above(Bat_volt, 51)
        || (bat && *bat < Fixed::fromWhole(1));
}

LiveDispatch::LiveDispatch(CommandBar &bar, StatusLine &status, DocumentFactory newDocument,
                           SleepInhibitor *inhibitor)
    : bar_(bar), status_(status), newDocument_(std::move(newDocument)), inhibitor_(inhibitor)
{
    if (!inhibitor_)
        return;
    QObject::connect(inhibitor_, &SleepInhibitor::refused, &status_, [this](const QString &reason) {
        if (sleepRefusalNoted_)
            return;
        sleepRefusalNoted_ = true;
        State_add(QStringLiteral("No power manager keeps the computer awake (%1); recording "
                                 "goes on, but the computer may sleep.")
                      .arg(reason));
    });
}

LiveDispatch::~LiveDispatch()
{
    keepAwake(false);
}

void LiveDispatch::keepAwake(bool allowed)
{
    const bool live = allowed && (newdoc_ || ch2doc_);
    if (!inhibitor_ || live == awake_)
        return;
    awake_ = live;
    if (live)
        inhibitor_->take();
    else
        inhibitor_->release();
}

void LiveDispatch::Reading_Proc(int channel, ChannelReading &reading)
{
    if (implausible(reading))
        return;
    if (!ref(channel))
        NewLiveDoc(channel, QStringLiteral("Chart "));
    if (!ref(channel)->Proc(reading, false))
        EndLiveDoc(channel);
}

void LiveDispatch::NewLiveDoc(int channel, const QString &prefix)
{
    setLamp(Lamp::Connection, true);
    ++windowCounter_;
    IMDIDocument *doc = newDocument_();
    ref(channel) = doc;
    const QString caption = (channel == 1 ? ToolName::CH1 : ToolName::CH2) + QLatin1Char(' ')
        + prefix + QString::number(windowCounter_) + QStringLiteral(" >>Live<<");
    doc->InitDoc(&bar_, caption, true);
    keepAwake();
}

void LiveDispatch::EndLiveDoc(int channel)
{
    DocRef &doc = ref(channel);
    if (!doc)
        return;
    doc->deCaption();
    doc.clear();
    keepAwake();
}

void LiveDispatch::State_add(const QString &str1)
{
    status_.State_add(str1);
}

void LiveDispatch::setLamp(Lamp lamp, bool on)
{
    bar_.tool(Band::State,
              lamp == Lamp::Connection ? ToolName::ConnectionLamp : ToolName::ReceiveLamp)
        .setOn(on);
}

void LiveDispatch::refreshChannelDropDown()
{
    bar_.tool(Band::Tools, ToolName::Channel)
        .setSubBand(bothChannelsLive() ? Band::Channel : QString());
}
