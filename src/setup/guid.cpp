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
    const QScreen *screen = QGuiApplication::primaryScreen();
    resize(sizeOn(screen ? screen->geometry() : QRect(0, 0, 1280, 800)));
}

QSize Guid::sizeOn(const QRect &screen)
{
    // 12900 twips wide, 450 twips short of the screen's height; never wider than the screen,
    // which a screen scaled to 200 % can be.
    return { qMin(860, screen.width()), screen.height() - 30 };
}

void Guid::showModal(InterfaceTextStore &store)
{
    Guid guide(store);
    if (guide.hasPage())
        guide.exec();
}
