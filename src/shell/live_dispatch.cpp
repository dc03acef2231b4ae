#include "document/tee.h"
#include "platform/clock.h"
#include "platform/command_bar.h"
#include "shell/mdi_form.h"

#include <QMdiArea>

namespace {
// Readings a working charger cannot produce: line noise that passed as a frame.
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
} // namespace

void MDIForm1::Reading_Proc(int channel, ChannelReading &reading)
{
    if (implausible(reading))
        return;
    if (!liveDoc(channel))
        NewLiveDoc(channel, QStringLiteral("Chart "));
    if (!liveDoc(channel)->Proc(reading, false))
        EndLiveDoc(channel);
}

tee *MDIForm1::newDocument()
{
    auto *doc = new tee(*this);
    area_->addSubWindow(doc);
    // Large enough to read, small enough that two channels fit side by side.
    const QSize space = area_->viewport()->size();
    doc->resize(std::max(640, space.width() * 11 / 20), std::max(400, space.height() * 11 / 20));
    return doc;
}

void MDIForm1::NewLiveDoc(int channel, const QString &prefix)
{
    setLamp(QStringLiteral("L1"), true);
    ++windowCounter_;
    tee *doc = newDocument();
    liveDoc(channel) = doc;
    const QString caption = (channel == 1 ? QStringLiteral("CH1 ") : QStringLiteral("CH2 "))
        + prefix + QString::number(windowCounter_) + QStringLiteral(" >>Live<<");
    doc->InitDoc(menu_, caption, true);
    keepAwake();
}

void MDIForm1::EndLiveDoc(int channel)
{
    QPointer<tee> &doc = liveDoc(channel);
    if (!doc)
        return;
    doc->deCaption();
    doc.clear();
    keepAwake();
}

void MDIForm1::State_add(const QString &str1)
{
    Tool &state = tool(QStringLiteral("state"), QStringLiteral("sState"));
    if (state.listCount() >= 10)
        state.clearList();
    const QString line
        = clock_.now().time().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("  ") + str1;
    state.addListItem(line);
    state.setText(line);
    emit statusAdded(line);
}
