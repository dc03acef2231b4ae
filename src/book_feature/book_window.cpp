#include "book_feature/book_window.h"

#include "book/book_indexer.h"
#include "book/book_model.h"
#include "book_feature/pack_details_dialog.h"
#include "platform/clipboard.h"
#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "platform/core/whole_file.h"
#include "platform/dialogs.h"
#include "platform/trend_chart.h"
#include "report/pack_trends.h"
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
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

namespace {
// A folder's changes are read once they have settled for this long.
constexpr int SettleMs = 1000;

// Packs that need care stand out, with their warnings as their tooltip.
class PackModel final : public BookModel<PackFigures> {
public:
    using BookModel::BookModel;
    QVariant data(const QModelIndex &index, int role) const override
    {
        const PackFigures &p = row(index.row());
        if (!p.warnings.empty() && role == Qt::BackgroundRole)
            return QColor(255, 200, 120);
        // Dark on the light orange whatever the desktop's text colour.
        if (!p.warnings.empty() && role == Qt::ForegroundRole)
            return QColor(Qt::black);
        if (!p.warnings.empty() && role == Qt::ToolTipRole)
            return p.warning();
        return BookModel::data(index, role);
    }
};

template <class Row> QTableView *table(QWidget *parent, const QString &name, BookModel<Row> *model)
{
    auto *t = new QTableView(parent);
    t->setObjectName(name);
    t->setModel(model);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::ExtendedSelection);
    t->setContextMenuPolicy(Qt::CustomContextMenu);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setStretchLastSection(true);
    // In the book's order until a caption is clicked.
    t->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    t->setSortingEnabled(true);
    return t;
}

} // namespace

BookWindow::BookWindow(const QString &bookFile, const QString &saveFolder, Dialogs &dialogs,
                       Clipboard &clipboard, Background &background,
                       std::function<void(const QString &)> open, QWidget *parent)
    : QMdiSubWindow(parent), saveFolder_(QDir::cleanPath(QFileInfo(saveFolder).absoluteFilePath())),
      dialogs_(dialogs), clipboard_(clipboard), open_(std::move(open)), book_(bookFile),
      indexer_(new BookIndexer(bookFile, background, this)), watcher_(new QFileSystemWatcher(this)),
      settle_(new QTimer(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    auto *body = new QWidget(this);
    folderList_ = new QComboBox(body);
    add_ = new QPushButton(body);
    remove_ = new QPushButton(body);
    rebuild_ = new QPushButton(body);
    limits_ = new QPushButton(body);
    bar_ = new QProgressBar(body);
    cancel_ = new QPushButton(body);
    state_ = new QLabel(body);
    packModel_ = new PackModel(BookTable::packColumns(), this);
    runModel_ = new BookModel<BookTable::RunRow>(BookTable::runColumns(), this);
    skippedModel_ = new BookModel<BookTable::RunRow>(BookTable::skippedColumns(), this);
    packTable_ = table(body, QStringLiteral("packs"), packModel_);
    runTable_ = table(body, QStringLiteral("runs"), runModel_);
    skippedTable_ = table(body, QStringLiteral("skipped"), skippedModel_);
    capacityAxis_ = new QComboBox(body);
    capacityChart_ = new TrendChart(body);
    dcirChart_ = new TrendChart(body);
    cellChart_ = new TrendChart(body);
    chargeFigure_ = new QComboBox(body);
    chargeChart_ = new TrendChart(body);

    auto *top = new QHBoxLayout;
    top->addWidget(folderList_, 1);
    top->addWidget(add_);
    top->addWidget(remove_);
    top->addWidget(rebuild_);
    top->addWidget(limits_);
    top->addWidget(bar_, 1);
    top->addWidget(cancel_);
    top->addWidget(state_, 1);
    auto *charts = new QWidget(body);
    auto *chartLayout = new QVBoxLayout(charts);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(capacityAxis_);
    chartLayout->addWidget(capacityChart_, 1);
    chartLayout->addWidget(dcirChart_, 1);
    chartLayout->addWidget(cellChart_, 1);
    chartLayout->addWidget(chargeFigure_);
    chartLayout->addWidget(chargeChart_, 1);
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
    connect(limits_, &QPushButton::clicked, this, &BookWindow::editLimits);
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
    connect(packTable_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &BookWindow::showPack);
    connect(packTable_, &QWidget::customContextMenuRequested, this, &BookWindow::packMenu);
    connect(runTable_, &QWidget::customContextMenuRequested, this, &BookWindow::runMenu);
    connect(skippedTable_, &QWidget::customContextMenuRequested, this, &BookWindow::skippedMenu);
    connect(runTable_, &QTableView::doubleClicked, this,
            [this](const QModelIndex &at) { open_(runModel_->row(at.row()).run->path); });
    connect(capacityAxis_, &QComboBox::currentIndexChanged, this, &BookWindow::showPack);
    connect(chargeFigure_, &QComboBox::currentIndexChanged, this, &BookWindow::showPack);
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
    limits_->setText(tr("Limits…"));
    cancel_->setText(tr("Cancel"));
    tabs_->setTabText(0, tr("Runs"));
    tabs_->setTabText(1, tr("Skipped files"));
    packTable_->setAccessibleName(tr("Packs"));
    runTable_->setAccessibleName(tr("Runs"));
    skippedTable_->setAccessibleName(tr("Skipped files"));
    const int axis = std::max(0, capacityAxis_->currentIndex());
    const QSignalBlocker quiet(capacityAxis_);
    capacityAxis_->clear();
    capacityAxis_->addItems(
        { tr("Capacity per discharge over date"), tr("Capacity per discharge over cycles") });
    capacityAxis_->setCurrentIndex(axis);
    const int figure = std::max(0, chargeFigure_->currentIndex());
    const QSignalBlocker still(chargeFigure_);
    chargeFigure_->clear();
    chargeFigure_->addItems({ tr("Charges: constant-voltage share and taper"),
                              tr("Charges: dQ/dV peak, voltage and height") });
    chargeFigure_->setCurrentIndex(figure);
}

void BookWindow::fill()
{
    // Their rows point into the runs replaced here.
    for (auto *model : { runModel_, skippedModel_ })
        model->setRows({});
    runs_ = book_.runs(folders());
    book_.identify(runs_);
    packs_ = book_.packs(runs_, QDateTime::currentDateTime());
    const QString shown = shownPack_;

    const QSignalBlocker quiet(folderList_);
    folderList_->clear();
    for (const QString &f : folders())
        folderList_->addItem(QDir::toNativeSeparators(f), f);
    remove_->setEnabled(folderList_->currentData().toString() != saveFolder_);

    const QSignalBlocker quietPacks(packTable_->selectionModel());
    packModel_->setRows(packs_);
    packTable_->resizeColumnsToContents();
    for (int r = 0; r < packModel_->rowCount(); ++r)
        if (packKey(packModel_->row(r).name) == shown)
            packTable_->selectRow(r);

    std::vector<BookTable::RunRow> skipped;
    for (const RunFigures &f : runs_)
        if (!f.skipped.isEmpty())
            skipped.push_back({ nullptr, &f });
    skippedModel_->setRows(skipped);
    skippedTable_->resizeColumnsToContents();
    state_->setText(
        tr("%1 runs, %2 files skipped").arg(runs_.size() - skipped.size()).arg(skipped.size()));
    shownPack_ = shown;
    showPack();
}

const PackFigures *BookWindow::selectedPack() const
{
    const auto rows = packTable_->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return nullptr;
    const QString key = packKey(packModel_->row(rows.first().row()).name);
    for (const PackFigures &p : packs_)
        if (packKey(p.name) == key)
            return &p;
    return nullptr;
}

void BookWindow::showPack()
{
    const PackFigures *pack = selectedPack();
    shownPack_ = pack ? packKey(pack->name) : QString();
    std::vector<BookTable::RunRow> rows;
    if (pack)
        for (const RunFigures *run : pack->runs)
            rows.push_back({ pack, run });
    runModel_->setRows(rows);
    runTable_->resizeColumnsToContents();
    drawCharts(pack);
}

void BookWindow::drawCharts(const PackFigures *pack)
{
    // Both figures over date, or over the cycles the book counts by each run's end; over
    // cycles with their forecasts.
    const std::vector<double> runX
        = drawPackTrends(*capacityChart_, *dcirChart_, pack, capacityAxis_->currentIndex() == 1);
    const QString plan = pack ? pack->dcirPlan() : QString();
    dcirChart_->setToolTip(plan.isEmpty() ? QString() : tr("For ± 10 %: %1").arg(plan));
    drawCells(pack);
    drawChargeCurve(pack, runX);
}

void BookWindow::drawChargeCurve(const PackFigures *pack, const std::vector<double> &x)
{
    const bool peaks = chargeFigure_->currentIndex() == 1;
    std::vector<TrendChart::Line> lines(2);
    lines[0] = { {}, {}, 0, peaks ? tr("Peak (V)") : tr("CV share (%)") };
    lines[1] = { {}, {}, 1, peaks ? tr("Height (mAh/V)") : tr("Taper (min)"), false, true };
    for (std::size_t i = 0; i < x.size(); ++i) { // runs under no name: none by cycles
        const RunFigures &r = *pack->runs[i];
        const auto add = [&](TrendChart::Line &line, std::optional<double> v, double scale) {
            if (v && r.kind == RunSummary::Kind::Charge) {
                line.x << x[i];
                line.y << *v * scale;
            }
        };
        add(lines[0], peaks ? r.icaPeakVolts : r.cvShare, peaks ? 1 : 100);
        add(lines[1], peaks ? r.icaPeakHeight : r.taperSeconds, peaks ? 1 : 1 / 60.0);
    }
    std::erase_if(lines, [](const TrendChart::Line &l) { return l.x.isEmpty(); });
    const bool byCycle = capacityAxis_->currentIndex() == 1;
    chargeChart_->setLabels(byCycle ? tr("Equivalent full cycles") : tr("Date"),
                            peaks ? tr("dQ/dV peak (V)") : tr("CV share (%)"), !byCycle);
    chargeChart_->setRightLabel(peaks ? tr("dQ/dV peak (mAh/V)") : tr("Taper (min)"));
    chargeChart_->setLines(lines, 2);
}

void BookWindow::drawCells(const PackFigures *pack)
{
    // Each cell at the end of every charge, solid, and of every discharge, dashed.
    std::vector<TrendChart::Line> lines;
    const int cells = pack ? pack->cells : 0;
    for (const bool charged : { true, false })
        for (int c = 0; c < cells; ++c) {
            TrendChart::Line line {
                {}, {}, c, charged ? QStringLiteral("C%1").arg(c + 1) : QString(), !charged
            };
            for (const RunFigures *r : pack->runs)
                if (const auto &v = charged ? r->chargedCells : r->dischargedCells;
                    std::size_t(c) < v.size()) {
                    line.x << r->date.toMSecsSinceEpoch() / 1000.0;
                    line.y << v[std::size_t(c)];
                }
            if (!line.x.isEmpty())
                lines.push_back(line);
        }
    cellChart_->setLabels(tr("Date"), tr("Cells at the end (V)"), true);
    cellChart_->setLines(lines, cells);
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

void BookWindow::editLimits()
{
    const HealthLimits was = book_.limits();
    const auto written = [](std::optional<double> v, double scale) {
        return v ? QString::number(*v * scale) : QString();
    };
    const auto typed = dialogs_.form(
        tr("Limits"),
        { tr("A pack is worn at this share of its first capacity (%, 50 to 95):"),
          tr("or once its resistance reaches (mΩ, empty: twice its first):"),
          tr("Warn of cells this far apart at the end of a charge (mV, empty: never):") },
        { written(was.capacityShare, 100), written(was.resistanceMohm, 1),
          written(was.spreadVolts, 1000) },
        10);
    if (!typed)
        return;
    // Empty means none (the share has no none); anything else must be a number in its range,
    // or nothing changes.
    bool ok = true;
    const auto read = [&](int field, double low, double high) -> std::optional<double> {
        const QString text = typed->value(field).trimmed();
        bool number = text.isEmpty();
        const double v = number ? 0 : text.toDouble(&number);
        ok = ok && number && (text.isEmpty() || (v >= low && v <= high));
        return text.isEmpty() ? std::nullopt : std::optional(v);
    };
    const std::optional<double> share = read(0, 50, 95);
    HealthLimits limits { share.value_or(0) / 100, read(1, 0.1, 100000), read(2, 1, 5000) };
    if (!ok || !share) {
        dialogs_.message(tr("The share is a number from 50 to 95, the resistance a number of mΩ "
                            "and the spread one of mV, or empty: \"%1\" are not all such. "
                            "Nothing was changed.")
                             .arg(typed->join(QStringLiteral("\", \""))),
                         tr("Battery book"), Dialogs::Icon::Critical);
        return;
    }
    if (limits.spreadVolts)
        *limits.spreadVolts /= 1000;
    book_.setLimits(limits);
    fill();
}

void BookWindow::packMenu(const QPoint &at)
{
    const PackFigures *pack = selectedPack();
    QMenu menu(this);
    const QAction *rename = pack ? menu.addAction(tr("Rename or merge…")) : nullptr;
    const QAction *spec = pack ? menu.addAction(tr("Rated capacity and cells…")) : nullptr;
    addPackActions(menu, pack);
    const QAction *chosen = menu.exec(packTable_->viewport()->mapToGlobal(at));
    if (!pack || !chosen || (chosen != rename && chosen != spec))
        return;
    const QString name = pack->name;
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
        // Empty means not known; anything else must be a number, or nothing changes.
        bool ratedOk = mAh->trimmed().isEmpty(), cellsOk = cells->trimmed().isEmpty();
        const double rated = ratedOk ? 0 : mAh->trimmed().toDouble(&ratedOk);
        const int count = cellsOk ? 0 : cells->trimmed().toInt(&cellsOk);
        if (!ratedOk || rated < 0 || !cellsOk || count < 0 || count > 12) {
            dialogs_.message(tr("The rated capacity is a number of mAh and the cells a number "
                                "from 1 to 12, or empty if not known: \"%1\", \"%2\" are not. "
                                "Nothing was changed.")
                                 .arg(*mAh, *cells),
                             tr("Battery book"), Dialogs::Icon::Critical);
            return;
        }
        book_.setPackSpec(name, rated > 0 ? std::optional(rated) : std::nullopt, count);
    }
    fill();
}

void BookWindow::runMenu(const QPoint &at)
{
    const auto rows = runTable_->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    QMenu menu(this);
    QStringList paths;
    for (const QModelIndex &row : rows)
        paths << runModel_->row(row.row()).run->path;
    const QAction *move = menu.addAction(tr("Move to pack…"));
    addRunActions(menu, paths);
    if (menu.exec(runTable_->viewport()->mapToGlobal(at)) != move)
        return;
    // The other packs offered, the name of a new one typed.
    QStringList others;
    for (const PackFigures &p : packs_)
        if (!p.name.isEmpty() && packKey(p.name) != shownPack_)
            others << p.name;
    const auto to = dialogs_.choose(tr("The pack these runs belong to:"), tr("Battery book"),
                                    others, RunFile::TitleSize);
    if (!to || to->trimmed().isEmpty())
        return;
    for (const QModelIndex &row : rows)
        book_.moveRun(runModel_->row(row.row()).run->path, *to);
    fill();
}

void BookWindow::addPackActions(QMenu &menu, const PackFigures *pack)
{
    menu.addSeparator();
    if (pack && !pack->id.isEmpty()) {
        const PackFigures &p = *pack;
        connect(menu.addAction(tr("Pack details…")), &QAction::triggered, this, [this, id = p.id] {
            for (const PackDetails &d : book_.packDetails())
                if (d.id == id)
                    editDetails(d);
        });
        if (p.untagged())
            connect(menu.addAction(tr("Write #%1 into its runs' descriptions").arg(p.id)),
                    &QAction::triggered, this, [this, &p] { tagRuns(p); });
    }
    connect(menu.addAction(tr("New pack…")), &QAction::triggered, this,
            [this] { editDetails({}); });
    connect(menu.addAction(tr("Copy")), &QAction::triggered, this,
            [this] { copyRows(packTable_); });
    connect(menu.addAction(tr("Export CSV…")), &QAction::triggered, this,
            [this] { exportRows(packTable_); });
}

void BookWindow::addRunActions(QMenu &menu, const QStringList &paths)
{
    menu.addSeparator();
    connect(menu.addAction(tr("Copy")), &QAction::triggered, this, [this] { copyRows(runTable_); });
    connect(menu.addAction(tr("Export CSV…")), &QAction::triggered, this,
            [this] { exportRows(runTable_); });
    connect(menu.addAction(tr("Leave out of the pack's figures")), &QAction::triggered, this,
            [this, paths] {
                for (const QString &path : paths)
                    book_.excludeRun(path, true);
                fill();
            });
    connect(menu.addAction(tr("Correct the date…")), &QAction::triggered, this, [this, paths] {
        const BookTable::RunRow &first
            = runModel_->row(runTable_->selectionModel()->selectedRows()[0].row());
        const auto typed = dialogs_.input(
            tr("The run's start (yyyy-MM-dd hh:mm), empty for the date it has of itself:"),
            tr("Battery book"), first.run->date.toString(QStringLiteral("yyyy-MM-dd hh:mm")), 19);
        if (!typed)
            return;
        const QDateTime date = QDateTime::fromString(typed->trimmed(), Qt::ISODate);
        if (!typed->trimmed().isEmpty() && !date.isValid()) {
            dialogs_.message(tr("%1 is no date and time such as 2026-05-01 10:00.").arg(*typed),
                             tr("Battery book"), Dialogs::Icon::Critical);
            return;
        }
        for (const QString &path : paths)
            book_.correctDate(path, date);
        fill();
    });
}

void BookWindow::skippedMenu(const QPoint &at)
{
    QMenu menu(this);
    const QAction *again = menu.addAction(tr("Count in its pack's figures again"));
    if (menu.exec(skippedTable_->viewport()->mapToGlobal(at)) != again)
        return;
    for (const QModelIndex &row : skippedTable_->selectionModel()->selectedRows())
        book_.excludeRun(skippedModel_->row(row.row()).run->path, false);
    fill();
}

void BookWindow::editDetails(const PackDetails &details)
{
    auto *dialog = new PackDetailsDialog(details, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        if (book_.setDetails(dialog->details()).isEmpty())
            dialogs_.message(tr("Another pack is named %1: Rename or merge joins the two.")
                                 .arg(dialog->details().name),
                             tr("Battery book"), Dialogs::Icon::Critical);
        fill();
    });
    dialog->open();
}

void BookWindow::tagRuns(const PackFigures &pack)
{
    const QStringList failed = book_.tagRuns(pack);
    fill();
    if (!failed.isEmpty())
        dialogs_.message(tr("These descriptions were left as they were:") + u'\n'
                             + failed.join(u'\n'),
                         tr("Battery book"), Dialogs::Icon::Critical);
}

bool BookWindow::CommandHandler(Tool &tool)
{
    const bool copy = tool.name() == ToolName::Copy;
    if (!copy && tool.name() != ToolName::Export)
        return false;
    const QTableView *view = runTable_->hasFocus() ? runTable_ : packTable_;
    copy ? copyRows(view) : exportRows(view);
    return true;
}

void BookWindow::copyRows(const QTableView *view)
{
    QList<int> rows;
    for (const QModelIndex &row : view->selectionModel()->selectedRows())
        rows << row.row();
    std::sort(rows.begin(), rows.end());
    QString text;
    if (view == packTable_) {
        std::vector<PackFigures> picked;
        for (const int r : rows)
            picked.push_back(packModel_->row(r));
        text = BookTable::tabbed(BookTable::packColumns(), picked);
    } else {
        std::vector<BookTable::RunRow> picked;
        for (const int r : rows)
            picked.push_back(runModel_->row(r));
        text = BookTable::tabbed(BookTable::runColumns(), picked);
    }
    auto *data = new QMimeData;
    data->setText(text);
    clipboard_.setMimeData(data);
}

void BookWindow::exportRows(const QTableView *view)
{
    const QString path = dialogs_.exportFile(
        saveFolder_, QStringLiteral("CSV file(*.csv)|*.csv|All files(*.*)|*.*"),
        QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    const QByteArray csv
        = (view == packTable_ ? BookTable::text(BookTable::packColumns(), packModel_->rows(), true)
                              : BookTable::text(BookTable::runColumns(), runModel_->rows(), true))
              .toUtf8();
    if (const QString why = saveWhole(path, csv); !why.isEmpty())
        dialogs_.message(tr("The CSV file was not written to %1\r\n%2").arg(path, why),
                         tr("Battery book"), Dialogs::Icon::Critical);
}
