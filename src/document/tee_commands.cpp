#include "document/document_host.h"
#include "document/tee.h"
#include "platform/chart.h"
#include "platform/clipboard.h"
#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "platform/core/folders.h"
#include "platform/dialogs.h"
#include "platform/printer.h"
#include "run/bdf_file.h"
#include "run/run.h"
#include "run/run_file.h"
#include "run/run_title.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QMimeData>

namespace {
// The columns of an exported table.
const QStringList Captions
    = { QStringLiteral("Time"),        QStringLiteral("Type"),       QStringLiteral("+CHG/DIS-"),
        QStringLiteral("Ext.Temp(℃)"), QStringLiteral("In.Temp(℃)"), QStringLiteral("In.Volt(V)"),
        QStringLiteral("Bat.Volt(V)"), QStringLiteral("Curr(A)"),    QStringLiteral("Cap(mAh)"),
        QStringLiteral("Power(W)"),    QStringLiteral("C1"),         QStringLiteral("C2"),
        QStringLiteral("C3"),          QStringLiteral("C4"),         QStringLiteral("C5"),
        QStringLiteral("C6"),          QStringLiteral("C7"),         QStringLiteral("C8"),
        QStringLiteral("C9"),          QStringLiteral("C10"),        QStringLiteral("C11"),
        QStringLiteral("C12") };
} // namespace

bool tee::CommandHandler(Tool &tool)
{
    // The shell's dispatcher offers every click here first; other names are the shell's.
    static const QHash<QString, void (tee::*)()> commands = {
        { ToolName::Title, &tee::describe },   { ToolName::Save, &tee::save },
        { ToolName::Export, &tee::exportCsv }, { ToolName::Copy, &tee::copyChart },
        { ToolName::Print, &tee::printChart }, { ToolName::Summary, &tee::switchSummary },
    };
    const auto command = commands.constFind(tool.name());
    if (command == commands.constEnd())
        return false;
    (this->**command)();
    return true;
}

void tee::describe()
{
    const std::optional<QString> answer = host_.dialogs().input(
        QStringLiteral("Please input batteries description."),
        QStringLiteral("batteries description"), chart_->titleLine(), RunFile::TitleSize);
    if (!answer || answer->isEmpty())
        return;
    run_->setTitle(*answer);
}

void tee::exportCsv()
{
    Dialogs &dialogs = host_.dialogs();
    const QString path = dialogs.exportFile(
        saveFolder(),
        QStringLiteral("CSV file(*.csv)|*.csv|Battery Data Format (*.bdf.csv)|*.bdf.csv|All "
                       "files(*.*)|*.*"),
        QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    const QString failure = path.endsWith(QStringLiteral(".bdf.csv"), Qt::CaseInsensitive)
        ? writeBdf(path, run_->samples(), defaultTitleDate(run_->title()))
        : run_->samples().writeCsv(path, Captions);
    tellExport(host_, path, failure);
}

void tellExport(DocumentHost &host, const QString &path, const QString &failure)
{
    if (!failure.isEmpty()) {
        host.dialogs().message(
            QCoreApplication::translate("tee", "The CSV file was not written to %1\r\n%2")
                .arg(path, failure),
            QStringLiteral("Notice"), Dialogs::Icon::Critical);
        return;
    }
    // The folder of the file written: the file dialog does not move the working folder.
    host.State_add(QStringLiteral("CSV file") + QStringLiteral(" was exported in folder:")
                   + QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
}

void tee::copyChart()
{
    auto *data = new QMimeData;
    data->setData(QStringLiteral("image/svg+xml"), chart_->toSvg());
    data->setImageData(chart_->toImage()); // for programs that take no SVG
    host_.clipboard().setMimeData(data);
    host_.State_add(QStringLiteral("Chart was copyed to Clipboard as a  Metafile."));
}

void tee::printChart()
{
    host_.printer().preview(1, [this](QPrinter &printer) { chart_->print(printer); });
}
