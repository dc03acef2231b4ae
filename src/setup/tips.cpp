#include "setup/tips.h"

#include <QCoreApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {
// As the page's pieces read, a bold lead and its sentence apart.
const char *const tips[] = {
    QT_TRANSLATE_NOOP("Tips", "Tips"),
    QT_TRANSLATE_NOOP("Tips", "Name the pack."),
    QT_TRANSLATE_NOOP("Tips", "Use Title before saving, so the file says which battery it was."),
    QT_TRANSLATE_NOOP("Tips", "Save every run."),
    QT_TRANSLATE_NOOP("Tips", "Nothing is saved by itself; an ended window waits for Save."),
    QT_TRANSLATE_NOOP("Tips", "Compare runs."),
    QT_TRANSLATE_NOOP("Tips", "Open older run files next to a live one and tile the windows."),
    QT_TRANSLATE_NOOP("Tips", "Read values."),
    QT_TRANSLATE_NOOP("Tips",
                      "Press CrossLine and move over the chart; the panel shows that moment."),
    QT_TRANSLATE_NOOP("Tips", "Full screen."),
    QT_TRANSLATE_NOOP("Tips", "Double-click a chart; double-click again to return."),
    QT_TRANSLATE_NOOP("Tips", "Cells."),
    QT_TRANSLATE_NOOP("Tips", "Plug in the balance lead to see each cell's voltage on the panel."),
};
} // namespace

void translateTips(QTextDocument &page)
{
    struct Piece {
        int at, length;
        QString text;
        QTextCharFormat format;
    };
    std::vector<Piece> pieces;
    for (QTextBlock block = page.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            // The page's line breaks and spaces around a piece are not the piece's own.
            const QString text = f.text().simplified();
            const auto tip = std::find_if(std::begin(tips), std::end(tips), [&text](const char *t) {
                return text == QLatin1String(t);
            });
            if (tip == std::end(tips))
                continue;
            const int lead = int(f.text().indexOf(text.front()));
            pieces.push_back({ f.position() + lead, int(f.text().trimmed().size()),
                               QCoreApplication::translate("Tips", *tip), f.charFormat() });
        }
    // From the end, so that the positions before stay true.
    QTextCursor cursor(&page);
    for (auto p = pieces.rbegin(); p != pieces.rend(); ++p) {
        cursor.setPosition(p->at);
        cursor.setPosition(p->at + p->length, QTextCursor::KeepAnchor);
        cursor.insertText(p->text, p->format);
    }
}
