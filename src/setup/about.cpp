#include "setup/about.h"

#include "i18n/languages.h"
#include "platform/core/settings.h"
#include "setup/config.h"
#include "setup/splash.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>

About::About(InterfaceTextStore &store, const Settings &settings, QWidget *parent)
    : QDialog(parent), Text1(new QLabel), Image1(new QLabel)
{
    setWindowTitle(QStringLiteral("About"));
    const Config config(store);
    Text1->setText(config.About(languageNamed(storedLanguage(settings)).about));
    Text1->setWordWrap(true);
    Text1->setMinimumWidth(280);
    Text1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (const QImage picture = storePicture(config.AboutImg(), devicePixelRatioF());
        !picture.isNull())
        Image1->setPixmap(QPixmap::fromImage(picture));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addWidget(Image1, 0, Qt::AlignTop);
    layout->addWidget(Text1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void About::mousePressEvent(QMouseEvent *event)
{
    // The labels pass their clicks on to here.
    event->accept();
    accept();
}
