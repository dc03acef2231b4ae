#pragma once

#include <QDialog>

class InterfaceTextStore;
class QLabel;
class Settings;

// The about window: the store's about text in the stored interface language and its about
// picture. A click anywhere closes it.
class About final : public QDialog {
    Q_OBJECT
public:
    About(InterfaceTextStore &store, const Settings &settings, QWidget *parent = nullptr);

    QLabel *const Text1;
    QLabel *const Image1;

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
