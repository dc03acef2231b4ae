#include "platform/han_font.h"

#include <QApplication>
#include <QFont>
#include <QFontInfo>

void useHanFont(const QString &family)
{
    QFont font = QApplication::font();
    // The first family is the desktop's, by the name of the face it stands for: a generic name
    // ("Sans Serif") that no face bears would hand the Latin letters to the Han face too, with
    // its taller lines. A second is the one this sets.
    QStringList families { QFontInfo(QFont(font.families().value(0))).family() };
    if (!family.isEmpty())
        families << family;
    if (families == font.families())
        return;
    font.setFamilies(families);
    QApplication::setFont(font);
}
