#pragma once

#include <QDialog>

class InterfaceTextStore;
class QTextBrowser;

// The guide window: the store's manual page.
class Guid final : public QDialog {
    Q_OBJECT
public:
    explicit Guid(InterfaceTextStore &store, QWidget *parent = nullptr);

    // Shows the guide modally; nothing when the store names no manual page.
    static void showModal(InterfaceTextStore &store);
    bool hasPage() const { return hasPage_; }
    // The window's size on `screen`.
    static QSize sizeOn(const QRect &screen);

    QTextBrowser *const Window;

private:
    bool hasPage_ = false;
};
