#include "book_feature/book_feature.h"

#include "book/stored_full_watch.h"
#include "book_feature/book_window.h"
#include "notify/run_notices.h"
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
                 // Packs left full are told whether the window is open or not.
                 if (!host.bookFile().isEmpty()) {
                     auto *watch
                         = new StoredFullWatch(host.bookFile(), saveFolder(), host.background(),
                                               host.clock(), &host.mainWindow());
                     QObject::connect(watch, &StoredFullWatch::storedFull, watch,
                                      [&host](const QString &pack, qint64 days) {
                                          if (RunNotices *notices = host.notices())
                                              notices->storedFull(pack, days);
                                      });
                 }
                 auto book = std::make_shared<QPointer<BookWindow>>();
                 const auto show = [&host, book] {
                     if (!*book) {
                         *book = new BookWindow(
                             host.bookFile(), saveFolder(), host.dialogs(), host.background(),
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
