#include "document/chart_commands.h"
#include "document/document_host.h"
#include "document/tee.h"
#include "platform/chart.h"
#include "platform/clipboard.h"
#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "platform/core/clock.h"
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
#include <QKeyEvent>
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

Feature chartCommands()
{
    const QString save = QStringLiteral("Save data into database,you can load it later.");
    const QString print = QStringLiteral("Print preview the chart.");
    const QString copy
        = QStringLiteral("Copy the chart to clipboard,then you can paster it from other program");
    const QString title = QStringLiteral("Add description for your batteries ");
    // name, places (band, order, caption, own tip, flag), tip, icon, checkable
    return {
        { { ToolName::Save,
            { { Band::File, 30, QT_TRANSLATE_NOOP("Captions", "&Save") },
              { Band::Tools, 20, QT_TRANSLATE_NOOP("Captions", "Save"), {}, "Tools_Save" } },
            save,
            ":/icons/save.svg",
            false,
            {},
            {},
            QKeySequence::Save },
          { ToolName::Export,
            { { Band::File, 40, QT_TRANSLATE_NOOP("Captions", "&Export") },
              { Band::Tools, 50, QT_TRANSLATE_NOOP("Captions", "Export"),
                QStringLiteral("Export data to .CSV format,It can be opened by EXCEL."),
                "Tools_Export" } },
            QStringLiteral("Export data to .CSV,It used by EXCEL."),
            ":/icons/export.svg",
            false,
            {},
            QKeySequence(Qt::CTRL | Qt::Key_E) },
          { ToolName::Print,
            { { Band::File, 60, QT_TRANSLATE_NOOP("Captions", "&Print") },
              { Band::Tools, 30, QT_TRANSLATE_NOOP("Captions", "Print"), {}, "Tools_Print" } },
            print,
            ":/icons/print.svg",
            false,
            {},
            {},
            QKeySequence::Print },
          { ToolName::Copy,
            { { Band::View, 10, QT_TRANSLATE_NOOP("Captions", "&Copy"), {}, "Client_View_Copy" },
              { Band::Tools, 40, QT_TRANSLATE_NOOP("Captions", "Copy"), {}, "Tools_Copy" } },
            copy,
            ":/icons/copy.svg",
            false,
            {},
            {},
            QKeySequence::Copy },
          { ToolName::Title,
            { { Band::View, 20, QT_TRANSLATE_NOOP("Captions", "&Title"), {}, "Client_View_Title" },
              { Band::Tools, 60, QT_TRANSLATE_NOOP("Captions", "Title"), {}, "Tools_Title" } },
            title,
            ":/icons/title.svg" },
          { ToolName::Summary,
            { { Band::View,
                50,
                QT_TRANSLATE_NOOP("Captions", "&Summary"),
                {},
                "Client_View_Summary" } },
            QStringLiteral("The run's figures under the chart's title."),
            {},
            true } }
    };
}

bool tee::CommandHandler(Tool &tool)
{
    static const QHash<QString, void (tee::*)()> commands = {
        { ToolName::Title, &tee::describe },
        { ToolName::Save, &tee::save },
        { ToolName::Export, &tee::exportCsv },
        { ToolName::Copy, &tee::copyChart },
        { ToolName::Print, &tee::printChart },
        { ToolName::Summary, &tee::switchSummary },
        { ToolName::FullScreen, &tee::toggleFullScreen },
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
    // A label scanned into the box: which pack it files the run under.
    if (const QString id = packTagIn(*answer); !id.isEmpty()) {
        const QString name = host_.packName(id);
        host_.State_add(
            name.isEmpty()
                ? QCoreApplication::translate("tee", "#%1 is no pack of the battery book yet.")
                      .arg(id)
                : QCoreApplication::translate("tee", "Pack #%1: %2").arg(id, name));
    }
}

void tee::keyPressEvent(QKeyEvent *event)
{
    const bool end = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!isLive() || (!end && event->text().isEmpty()))
        return QMdiSubWindow::keyPressEvent(event);
    const auto id
        = scan_.key(end ? std::nullopt : std::optional(event->text()), host_.clock().monotonicMs());
    if (id)
        tagWithPack(*id);
    QMdiSubWindow::keyPressEvent(event);
}

void tee::tagWithPack(const QString &id)
{
    const QString name = host_.packName(id);
    const QString title = withPackTag(run_->title(), id);
    if (name.isEmpty() || title.size() > RunFile::TitleSize) {
        host_.State_add(
            name.isEmpty()
                ? QCoreApplication::translate("tee",
                                              "#%1 is no pack of the battery book; the "
                                              "description stays as it was.")
                      .arg(id)
                : QCoreApplication::translate("tee", "#%1 does not fit in the description.")
                      .arg(id));
        return;
    }
    run_->setTitle(title);
    host_.State_add(QCoreApplication::translate("tee", "Pack #%1: %2").arg(id, name));
}

void tee::exportCsv()
{
    Dialogs &dialogs = host_.dialogs();
    enum Filter : qsizetype { Csv, Bdf, BdfGz, All };
    qsizetype filter = Csv;
    const QString path = dialogs.exportFile(
        saveFolder(),
        QStringLiteral("CSV file(*.csv)|*.csv|Battery Data Format (*.bdf.csv)|*.bdf.csv|Battery "
                       "Data Format, compressed (*.bdf.gz)|*.bdf.gz|All files(*.*)|*.*"),
        QStringLiteral("csv"), &filter);
    if (path.isEmpty())
        return;
    // The chosen filter decides the format; under All files the name does.
    const bool bdf = filter == Bdf || filter == BdfGz
        || (filter == All
            && (path.endsWith(QStringLiteral(".bdf.csv"), Qt::CaseInsensitive)
                || path.endsWith(QStringLiteral(".bdf.gz"), Qt::CaseInsensitive)));
    const QString from = file();
    const QDateTime start
        = runStart(run_->title(), from.isEmpty() ? QDateTime() : QFileInfo(from).lastModified(),
                   run_->summary().seconds());
    const QString failure
        = bdf ? writeBdf(path, run_->samples(), start) : run_->samples().writeCsv(path, Captions);
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
