#include "compare_feature/compare_chooser.h"

#include "compare/compare_file.h"
#include "document/tee.h"
#include "platform/core/folders.h"
#include "platform/dialogs.h"
#include "run/run.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

std::optional<CompareChoice> chooseRuns(QWidget *parent, const QMdiArea &area, Dialogs &dialogs)
{
    QList<tee *> windows;
    for (QMdiSubWindow *w : area.subWindowList())
        if (auto *chart = qobject_cast<tee *>(w))
            windows << chart;
    QDialog dialog(parent);
    dialog.setWindowTitle(QCoreApplication::translate("CompareChooser", "Compare runs"));
    auto *list = new QListWidget;
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton *addFile
        = buttons->addButton(QCoreApplication::translate("CompareChooser", "Add run file…"),
                             QDialogButtonBox::ActionRole);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);
    const auto addItem = [list](const QString &text, const QVariant &data) {
        auto *item = new QListWidgetItem(text, list);
        item->setData(Qt::UserRole, data);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        return item;
    };
    for (int i = 0; i < windows.size(); ++i) {
        const QString title = windows[i]->run().title().trimmed();
        addItem(windows[i]->caption()
                    + (title.isEmpty() ? QString() : QStringLiteral("  ") + title),
                i);
    }
    const auto count = [list] {
        int n = 0;
        for (int i = 0; i < list->count(); ++i)
            n += list->item(i)->checkState() == Qt::Checked;
        return n;
    };
    const auto update = [&] {
        const int n = count();
        buttons->button(QDialogButtonBox::Ok)
            ->setEnabled(n >= CompareFile::MinRuns && n <= CompareFile::MaxRuns);
    };
    // Every entry whole, as far as the screen allows; beyond that the list scrolls.
    const auto fit = [&dialog, list] {
        const QRect screen = dialog.screen()->availableGeometry();
        const int frame = 2 * list->frameWidth();
        const int row = std::max(list->sizeHintForRow(0), list->fontMetrics().height());
        list->setMinimumSize(
            std::min(list->sizeHintForColumn(0) + frame
                         + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent),
                     screen.width() * 3 / 4),
            std::min(std::max(int(list->count()), 4) * row + frame, screen.height() / 2));
        dialog.adjustSize();
    };
    fit();
    QObject::connect(list, &QListWidget::itemChanged, &dialog, update);
    QObject::connect(addFile, &QPushButton::clicked, &dialog, [&] {
        // Runs to compare usually lie side by side: several are picked at once.
        const QStringList files
            = dialogs.openFiles(saveFolder(), QStringLiteral("Chart Database(*.mdb)|*.mdb"));
        for (const QString &file : files)
            addItem(QDir::toNativeSeparators(file), file)->setCheckState(Qt::Checked);
        fit();
    });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    update();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    CompareChoice choice;
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem *item = list->item(i);
        if (item->checkState() != Qt::Checked)
            continue;
        const QVariant data = item->data(Qt::UserRole);
        if (data.typeId() == QMetaType::Int)
            choice.windows << windows[data.toInt()];
        else
            choice.files << data.toString();
    }
    return choice;
}
