#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QDockWidget;
class QMainWindow;
class QMdiSubWindow;
class QWidget;
class CommandBar;

// One tool of a band, addressed by band name and tool name. The same name in two bands
// is two tools ("CrossLine" in "View" and in "Tools").
class Tool {
public:
    enum class Kind { Button, Separator, DropDownList, Lamp, Label, HostedForm };

    virtual ~Tool() = default;
    virtual QString name() const = 0;
    virtual QString band() const = 0;
    virtual Kind kind() const = 0;

    virtual QString caption() const = 0;
    virtual void setCaption(const QString &caption) = 0;
    virtual QString description() const = 0;
    virtual bool checked() const = 0;
    virtual void setChecked(bool checked) = 0;
    virtual bool visible() const = 0;
    virtual void setVisible(bool visible) = 0;
    // A lamp's lit state; neither checked nor visible.
    virtual bool on() const = 0;
    virtual void setOn(bool on) = 0;
    // The pop-up band this tool opens; "" for none.
    virtual QString subBand() const = 0;
    virtual void setSubBand(const QString &band) = 0;
    // A bitmap of the program's resources by name ("CH1", "CH2").
    virtual void setPicture(const QString &bitmap) = 0;
    // What a screen reader calls the tool's button where its caption says too little ("CH2").
    virtual void setAccessibleName(const QString &name) = 0;

    // Drop-down list tools ("sState").
    virtual int listCount() const = 0;
    virtual QStringList list() const = 0;
    virtual void clearList() = 0;
    virtual void addListItem(const QString &item) = 0;
    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;
    virtual void focus() = 0;
    virtual void openDropDown() = 0;
};

// The menus, tool bar and status bar of the main window as named bands of tools.
// Every click of any tool arrives at toolClicked with that tool.
class CommandBar : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Unknown names are a programming error: asserts in debug builds, warns in release
    // and answers a detached dummy tool.
    virtual Tool &tool(const QString &band, const QString &name) = 0;
    virtual QStringList bandNames() const = 0;
    virtual QStringList toolNames(const QString &band) const = 0;
    // The band shown as menu bar while `child` is the active chart window ("Client_menu").
    virtual void registerChildMenuBar(const QString &band, QMdiSubWindow *child) = 0;
    // Docks `form` into the main window as a new band `band` holding one tool `tool` that
    // hosts the form, both captioned with the form's title; the tool's visibility is the
    // pane's. Null when there is no form or the band exists already.
    virtual QDockWidget *dockPane(const QString &band, const QString &tool, QWidget *form,
                                  Qt::DockWidgetArea area)
        = 0;
    // Recompute and redraw the layout after tool changes.
    virtual void refresh() = 0;

signals:
    void toolClicked(Tool &tool);
};
