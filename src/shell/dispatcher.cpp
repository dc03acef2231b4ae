#include "document/document_host.h"
#include "document/tee.h"
#include "platform/command_bar.h"
#include "setup/about.h"
#include "setup/guid.h"
#include "shell/language.h"
#include "shell/mdi_form.h"
#include "shell/window_arrangement.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

void MDIForm1::onToolClicked(Tool &tool)
{
    // The active chart window sees every command first, the shell's own ones too.
    if (auto *doc = dynamic_cast<IMDIDocument *>(area_->currentSubWindow()))
        doc->CommandHandler(tool);

    const QString name = tool.name();
    if (name == QLatin1String("Open"))
        OpenSavedRun();
    else if (name == QLatin1String("miWTileH"))
        arrange(1);
    else if (name == QLatin1String("miWTileV"))
        arrange(2);
    else if (name == QLatin1String("miWCascade"))
        arrange(0);
    else if (name == QLatin1String("miWArrangeIcons"))
        arrange(3);
    else if (name == QLatin1String("CrossLine"))
        crossLine();
    else if (name == QLatin1String("About"))
        About(store_, settings_).exec();
    else if (name == QLatin1String("Guid"))
        Guid::showModal(store_);
    else if (name == QLatin1String("Exit")) {
        close();
        QApplication::quit();
    } else if (name == QLatin1String("Eng"))
        language_->ApplyLanguage(QStringLiteral("ENG"));
    else if (name == QLatin1String("Cht"))
        language_->ApplyLanguage(QStringLiteral("CHT"));
    else if (name == QLatin1String("CH1"))
        Channel_Proc(1);
    else if (name == QLatin1String("CH2"))
        Channel_Proc(2);
}

void MDIForm1::crossLine()
{
    // The tool-bar copy holds the state, whichever copy was clicked.
    Tool &t = tool(QStringLiteral("Tools"), QStringLiteral("CrossLine"));
    t.setChecked(!t.checked());
    CrossLineFlag = t.checked();
}

void MDIForm1::Channel_Proc(int channel)
{
    Tool &t = tool(QStringLiteral("Tools"), QStringLiteral("Channel"));
    const QString name = channel == 1 ? QStringLiteral("CH1") : QStringLiteral("CH2");
    if (tee *doc = liveDoc(channel == 1 ? 1 : 2)) {
        t.setPicture(name);
        t.setCaption(name);
        doc->active();
    }
    if (!newdoc_ && !ch2doc_) {
        t.setPicture(QStringLiteral("CH1"));
        t.setCaption(QStringLiteral("CH1"));
        t.setSubBand(QString());
    }
    menu_->refresh();
}

void MDIForm1::cascade()
{
    arrange(0);
}

void MDIForm1::arrange(int mode)
{
    if (mode == 0) {
        area_->cascadeSubWindows();
        return;
    }
    QList<QMdiSubWindow *> normal, minimised;
    for (QMdiSubWindow *w : area_->subWindowList())
        (w->isMinimized() ? minimised : normal) << w;
    const QRect space = area_->viewport()->rect();
    if (mode == 3) {
        const QSize icon = minimised.isEmpty() ? QSize() : minimised.first()->size();
        const QList<QPoint> at
            = WindowArrangement::iconPositions(int(minimised.size()), space, icon);
        for (int i = 0; i < minimised.size(); ++i)
            minimised[i]->move(at[i]);
        return;
    }
    const QList<QRect> rects = WindowArrangement::tiled(int(normal.size()), space, mode == 1);
    for (int i = 0; i < normal.size(); ++i) {
        normal[i]->showNormal();
        normal[i]->setGeometry(rects[i]);
    }
}
