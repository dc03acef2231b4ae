#include "book_feature/book_feature.h"

#include "book/book.h"
#include "book/pack_warning_watch.h"
#include "book_feature/book_window.h"
#include "book_feature/label_chooser.h"
#include "notify/run_notices.h"
#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "platform/core/folders.h"
#include "platform/dialogs.h"
#include "platform/pdf_text.h"
#include "platform/printer.h"
#include "platform/sub_window.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QPointer>
#include <QPrinter>

namespace {

// The book's packs as labels, by ID: every pack gets one first, those retired left out. The
// figures give the cells and rating a pack's details leave unknown.
std::vector<PackLabel> bookLabels(const QString &bookFile)
{
    Book book(bookFile);
    const std::vector<RunFigures> runs = book.runs(book.folders());
    book.identify(runs);
    std::vector<PackLabel> labels;
    QHash<QString, std::size_t> at;
    for (const PackDetails &d : book.packDetails())
        if (!d.retired) {
            at[d.id] = labels.size();
            labels.push_back({ d.id, d.name, d.cells, d.ratedMah });
        }
    for (const PackFigures &pack : book.packs(runs, QDateTime::currentDateTime()))
        if (const auto i = at.constFind(pack.id); i != at.cend()) {
            labels[*i].cells = pack.cells;
            labels[*i].ratedMah = pack.ratedMah;
        }
    return labels;
}

void printLabels(FeatureHost &host)
{
    const auto say = [&host](const QString &text) {
        host.dialogs().message(text, QStringLiteral("Notice"), Dialogs::Icon::Information);
    };
    const std::vector<PackLabel> packs = bookLabels(host.bookFile());
    if (packs.empty())
        return say(QCoreApplication::translate(
            "PackLabels", "The battery book has no packs yet: open it once to gather the runs."));
    const std::optional<LabelSheet> sheet = chooseLabels(&host.mainWindow(), packs);
    if (!sheet)
        return;
    if (sheet->printer)
        return host.printer().print(sheet->paper, [&sheet](QPrinter &printer) {
            paintLabels(printer, sheet->layout, sheet->labels);
            mendPdfText(printer);
        });
    const QString path = host.dialogs().exportFile(
        saveFolder(), QCoreApplication::translate("PackLabels", "PDF file(*.pdf)|*.pdf"),
        QStringLiteral("pdf"));
    if (!path.isEmpty() && !writeLabelsPdf(path, sheet->paper, sheet->layout, sheet->labels))
        host.dialogs().message(
            QCoreApplication::translate("PackLabels", "The labels were not written to %1")
                .arg(path),
            QStringLiteral("Notice"), Dialogs::Icon::Critical);
}

} // namespace

Feature bookFeature()
{
    const QString name = QStringLiteral("Book");
    const QString labels = QStringLiteral("PackLabels");
    return { { { name,
                 { { Band::MainFile, 30, QT_TRANSLATE_NOOP("Captions", "&Battery book") },
                   { Band::View, 60, QT_TRANSLATE_NOOP("Captions", "&Battery book") } },
                 QStringLiteral("Every pack's history, capacity fade and internal resistance.") },
               { labels,
                 { { Band::MainFile, 31, QT_TRANSLATE_NOOP("Captions", "&Print pack labels…") } },
                 QStringLiteral("A sheet of labels, a QR code of its tag for each pack.") } },
             {},
             {},
             [name, labels](FeatureHost &host) {
                 // Packs that need care are told whether the window is open or not.
                 if (!host.bookFile().isEmpty()) {
                     auto *watch
                         = new PackWarningWatch(host.bookFile(), saveFolder(), host.background(),
                                                host.clock(), &host.mainWindow());
                     QObject::connect(watch, &PackWarningWatch::standing, watch,
                                      [&host](const QString &line) { host.State_add(line); });
                     QObject::connect(
                         watch, &PackWarningWatch::told, watch,
                         [&host](const QStringList &packs, const QString &line, bool storedFull) {
                             if (RunNotices *notices = host.notices())
                                 notices->packsNeedCare(packs, line, storedFull);
                         });
                 }
                 auto book = std::make_shared<QPointer<BookWindow>>();
                 const auto show = [&host, book] {
                     if (!*book) {
                         *book = new BookWindow(
                             host.bookFile(), saveFolder(), host.dialogs(), host.clipboard(),
                             host.background(),
                             [&host](const QString &file) { host.openFiles({ file }); },
                             &host.area());
                         addFitted(host.area(), **book, QSize(1100, 700));
                         // The menus of the other windows, View and Window among them.
                         host.bar().registerChildMenuBar(Band::ClientMenu, *book);
                     }
                     (*book)->show();
                     host.area().setActiveSubWindow(*book);
                 };
                 return FeatureHandlers { { { name, show },
                                            { labels, [&host] { printLabels(host); } } } };
             } };
}
