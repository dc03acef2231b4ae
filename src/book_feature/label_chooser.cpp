#include "book_feature/label_chooser.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>

std::optional<LabelSheet> chooseLabels(QWidget *parent, const std::vector<PackLabel> &packs)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QCoreApplication::translate("LabelChooser", "Print pack labels"));
    auto *layout = new QComboBox;
    layout->addItem(QCoreApplication::translate("LabelChooser", "2 × 6, 12 on a sheet"),
                    int(LabelLayout::TwoBySix));
    layout->addItem(QCoreApplication::translate("LabelChooser", "3 × 8, 24 on a sheet"),
                    int(LabelLayout::ThreeByEight));
    auto *paper = new QComboBox;
    paper->addItem(QStringLiteral("A4"), int(QPageSize::A4));
    paper->addItem(QStringLiteral("Letter"), int(QPageSize::Letter));
    // Letter where the user's country uses it.
    paper->setCurrentIndex(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? 1
                                                                                              : 0);
    auto *output = new QComboBox;
    output->addItems({ QCoreApplication::translate("LabelChooser", "PDF file"),
                       QCoreApplication::translate("LabelChooser", "Printer") });
    auto *list = new QListWidget;
    for (const PackLabel &pack : packs) {
        auto *item = new QListWidgetItem(
            pack.id.isEmpty() ? pack.name : pack.id + QStringLiteral("  ") + pack.name, list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto *form = new QFormLayout(&dialog);
    form->addRow(QCoreApplication::translate("LabelChooser", "Layout:"), layout);
    form->addRow(QCoreApplication::translate("LabelChooser", "Paper:"), paper);
    form->addRow(QCoreApplication::translate("LabelChooser", "Print to:"), output);
    form->addRow(QCoreApplication::translate("LabelChooser", "Packs:"), list);
    form->addRow(buttons);
    dialog.resize(520, 420); // long pack names readable
    const auto chosen = [list, &packs] {
        std::vector<PackLabel> labels;
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->checkState() == Qt::Checked)
                labels.push_back(packs[size_t(i)]);
        return labels;
    };
    QObject::connect(list, &QListWidget::itemChanged, &dialog,
                     [&] { buttons->button(QDialogButtonBox::Ok)->setEnabled(!chosen().empty()); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return LabelSheet { LabelLayout(layout->currentData().toInt()),
                        QPageSize(QPageSize::PageSizeId(paper->currentData().toInt())),
                        output->currentIndex() == 1, chosen() };
}
