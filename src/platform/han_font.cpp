#include "platform/han_font.h"

#include <QApplication>
#include <QFont>

void useHanFont(const QString &family)
{
    QFont font = QApplication::font();
    // The first family is the desktop's; a second is the one this sets.
    QStringList families = font.families().mid(0, 1);
    if (!family.isEmpty())
        families << family;
    if (families == font.families())
        return;
    font.setFamilies(families);
    QApplication::setFont(font);
}
