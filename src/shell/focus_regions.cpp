#include "shell/focus_regions.h"

#include <QApplication>
#include <QShortcut>
#include <QWidget>

namespace {

bool takesTab(const QWidget &w)
{
    return (w.focusPolicy() & Qt::TabFocus) != 0 && w.isVisible() && w.isEnabled();
}

// The region's first widget in the Tab order, or the region itself.
QWidget *entry(QWidget *region)
{
    if (!region || !region->isVisible())
        return nullptr;
    for (QWidget *w = region->nextInFocusChain(); w != region && region->isAncestorOf(w);
         w = w->nextInFocusChain())
        if (takesTab(*w))
            return w;
    return takesTab(*region) ? region : nullptr;
}

} // namespace

FocusRegions::FocusRegions(QWidget &window, std::vector<Region> regions)
    : QObject(&window), regions_(std::move(regions))
{
    connect(new QShortcut(QKeySequence(Qt::Key_F6), &window), &QShortcut::activated, this,
            [this] { move(1); });
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), &window), &QShortcut::activated,
            this, [this] { move(-1); });
}

void FocusRegions::move(int step)
{
    const int count = int(regions_.size());
    QWidget *focus = QApplication::focusWidget();
    int at = step > 0 ? -1 : count;
    for (int i = 0; i < count; ++i)
        if (QWidget *region = regions_[i]();
            region && focus && (region == focus || region->isAncestorOf(focus)))
            at = i;
    for (int n = 1; n <= count; ++n)
        if (QWidget *target = entry(regions_[((at + step * n) % count + count) % count]())) {
            target->setFocus(Qt::TabFocusReason);
            return;
        }
}
