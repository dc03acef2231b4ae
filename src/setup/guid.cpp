#include "setup/guid.h"

#include "setup/config.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

Guid::Guid(InterfaceTextStore &store, QWidget *parent) : QDialog(parent), Window(new QTextBrowser)
{
    setWindowTitle(QStringLiteral("Guid"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Window);
    Window->setOpenExternalLinks(true);
    const QString page = Config(store).Guid_Html_FileName();
    hasPage_ = !page.isEmpty();
    if (hasPage_)
        Window->setSource(QUrl::fromLocalFile(page));
    // 12900 twips wide, 450 twips short of the screen's height.
    const QScreen *screen = QGuiApplication::primaryScreen();
    resize(860, (screen ? screen->geometry().height() : 800) - 30);
}

void Guid::showModal(InterfaceTextStore &store)
{
    Guid guide(store);
    if (guide.hasPage())
        guide.exec();
}
