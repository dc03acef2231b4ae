#include "compare_feature/compare_feature.h"

#include "compare/compare_file.h"
#include "compare_feature/compare_chooser.h"
#include "compare_feature/compare_window.h"
#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "platform/sub_window.h"

#include <QMdiArea>

namespace {

CompareWindow *newComparison(FeatureHost &host)
{
    auto *window = new CompareWindow(host, &host.area());
    addFitted(host.area(), *window, QSize(820, 520));
    host.bar().registerChildMenuBar(Band::ClientMenu, window);
    window->show();
    return window;
}

// A comparison of the runs the user picks.
void compare(FeatureHost &host)
{
    const std::optional<CompareChoice> choice
        = chooseRuns(&host.mainWindow(), host.area(), host.dialogs());
    if (!choice)
        return;
    CompareWindow *window = newComparison(host);
    window->add(*choice);
}

void openComparison(FeatureHost &host, const QString &file)
{
    CompareWindow *window = newComparison(host);
    if (!window->open(file))
        window->close();
}

} // namespace

Feature compareFeature()
{
    const QString name = QStringLiteral("Compare");
    return { { { name,
                 { { Band::MainFile, 40, QT_TRANSLATE_NOOP("Captions", "Co&mpare") },
                   { Band::Windows, 60, QT_TRANSLATE_NOOP("Captions", "Co&mpare") } },
                 QStringLiteral("Overlay runs, align them and read their differences.") } },
             QStringLiteral("Comparison"),
             QLatin1String(CompareFile::Suffix),
             [name](FeatureHost &host) {
                 return FeatureHandlers { { { name, [&host] { compare(host); } } },
                                          [&host](const QString &file) {
                                              openComparison(host, file);
                                          } };
             } };
}
