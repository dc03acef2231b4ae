#pragma once

#include "platform/command_bar.h"
#include "platform/command_layout_spec.h"

#include <QAction>
#include <QPointer>
#include <QWidget>
#include <functional>

// A tool of the Qt command bar. It keeps its own state and shows it on the action (menus,
// tool bar) or widget (status bar, widgets on the tool bar) it is bound to; a tool bound to
// nothing is a detached tool whose state goes nowhere.
class QtTool final : public Tool {
public:
    // Called after the sub-band changed, so the bar can rebuild the pop-up.
    using SubBandChanged = std::function<void(QtTool &)>;

    QtTool(QString band, const ToolSpec &spec, SubBandChanged subBandChanged = {});

    QString name() const override { return name_; }
    QString band() const override { return band_; }
    Kind kind() const override { return kind_; }

    QString caption() const override { return caption_; }
    void setCaption(const QString &caption) override;
    void setAccessibleName(const QString &name) override;
    QString description() const override { return description_; }
    bool checked() const override { return checked_; }
    void setChecked(bool checked) override;
    bool visible() const override { return visible_; }
    void setVisible(bool visible) override;
    bool on() const override { return on_; }
    void setOn(bool on) override;
    QString subBand() const override { return subBand_; }
    void setSubBand(const QString &band) override;
    void setPicture(const QString &bitmap) override;

    int listCount() const override { return static_cast<int>(list_.size()); }
    QStringList list() const override { return list_; }
    void clearList() override;
    void addListItem(const QString &item) override;
    QString text() const override { return text_; }
    void setText(const QString &text) override;
    void focus() override;
    void openDropDown() override;

    bool listsWindows() const { return windowList_; }
    QString clockFormat() const { return clockFormat_; }

    QAction *action() const { return action_; }
    QWidget *widget() const { return widget_; }
    // `action` carries visibility and clicks; `widget`, when given, shows the kind's content.
    void bind(QAction *action, QWidget *widget = nullptr);

private:
    void showCaption();
    void showDescription();

    QString band_;
    QString name_;
    Kind kind_;
    QString caption_;
    QString description_;
    QString subBand_;
    QString clockFormat_;
    bool windowList_;
    bool checked_ = false;
    bool visible_ = true;
    bool on_ = false;
    QStringList list_;
    QString text_;
    SubBandChanged subBandChanged_;
    QPointer<QAction> action_;
    QPointer<QWidget> widget_;
};
