#include "document/document_host.h"
#include "document/run_file.h"
#include "document/tee.h"
#include "platform/dialogs.h"
#include "platform/folders.h"
#include "platform/sample_table.h"

#include <QFileInfo>

bool tee::DBSave()
{
    Dialogs &dialogs = host_.dialogs();
    const QString F
        = dialogs.saveFile(saveFolder(), QStringLiteral("DataBase(*.mdb)|*.mdb|All files(*.*)|*.*"),
                           QStringLiteral("mdb"));
    if (F.isEmpty())
        return false;
    if (QFileInfo::exists(F)
        && dialogs.message(QStringLiteral("Database already exist,overwriter it?"),
                           QStringLiteral("Notice"), Dialogs::Icon::Question,
                           Dialogs::Buttons::OkCancel)
            == Dialogs::Answer::Cancel)
        return false;

    const QString failure
        = RunFile::write(F, title_, table_->rows() - 1,
                         [this](qint64 row, int field) { return table_->cell(row + 1, field); });
    if (!failure.isEmpty()) {
        dialogs.message(QStringLiteral("The run was not saved to %1\r\n%2").arg(F, failure),
                        QStringLiteral("Notice"), Dialogs::Icon::Critical);
        return false;
    }
    if (!live_)
        setCaption(F);
    host_.State_add(QStringLiteral("Chart was save at ") + F + QStringLiteral(" ."));
    dialogs.forgetFileName();
    return false;
}
