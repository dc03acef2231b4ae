#include "platform/dialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

QString Dialogs::exportFile(const QString &folder, const QString &filter,
                            const QString &defaultSuffix, qsizetype *chosenFilter)
{
    FileChoice chosen = askSaveFile(folder, filter, defaultSuffix, QString(), true);
    if (chosenFilter)
        *chosenFilter = chosen.filter;
    if (!chosen.path.isEmpty() && !QFileInfo(chosen.path).fileName().contains(u'.'))
        chosen.path += u'.' + ending(filter, chosen.filter, defaultSuffix);
    return chosen.path;
}

QString Dialogs::ending(const QString &filter, qsizetype index, const QString &defaultSuffix)
{
    const QString pattern = filter.split(u'|').value(2 * index + 1);
    if (pattern.startsWith(QLatin1String("*.")) && pattern != QLatin1String("*.*"))
        return pattern.mid(2);
    return defaultSuffix.startsWith(u'.') ? defaultSuffix.mid(1) : defaultSuffix;
}

QString QtDialogs::qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        if (description.endsWith(u')'))
            description.truncate(description.lastIndexOf(u'('));
        const QString pattern
            = parts[i + 1] == QLatin1String("*.*") ? QStringLiteral("*") : parts[i + 1];
        out << QStringLiteral("%1 (%2)").arg(description.trimmed(), pattern);
    }
    return out.join(QStringLiteral(";;"));
}

namespace {
// A dialog cannot start in a folder that does not exist, while the default folder is made by
// the first save, not by a dialog: the folders made for the dialog go again unless the chosen
// file lies in them (rmdir leaves one that the user filled meanwhile).
Dialogs::FileChoice runFileDialog(QFileDialog &d, const QString &folder, const QString &filter,
                                  const QString &defaultSuffix, const QString &fileName)
{
    QStringList made; // deepest first
    for (QString f = QDir::cleanPath(folder); !f.isEmpty() && !QFileInfo::exists(f);
         f = QFileInfo(f).path())
        made << f;
    QDir().mkpath(folder);
    d.setDirectory(folder);
    if (!fileName.isEmpty())
        d.selectFile(fileName);
    const QStringList filters = QtDialogs::qtFilter(filter).split(QStringLiteral(";;"));
    d.setNameFilters(filters);
    // A bare name takes the chosen filter's ending here already, so that the dialog asks about
    // the name that is written.
    d.setDefaultSuffix(Dialogs::ending(filter, 0, defaultSuffix));
    QObject::connect(
        &d, &QFileDialog::filterSelected, &d,
        [dialog = &d, filter, defaultSuffix, filters](const QString &chosen) {
            dialog->setDefaultSuffix(Dialogs::ending(
                filter, std::max(qsizetype(0), filters.indexOf(chosen)), defaultSuffix));
        });
    const QString chosen = d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty()
        ? d.selectedFiles().first()
        : QString();
    for (const QString &f : made) {
        if (!chosen.isEmpty() && chosen.startsWith(f + u'/'))
            break;
        QDir().rmdir(f);
    }
    return { chosen, std::max(qsizetype(0), filters.indexOf(d.selectedNameFilter())) };
}
} // namespace

Dialogs::FileChoice QtDialogs::askOpenFile(const QString &folder, const QString &filter,
                                           const QString &defaultSuffix, const QString &offered)
{
    QFileDialog d(parent_);
    d.setAcceptMode(QFileDialog::AcceptOpen);
    // The program reports a missing file itself, so a typed name that does not exist is accepted.
    d.setFileMode(QFileDialog::AnyFile);
    return runFileDialog(d, folder, filter, defaultSuffix, offered);
}

Dialogs::FileChoice QtDialogs::askSaveFile(const QString &folder, const QString &filter,
                                           const QString &defaultSuffix, const QString &offered,
                                           bool askOverwrite)
{
    QFileDialog d(parent_);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setOption(QFileDialog::DontConfirmOverwrite, !askOverwrite);
    return runFileDialog(d, folder, filter, defaultSuffix, offered);
}

QString QtDialogs::folder(const QString &start)
{
    return QFileDialog::getExistingDirectory(parent_, QString(), start);
}

Dialogs::Answer QtDialogs::message(const QString &text, const QString &title, Icon icon,
                                   Buttons buttons)
{
    static constexpr QMessageBox::Icon icons[]
        = { QMessageBox::NoIcon, QMessageBox::Question, QMessageBox::Critical,
            QMessageBox::Information };
    static constexpr QMessageBox::StandardButtons sets[]
        = { QMessageBox::Ok, QMessageBox::Ok | QMessageBox::Cancel,
            QMessageBox::Yes | QMessageBox::No };
    QMessageBox box(icons[static_cast<int>(icon)], title, text, sets[static_cast<int>(buttons)],
                    parent_);
    // Escape or closing a Yes/No question answers neither: QMessageBox would take it as No.
    if (buttons == Buttons::YesNo) {
        QPushButton *unanswered = box.addButton(QMessageBox::Cancel);
        unanswered->hide();
        box.setEscapeButton(unanswered);
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

namespace {
// The box takes no more than what the answer may hold, and says so.
std::optional<QString> ask(QWidget *parent, const QString &prompt, const QString &title,
                           const QString &defaultText, const QStringList &offered, int maxLength)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(
        prompt + QLatin1Char('\n')
        + QCoreApplication::translate("Dialogs", "At most %n characters.", nullptr, maxLength));
    if (!offered.isEmpty()) {
        dialog.setComboBoxItems(offered);
        dialog.setComboBoxEditable(true);
    }
    // Wide enough for the whole of every text offered, as far as the screen allows.
    const QFontMetrics metrics(dialog.font());
    int wide = 0;
    for (const QString &text : offered + QStringList { defaultText.left(maxLength) })
        wide = std::max(wide, metrics.horizontalAdvance(text) + 6 * metrics.averageCharWidth());
    wide = std::min(wide, dialog.screen()->availableGeometry().width() * 3 / 4);
    for (auto *edit : dialog.findChildren<QLineEdit *>()) { // the combo box's too
        edit->setMaxLength(maxLength);
        edit->setMinimumWidth(wide);
    }
    for (auto *box : dialog.findChildren<QComboBox *>())
        box->setMinimumWidth(wide);
    dialog.setTextValue(defaultText.left(maxLength));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}
} // namespace

std::optional<QString> QtDialogs::input(const QString &prompt, const QString &title,
                                        const QString &defaultText, int maxLength)
{
    return ask(parent_, prompt, title, defaultText, {}, maxLength);
}

std::optional<QString> QtDialogs::choose(const QString &prompt, const QString &title,
                                         const QStringList &offered, int maxLength)
{
    return ask(parent_, prompt, title, offered.value(0), offered, maxLength);
}

namespace {
// A form's OK and Cancel under its rows, and whether it was answered with OK.
bool answered(QDialog &dialog, QFormLayout &layout)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout.addRow(buttons);
    return dialog.exec() == QDialog::Accepted;
}
} // namespace

std::optional<QStringList> QtDialogs::form(const QString &title, const QStringList &labels,
                                           const QStringList &offered, int maxLength)
{
    QDialog dialog(parent_);
    dialog.setWindowTitle(title);
    auto *layout = new QFormLayout(&dialog);
    QList<QLineEdit *> edits;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        edits << new QLineEdit(offered.value(i).left(maxLength), &dialog);
        edits.last()->setMaxLength(maxLength);
        layout->addRow(labels[i], edits.last());
    }
    if (!answered(dialog, *layout))
        return std::nullopt;
    QStringList typed;
    for (const QLineEdit *edit : std::as_const(edits))
        typed << edit->text();
    return typed;
}

QStringList QtDialogs::openFiles(const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileNames(parent_, QString(), folder, qtFilter(filter));
}

std::optional<QList<int>> QtDialogs::picks(const QString &title, const QString &note,
                                           const QStringList &labels, const QStringList &options,
                                           const QList<int> &chosen)
{
    QDialog dialog(parent_);
    dialog.setWindowTitle(title);
    auto *layout = new QFormLayout(&dialog);
    if (!note.isEmpty()) {
        auto *text = new QLabel(note, &dialog);
        text->setWordWrap(true);
        layout->addRow(text);
    }
    QList<QComboBox *> boxes;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        boxes << new QComboBox(&dialog);
        boxes.last()->addItems(options);
        boxes.last()->setCurrentIndex(chosen.value(i));
        layout->addRow(labels[i], boxes.last());
    }
    if (!answered(dialog, *layout))
        return std::nullopt;
    QList<int> picked;
    for (const QComboBox *box : std::as_const(boxes))
        picked << box->currentIndex();
    return picked;
}
