#include "report_feature/report_feature.h"

#include "document/tee.h"
#include "platform/chart.h"
#include "platform/command_names.h"
#include "platform/core/folders.h"
#include "platform/dialogs.h"
#include "report/report.h"

#include <QCoreApplication>
#include <QDir>
#include <QMdiArea>

namespace {
void saveReport(FeatureHost &host)
{
    // A comparison's File menu has the command too, and no run of its own.
    auto *window = dynamic_cast<tee *>(host.area().currentSubWindow());
    if (!window)
        return;
    Dialogs &dialogs = host.dialogs();
    const QString path = dialogs.exportFile(
        saveFolder(),
        QCoreApplication::translate("Report", "Web page(*.html)|*.html|All files(*.*)|*.*"),
        QStringLiteral("html"));
    if (path.isEmpty())
        return;
    const QString failure = Report::write(
        path, Report::page({ Report::runSection(window->run(), window->chart().toSvg()) }));
    if (!failure.isEmpty())
        dialogs.message(
            QCoreApplication::translate("Report", "The report was not written to %1\r\n%2")
                .arg(path, failure),
            QStringLiteral("Notice"), Dialogs::Icon::Critical);
    else
        host.State_add(QCoreApplication::translate("Report", "Report saved as %1")
                           .arg(QDir::toNativeSeparators(path)));
}
} // namespace

Feature reportFeature()
{
    const QString name = QStringLiteral("Report");
    return { { { name,
                 { { Band::File, 45, QT_TRANSLATE_NOOP("Captions", "Save &report…") } },
                 QStringLiteral("The run, its figures and chart in one web page any browser "
                                "opens.") } },
             {},
             {},
             [name](FeatureHost &host) {
                 return FeatureHandlers { { { name, [&host] { saveReport(host); } } } };
             } };
}
