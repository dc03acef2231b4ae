#pragma once

#include "setup/i_will_dock_to_active_bar.h"

#include <QWidget>

class Dialogs;
class InterfaceTextStore;
class QDockWidget;
class QLabel;
class QTextBrowser;

// The advertisement pane: the store's advertisement page in a strip beside the chart
// windows, folded to its arrow and unfolded again by a click on the arrow. Its width is
// the store's, whatever the user drags.
// NOLINTNEXTLINE(readability-identifier-naming): the form keeps its name, "adform"
class adform final : public QWidget, public IWillDockToActiveBar {
    Q_OBJECT
public:
    adform(InterfaceTextStore &store, Dialogs &dialogs, QWidget *parent = nullptr);

    void DockYourselfTo(CommandBar &ActiveBar, bool parmIsVisible = true,
                        qint32 paramDockingarea = 2, qint32 paramGrabHandleStyle = 0,
                        qint32 paramDockingOffset = 0) override;

    bool folded() const { return folded_; }
    // Folds or unfolds the pane, as a click on its arrow does.
    void Image1_Click();
    // The docked band, once docked.
    QDockWidget *band() const { return band_; }

    QTextBrowser *const Web;
    QLabel *const Image1;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();

    InterfaceTextStore &store_;
    Dialogs &dialogs_;
    QDockWidget *band_ = nullptr;
    bool folded_ = false;
};
