#include "book_feature/book_feature.h"

#include "book_feature/book_window.h"
#include "platform/command_names.h"
#include "platform/core/folders.h"
#include "platform/sub_window.h"

#include <QMdiArea>
#include <QPointer>

Feature bookFeature()
{
    const QString name = QStringLiteral("Book");
    return { { { name,
                 { { Band::MainFile, 30, QT_TRANSLATE_NOOP("Captions", "&Battery book") },
                   { Band::View, 60, QT_TRANSLATE_NOOP("Captions", "&Battery book") } },
                 QStringLiteral("Every pack's history, capacity fade and internal resistance.") } },
             {},
             {},
             [name](FeatureHost &host) {
                 auto book = std::make_shared<QPointer<BookWindow>>();
                 const auto show = [&host, book] {
                     if (!*book) {
                         *book = new BookWindow(
                             host.bookFile(), saveFolder(), host.dialogs(), host.clipboard(),
                             host.background(),
                             [&host](const QString &file) { host.openFiles({ file }); },
                             &host.area());
                         addFitted(host.area(), **book, QSize(1100, 700));
                     }
                     (*book)->show();
                     host.area().setActiveSubWindow(*book);
                 };
                 return FeatureHandlers { { { name, show } } };
             } };
}
