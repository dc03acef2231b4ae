#include "book_feature/pack_details_dialog.h"

#include "run/run_file.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

namespace {
// The lowest value of a box stands for "not known".
const QDate NoDate(2000, 1, 1);
} // namespace

PackDetailsDialog::PackDetailsDialog(const PackDetails &details, QWidget *parent)
    : QDialog(parent), details_(details), name_(new QLineEdit(details.name, this)),
      chemistry_(new QLineEdit(details.chemistry, this)),
      maker_(new QLineEdit(details.maker, this)), cells_(new QSpinBox(this)),
      rated_(new QDoubleSpinBox(this)), bought_(new QDateEdit(this)),
      notes_(new QPlainTextEdit(details.notes, this)), retired_(new QCheckBox(this))
{
    setWindowTitle(details.id.isEmpty() ? tr("New pack") : tr("Pack %1").arg(details.id));
    name_->setMaxLength(RunFile::TitleSize);
    const QString unknown = tr("not known");
    cells_->setRange(0, 12);
    cells_->setSpecialValueText(unknown);
    cells_->setValue(details.cells);
    rated_->setRange(0, 1000000);
    rated_->setDecimals(0);
    rated_->setSuffix(tr(" mAh"));
    rated_->setSpecialValueText(unknown);
    rated_->setValue(details.ratedMah.value_or(0));
    bought_->setMinimumDate(NoDate);
    bought_->setSpecialValueText(unknown);
    bought_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    bought_->setCalendarPopup(true);
    bought_->setDate(details.bought.isValid() ? details.bought : NoDate);
    retired_->setChecked(details.retired);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *form = new QFormLayout(this);
    form->addRow(tr("Name"), name_);
    form->addRow(tr("Chemistry"), chemistry_);
    form->addRow(tr("Cells in series"), cells_);
    form->addRow(tr("Rated capacity"), rated_);
    form->addRow(tr("Maker"), maker_);
    form->addRow(tr("Bought"), bought_);
    form->addRow(tr("Notes"), notes_);
    form->addRow(tr("Retired"), retired_);
    form->addRow(buttons);
}

PackDetails PackDetailsDialog::details() const
{
    PackDetails d = details_;
    d.name = name_->text().simplified();
    d.chemistry = chemistry_->text().simplified();
    d.maker = maker_->text().simplified();
    d.cells = cells_->value();
    d.ratedMah = rated_->value() > 0 ? std::optional(rated_->value()) : std::nullopt;
    d.bought = bought_->date() == NoDate ? QDate() : bought_->date();
    d.notes = notes_->toPlainText().trimmed();
    d.retired = retired_->isChecked();
    return d;
}
