#include "platform/qt_tool.h"

#include "platform/status_lamp.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDockWidget>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>

QtTool::QtTool(QString band, const ToolSpec &spec, SubBandChanged subBandChanged)
    : band_(std::move(band)), name_(spec.name), kind_(spec.kind), caption_(spec.caption),
      description_(spec.description), subBand_(spec.subBand), clockFormat_(spec.clockFormat),
      windowList_(spec.windowList), subBandChanged_(std::move(subBandChanged))
{
}

void QtTool::bind(QAction *action, QWidget *widget)
{
    action_ = action;
    widget_ = widget;
    showCaption();
    showDescription();
    setChecked(checked_);
    setVisible(visible_);
    setOn(on_);
}

void QtTool::setCaption(const QString &caption)
{
    caption_ = caption;
    showCaption();
}

void QtTool::setAccessibleName(const QString &name)
{
    for (QObject *shown : action_ ? action_->associatedObjects() : QObjectList())
        if (auto *button = qobject_cast<QAbstractButton *>(shown))
            button->setAccessibleName(name);
}

void QtTool::showCaption()
{
    if (auto *label = qobject_cast<QLabel *>(widget_))
        label->setText(caption_);
    else if (auto *dock = qobject_cast<QDockWidget *>(widget_))
        dock->setWindowTitle(caption_);
    else if (action_ && !widget_)
        action_->setText(caption_);
}

void QtTool::showDescription()
{
    if (action_) {
        action_->setToolTip(description_); // empty falls back to the caption
        action_->setStatusTip(description_);
    }
    if (widget_) {
        widget_->setToolTip(description_);
        widget_->setStatusTip(description_);
    }
}

void QtTool::setChecked(bool checked)
{
    checked_ = checked;
    if (action_ && action_->isCheckable())
        action_->setChecked(checked);
}

void QtTool::setVisible(bool visible)
{
    visible_ = visible;
    // On a tool bar the action hides its widget; in the status bar there is only the widget.
    if (action_)
        action_->setVisible(visible);
    else if (widget_)
        widget_->setVisible(visible);
}

void QtTool::setOn(bool on)
{
    on_ = on;
    if (auto *lamp = qobject_cast<StatusLamp *>(widget_))
        lamp->setOn(on);
}

void QtTool::setSubBand(const QString &band)
{
    subBand_ = band;
    if (subBandChanged_)
        subBandChanged_(*this);
}

void QtTool::setPicture(const QString &bitmap)
{
    const QString path = QStringLiteral(":/bitmaps/%1.png").arg(bitmap);
    const QIcon picture(path);
    if (picture.availableSizes().isEmpty())
        qWarning("Command bar: no bitmap %s", qPrintable(path));
    if (action_)
        action_->setIcon(picture);
}

void QtTool::clearList()
{
    list_.clear();
    if (auto *combo = qobject_cast<QComboBox *>(widget_)) {
        combo->clear();
        combo->setEditText(text_); // the text line outlives the list it came from
    }
}

void QtTool::addListItem(const QString &item)
{
    list_.append(item);
    if (auto *combo = qobject_cast<QComboBox *>(widget_)) {
        combo->addItem(item);
        combo->setEditText(text_);
    }
}

void QtTool::setText(const QString &text)
{
    text_ = text;
    if (auto *combo = qobject_cast<QComboBox *>(widget_)) {
        // The opened list then starts at the entry shown, when the text is one of them.
        if (const int entry = combo->findText(text, Qt::MatchExactly); entry >= 0)
            combo->setCurrentIndex(entry);
        combo->setEditText(text);
        combo->lineEdit()->setCursorPosition(0);
    }
}

void QtTool::focus()
{
    if (widget_)
        widget_->setFocus(Qt::OtherFocusReason);
}

void QtTool::openDropDown()
{
    if (auto *combo = qobject_cast<QComboBox *>(widget_))
        combo->showPopup();
}
