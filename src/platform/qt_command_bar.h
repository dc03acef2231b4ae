#pragma once

#include "platform/command_bar.h"
#include "platform/command_layout_spec.h"
#include "platform/core/clock.h"
#include "platform/qt_tool.h"

#include <QHash>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <vector>

class QMainWindow;
class QMdiArea;
class QMenu;
class QToolBar;

// The command bar on a QMainWindow: menu-bar bands become the menu bar, pop-up bands the
// menus that tools open, the tool-bar band a QToolBar and the status band the status bar.
class QtCommandBar final : public CommandBar {
    Q_OBJECT
public:
    // `mdiArea` may be null when it is the window's central widget. The bar is a child of
    // `window`.
    QtCommandBar(QMainWindow *window, QMdiArea *mdiArea, const std::vector<BandSpec> &layout,
                 const Clock &clock);

    Tool &tool(const QString &band, const QString &name) override;
    QStringList bandNames() const override;
    QStringList toolNames(const QString &band) const override;
    void registerChildMenuBar(const QString &band, QMdiSubWindow *child) override;
    QDockWidget *dockPane(const QString &band, const QString &tool, QWidget *form,
                          Qt::DockWidgetArea area) override;
    void refresh() override;

    QToolBar *toolBar() const { return toolBar_; }

protected:
    bool event(QEvent *event) override;

private:
    struct Band {
        QString name;
        QString title;
        BandSpec::Role role;
        std::vector<std::unique_ptr<QtTool>> tools;
    };

    Band *findBand(const QString &name);
    void buildMenuBand(Band &band, const BandSpec &spec);
    void buildToolBar(Band &band, const BandSpec &spec);
    void buildStatusBar(Band &band, const BandSpec &spec);
    QtTool &addTool(Band &band, const ToolSpec &spec);
    QAction *createAction(QtTool &tool, const ToolSpec &spec);
    QWidget *createWidget(QtTool &tool, const ToolSpec &spec);
    void attachSubBand(QtTool &opener);
    void listWindows(QMenu *menu, const QString &band);
    void showMenuBar();
    void showClock();
    // In the interface language, which the band's own title does not follow.
    void nameStatusBar();

    QMainWindow *window_;
    QPointer<QMdiArea> mdiArea_;
    QPointer<QMenuBar> menuBar_;
    const Clock &clock_;
    std::vector<Band> bands_;
    QString mainMenuBand_;
    QHash<QMdiSubWindow *, QString> childMenuBars_;
    // One pop-up per opener, kept while its sub-band is detached.
    QHash<QtTool *, QMenu *> popUps_;
    QToolBar *toolBar_ = nullptr;
    QString statusBand_;
    QTimer clockTimer_;
    QtTool detached_;
};
