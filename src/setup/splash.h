#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

class InterfaceTextStore;

// The splash screen: the store's splash picture in a borderless window above every other,
// transparent wherever the picture is. It closes at the first tick of its two-second timer,
// so later when the program keeps the event loop busy until then.
// NOLINTNEXTLINE(readability-identifier-naming): the form keeps its name, "frmSplash"
class frmSplash final : public QWidget {
    Q_OBJECT
public:
    // Shows itself at once, unless the store has no picture that loads.
    explicit frmSplash(InterfaceTextStore &store);

    // Where a window of `form` pixels stands on `screen`: centred, 500 twips above the
    // middle; negative on a screen smaller than the window.
    static QPoint Center(const QRect &screen, const QSize &form);
    static constexpr QSize area { 549, 350 };

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage picture_;
    QTimer Timer1;
};
