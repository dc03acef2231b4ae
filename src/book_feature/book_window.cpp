#include "book_feature/book_window.h"

#include "book/book_indexer.h"
#include "book/book_table.h"
#include "platform/dialogs.h"
#include "run/run_file.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <qcustomplot.h>

namespace {
// A folder's changes are read once they have settled for this long.
constexpr int SettleMs = 1000;

// A cell that sorts by number where it holds one.
class Cell final : public QTableWidgetItem {
public:
    explicit Cell(const QString &text) : QTableWidgetItem(text)
    {
        bool number = false;
        const double v = text.toDouble(&number);
        if (number)
            setData(Qt::UserRole, v);
        setFlags(flags() & ~Qt::ItemIsEditable);
    }
    bool operator<(const QTableWidgetItem &other) const override
    {
        const QVariant a = data(Qt::UserRole), b = other.data(Qt::UserRole);
        if (a.isValid() && b.isValid())
            return a.toDouble() < b.toDouble();
        return a.isValid() || (!b.isValid() && text() < other.text());
    }
};

QTableWidget *table(QWidget *parent, const QString &name)
{
    auto *t = new QTableWidget(parent);
    t->setObjectName(name);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::ExtendedSelection);
    t->setContextMenuPolicy(Qt::CustomContextMenu);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

void fillTable(QTableWidget *t, const QStringList &header, const std::vector<QStringList> &rows)
{
    t->setSortingEnabled(false);
    t->clearContents();
    t->setColumnCount(int(header.size()));
    t->setHorizontalHeaderLabels(header);
    t->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < int(rows[r].size()); ++c)
            t->setItem(r, c, new Cell(rows[r][c]));
    t->setSortingEnabled(true);
    t->resizeColumnsToContents();
}

QCustomPlot *chart(QWidget *parent)
{
    auto *plot = new QCustomPlot(parent);
    plot->addGraph();
    plot->graph(0)->setLineStyle(QCPGraph::lsLine);
    plot->graph(0)->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 6));
    plot->setMinimumHeight(140);
    return plot;
}

// To the minute, and sorting as text sorts it.
QString shownDate(const QDateTime &t)
{
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd hh:mm")) : QString();
}

void dateAxis(QCustomPlot *plot, bool dates)
{
    if (dates) {
        auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
        ticker->setDateTimeFormat(QStringLiteral("yyyy\nMM-dd"));
        ticker->setTickCount(3);
        plot->xAxis->setTicker(ticker);
    } else {
        plot->xAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
    }
}
} // namespace

BookWindow::BookWindow(const QString &bookFile, const QString &saveFolder, Dialogs &dialogs,
                       Background &background, std::function<void(const QString &)> open,
                       QWidget *parent)
    : QMdiSubWindow(parent), saveFolder_(QDir::cleanPath(QFileInfo(saveFolder).absoluteFilePath())),
      dialogs_(dialogs), open_(std::move(open)), book_(bookFile),
      indexer_(new BookIndexer(bookFile, background, this)), watcher_(new QFileSystemWatcher(this)),
      settle_(new QTimer(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    auto *body = new QWidget(this);
    folderList_ = new QComboBox(body);
    add_ = new QPushButton(body);
    remove_ = new QPushButton(body);
    rebuild_ = new QPushButton(body);
    bar_ = new QProgressBar(body);
    cancel_ = new QPushButton(body);
    state_ = new QLabel(body);
    packTable_ = table(body, QStringLiteral("packs"));
    runTable_ = table(body, QStringLiteral("runs"));
    skippedTable_ = table(body, QStringLiteral("skipped"));
    capacityAxis_ = new QComboBox(body);
    capacityChart_ = chart(body);
    dcirChart_ = chart(body);

    auto *top = new QHBoxLayout;
    top->addWidget(folderList_, 1);
    top->addWidget(add_);
    top->addWidget(remove_);
    top->addWidget(rebuild_);
    top->addWidget(bar_, 1);
    top->addWidget(cancel_);
    top->addWidget(state_, 1);
    auto *charts = new QWidget(body);
    auto *chartLayout = new QVBoxLayout(charts);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(capacityAxis_);
    chartLayout->addWidget(capacityChart_, 1);
    chartLayout->addWidget(dcirChart_, 1);
    auto *below = new QSplitter(Qt::Horizontal, body);
    tabs_ = new QTabWidget(below);
    tabs_->addTab(runTable_, QString());
    tabs_->addTab(skippedTable_, QString());
    below->addWidget(tabs_);
    below->addWidget(charts);
    below->setStretchFactor(0, 1);
    below->setStretchFactor(1, 1);
    auto *split = new QSplitter(Qt::Vertical, body);
    split->addWidget(packTable_);
    split->addWidget(below);
    auto *layout = new QVBoxLayout(body);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    setWidget(body);
    bar_->hide();
    cancel_->hide();

    connect(add_, &QPushButton::clicked, this, &BookWindow::addFolder);
    connect(remove_, &QPushButton::clicked, this, &BookWindow::removeFolder);
    // Every file read again; the user's choices stay.
    connect(rebuild_, &QPushButton::clicked, this, [this] {
        indexer_->cancel();
        book_.clear();
        fill();
        reindex();
    });
    connect(folderList_, &QComboBox::currentIndexChanged, this,
            [this] { remove_->setEnabled(folderList_->currentData().toString() != saveFolder_); });
    connect(cancel_, &QPushButton::clicked, indexer_, &BookIndexer::cancel);
    connect(indexer_, &BookIndexer::progress, this, [this](const Book::Progress &p) {
        bar_->setRange(0, int(p.total));
        bar_->setValue(int(p.done));
    });
    connect(indexer_, &BookIndexer::finished, this, [this] {
        bar_->hide();
        cancel_->hide();
        fill();
    });
    connect(packTable_, &QTableWidget::itemSelectionChanged, this, &BookWindow::showPack);
    connect(packTable_, &QWidget::customContextMenuRequested, this, &BookWindow::packMenu);
    connect(runTable_, &QWidget::customContextMenuRequested, this, &BookWindow::runMenu);
    connect(runTable_, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        if (const QTableWidgetItem *file = runTable_->item(row, 0))
            open_(file->data(Qt::UserRole + 1).toString());
    });
    connect(capacityAxis_, &QComboBox::currentIndexChanged, this, &BookWindow::showPack);
    settle_->setSingleShot(true);
    settle_->setInterval(SettleMs);
    connect(settle_, &QTimer::timeout, this, &BookWindow::reindex);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, settle_, qOverload<>(&QTimer::start));
    // Back to the book: runs saved meanwhile, in folders made meanwhile too.
    connect(this, &QMdiSubWindow::aboutToActivate, settle_, qOverload<>(&QTimer::start));

    book_.addFolder(saveFolder_);
    retranslate();
    fill();
    reindex();
}

BookWindow::~BookWindow() = default;

QStringList BookWindow::folders() const
{
    return book_.folders();
}

void BookWindow::reindex()
{
    const QStringList all = folders();
    if (!watcher_->directories().isEmpty())
        watcher_->removePaths(watcher_->directories());
    for (const QString &f : all)
        if (QFileInfo(f).isDir())
            watcher_->addPath(f);
    bar_->setRange(0, 0);
    bar_->show();
    cancel_->show();
    indexer_->start(all);
}

void BookWindow::changeEvent(QEvent *event)
{
    QMdiSubWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        fill();
    }
}

void BookWindow::retranslate()
{
    setWindowTitle(tr("Battery book"));
    add_->setText(tr("Add folder…"));
    remove_->setText(tr("Remove folder"));
    rebuild_->setText(tr("Rebuild"));
    cancel_->setText(tr("Cancel"));
    tabs_->setTabText(0, tr("Runs"));
    tabs_->setTabText(1, tr("Skipped files"));
    const int axis = std::max(0, capacityAxis_->currentIndex());
    const QSignalBlocker quiet(capacityAxis_);
    capacityAxis_->clear();
    capacityAxis_->addItems(
        { tr("Capacity per discharge over date"), tr("Capacity per discharge over cycles") });
    capacityAxis_->setCurrentIndex(axis);
}

void BookWindow::fill()
{
    runs_ = book_.runs(folders());
    packs_ = book_.packs(runs_, QDateTime::currentDateTime());
    const QString shown = shownPack_;

    const QSignalBlocker quiet(folderList_);
    folderList_->clear();
    for (const QString &f : folders())
        folderList_->addItem(QDir::toNativeSeparators(f), f);
    remove_->setEnabled(folderList_->currentData().toString() != saveFolder_);

    const QStringList packHeader
        = { tr("Pack"),        tr("Runs"),           tr("Cycles"),          tr("First use"),
            tr("Last use"),    tr("Capacity (mAh)"), tr("Of the best (%)"), tr("DCIR (mΩ)"),
            tr("Method"),      tr("Spread (V)"),     tr("Warning"),         tr("DCIR trend (mΩ)"),
            tr("Rated (mAh)"), tr("Cells") };
    std::vector<QStringList> rows = BookTable::packRows(packs_);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const PackFigures &p = packs_[i];
        rows[i][3] = shownDate(p.first);
        rows[i][4] = shownDate(p.last);
        if (p.dcir)
            rows[i][8] = p.dcir->resistance->label(p.ratedMah);
        rows[i] << (p.dcirTrend ? QString::number(*p.dcirTrend, 'f', 0) : QString())
                << (p.ratedMah ? QString::number(*p.ratedMah, 'f', 0) : QString())
                << (p.cells ? QString::number(p.cells) : QString());
    }
    const QSignalBlocker quietPacks(packTable_);
    fillTable(packTable_, packHeader, rows);
    for (int r = 0; r < packTable_->rowCount(); ++r) {
        const int i = int(std::find_if(rows.begin(), rows.end(),
                                       [&](const QStringList &row) {
                                           return row[0] == packTable_->item(r, 0)->text();
                                       })
                          - rows.begin());
        packTable_->item(r, 0)->setData(Qt::UserRole + 1, packKey(packs_[i].name));
        if (packs_[i].storedFull)
            for (int c = 0; c < packTable_->columnCount(); ++c) {
                packTable_->item(r, c)->setBackground(QColor(255, 200, 120));
                packTable_->item(r, c)->setToolTip(packs_[i].warning());
            }
        if (packKey(packs_[i].name) == shown)
            packTable_->selectRow(r);
    }

    std::vector<QStringList> skipped;
    int read = 0;
    for (const RunFigures &f : runs_)
        if (!f.skipped.isEmpty())
            skipped.push_back({ QDir::toNativeSeparators(f.path), f.skipped });
        else
            ++read;
    fillTable(skippedTable_, { tr("File"), tr("Why it was skipped") }, skipped);
    state_->setText(tr("%1 runs, %2 files skipped").arg(read).arg(skipped.size()));
    shownPack_ = shown;
    showPack();
}

const PackFigures *BookWindow::selectedPack() const
{
    const auto rows = packTable_->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return nullptr;
    const QString key = packTable_->item(rows.first().row(), 0)->data(Qt::UserRole + 1).toString();
    for (const PackFigures &p : packs_)
        if (packKey(p.name) == key)
            return &p;
    return nullptr;
}

void BookWindow::showPack()
{
    const PackFigures *pack = selectedPack();
    shownPack_ = pack ? packKey(pack->name) : QString();
    std::vector<QStringList> rows;
    std::vector<QString> paths, dateNotes;
    if (pack) {
        PackFigures one = *pack;
        for (QStringList row : BookTable::runRows({ one })) {
            const auto *run = one.runs[rows.size()];
            row.removeFirst(); // the pack
            paths.push_back(row.takeFirst());
            if (const auto &r = run->resistance) {
                QStringList cells;
                for (const auto &c : r->cells)
                    cells << (c ? QString::number(*c, 'f', 0) : QStringLiteral("–"));
                row[15] = r->text(pack->ratedMah)
                    + (cells.isEmpty() ? QString() : tr("; cells %1 mΩ").arg(cells.join(u'/')));
            }
            row.removeAt(17); // the method, in the figure's text
            row.removeAt(16); // the ±, in the figure's text
            row << QFileInfo(paths.back()).fileName();
            const char *kinds[] = { QT_TR_NOOP("idle"), QT_TR_NOOP("charge"),
                                    QT_TR_NOOP("discharge"), QT_TR_NOOP("both") };
            row[0] = shownDate(run->date);
            row[1] = tr(kinds[int(run->kind)]);
            if (run->dateFromFile)
                row[0] += tr(" (file time)");
            rows.push_back(row);
        }
    }
    fillTable(runTable_,
              { tr("Date"), tr("Kind"), tr("Chemistry"), tr("Cells"), tr("Duration (s)"),
                tr("Charged (mAh)"), tr("Discharged (mAh)"), tr("Charged (Wh)"),
                tr("Discharged (Wh)"), tr("Peak (A)"), tr("Ext max (℃)"), tr("Int max (℃)"),
                tr("V start"), tr("V end"), tr("End-of-charge spread (V)"), tr("Resistance"),
                tr("File") },
              rows);
    runTable_->setSortingEnabled(false);
    for (int r = 0; r < runTable_->rowCount(); ++r)
        runTable_->item(r, 0)->setData(Qt::UserRole + 1, paths[std::size_t(r)]);
    runTable_->setSortingEnabled(true);
    if (pack)
        drawCharts(*pack);
    else
        for (QCustomPlot *plot : { capacityChart_, dcirChart_ }) {
            plot->graph(0)->data()->clear();
            plot->replot();
        }
}

void BookWindow::drawCharts(const PackFigures &pack)
{
    const bool byCycle = capacityAxis_->currentIndex() == 1;
    QVector<double> cx, cy, dx, dy;
    double cycles = 0;
    const double full = pack.ratedMah.value_or(0);
    double largest = 0;
    for (const RunFigures *r : pack.runs)
        largest = std::max(largest, r->dischargedMah);
    for (const RunFigures *r : pack.runs) {
        const double t = r->date.toMSecsSinceEpoch() / 1000.0;
        cycles += (full > 0          ? r->dischargedMah / full
                       : largest > 0 ? r->dischargedMah / largest
                                     : 0);
        if (r->kind == RunSummary::Kind::Discharge || r->kind == RunSummary::Kind::Both) {
            cx << (byCycle ? cycles : t);
            cy << r->dischargedMah;
        }
        if (r->resistance) {
            dx << t;
            dy << r->resistance->milliohm;
        }
    }
    dateAxis(capacityChart_, !byCycle);
    dateAxis(dcirChart_, true);
    capacityChart_->xAxis->setLabel(byCycle ? tr("Equivalent full cycles") : tr("Date"));
    capacityChart_->yAxis->setLabel(tr("Discharged (mAh)"));
    dcirChart_->xAxis->setLabel(tr("Date"));
    dcirChart_->yAxis->setLabel(tr("DCIR (mΩ)"));
    capacityChart_->graph(0)->setData(cx, cy);
    dcirChart_->graph(0)->setData(dx, dy);
    for (QCustomPlot *plot : { capacityChart_, dcirChart_ }) {
        plot->rescaleAxes();
        plot->xAxis->scaleRange(1.1);
        plot->yAxis->scaleRange(1.2);
        plot->replot();
    }
}

void BookWindow::addFolder()
{
    const QString folder = dialogs_.folder(saveFolder_);
    if (folder.isEmpty())
        return;
    book_.addFolder(folder);
    fill();
    reindex();
}

void BookWindow::removeFolder()
{
    const QString folder = folderList_->currentData().toString();
    if (folder.isEmpty() || folder == saveFolder_)
        return;
    book_.removeFolder(folder);
    fill();
    reindex();
}

void BookWindow::packMenu(const QPoint &at)
{
    const PackFigures *pack = selectedPack();
    if (!pack)
        return;
    const QString name = pack->name;
    QMenu menu(this);
    const QAction *rename = menu.addAction(tr("Rename or merge…"));
    const QAction *spec = menu.addAction(tr("Rated capacity and cells…"));
    const QAction *chosen = menu.exec(packTable_->viewport()->mapToGlobal(at));
    if (chosen == rename) {
        const auto to
            = dialogs_.input(tr("The pack's new name (the name of another pack merges the two):"),
                             tr("Battery book"), name, RunFile::TitleSize);
        if (to && !to->trimmed().isEmpty())
            book_.renamePack(name, *to);
    } else if (chosen == spec) {
        const auto mAh
            = dialogs_.input(tr("Rated capacity (mAh), empty if not known:"), tr("Battery book"),
                             pack->ratedMah ? QString::number(*pack->ratedMah) : "", 10);
        if (!mAh)
            return;
        const auto cells
            = dialogs_.input(tr("Cells in series, empty if not known:"), tr("Battery book"),
                             pack->cells ? QString::number(pack->cells) : "", 3);
        if (!cells)
            return;
        bool ok = false;
        const double rated = mAh->toDouble(&ok);
        book_.setPackSpec(name, ok && rated > 0 ? std::optional(rated) : std::nullopt,
                          std::max(0, cells->toInt()));
    }
    fill();
}

void BookWindow::runMenu(const QPoint &at)
{
    const auto rows = runTable_->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    QMenu menu(this);
    const QAction *move = menu.addAction(tr("Move to pack…"));
    if (menu.exec(runTable_->viewport()->mapToGlobal(at)) != move)
        return;
    const auto to = dialogs_.input(tr("The pack these runs belong to:"), tr("Battery book"),
                                   QString(), RunFile::TitleSize);
    if (!to || to->trimmed().isEmpty())
        return;
    for (const QModelIndex &row : rows)
        book_.moveRun(runTable_->item(row.row(), 0)->data(Qt::UserRole + 1).toString(), *to);
    fill();
}
