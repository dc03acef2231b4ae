#include "shell/status_line.h"

#include "platform/command_bar.h"
#include "platform/core/clock.h"

void StatusLine::State_add(const QString &str1)
{
    if (list_.listCount() >= 10)
        list_.clearList();
    const QString line
        = clock_.now().time().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("  ") + str1;
    list_.addListItem(line);
    list_.setText(line);
    emit added(line);
}
