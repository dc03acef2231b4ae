#pragma once

#include "book/book.h"
#include "book/book_table.h"
#include "platform/command_target.h"

#include <QMdiSubWindow>
#include <functional>
#include <memory>

class Background;
class BookIndexer;
class Clipboard;
class Dialogs;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTableView;
class QTabWidget;
class QFileSystemWatcher;
class QTimer;
class TrendChart;
template <class Row> class BookModel;

// The battery book as a window of the chart area: the packs with their figures, the runs of
// the selected pack with its capacity and resistance over time, and the book's folders. The
// files are indexed on a thread of their own; a folder that changes is indexed again.
class BookWindow final : public QMdiSubWindow, public CommandTarget {
    Q_OBJECT
public:
    // `open` opens a run file as File > Open does.
    BookWindow(const QString &bookFile, const QString &saveFolder, Dialogs &dialogs,
               Clipboard &clipboard, Background &background,
               std::function<void(const QString &)> open, QWidget *parent = nullptr);
    ~BookWindow() override;

    // Reads the folders again (new, changed and removed files only).
    void reindex();
    const std::vector<PackFigures> &packs() const { return packs_; }
    // What the tables' menus do. The selected rows of `view` (a table of the window) as a
    // spreadsheet pastes them; all its rows as a CSV file.
    void copyRows(const QTableView *view);
    void exportRows(const QTableView *view);
    // Writes the pack's tag into its runs' descriptions.
    void tagRuns(const PackFigures &pack);
    // Copy and Export of the menus and tool bar: the runs' table when it has the focus, else
    // the packs'.
    bool CommandHandler(Tool &tool) override;

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void fill(); // the tables from the book, as it stands now
    void showPack();
    void drawCharts(const PackFigures *pack);
    void drawCells(const PackFigures *pack);
    // The charges' constant-voltage share and taper, or their dQ/dV peak, by `x` per run.
    void drawChargeCurve(const PackFigures *pack, const std::vector<double> &x);
    void addFolder();
    void removeFolder();
    // The user's limits, asked for and kept by the book.
    void editLimits();
    void packMenu(const QPoint &at);
    void runMenu(const QPoint &at);
    // The menus' actions for the pack's details, the runs' choices and the tables' ways out.
    void addPackActions(QMenu &menu, const PackFigures *pack);
    void addRunActions(QMenu &menu, const QStringList &paths);
    void skippedMenu(const QPoint &at);
    void editDetails(const PackDetails &details);
    const PackFigures *selectedPack() const;
    QStringList folders() const;

    QString saveFolder_;
    Dialogs &dialogs_;
    Clipboard &clipboard_;
    std::function<void(const QString &)> open_;
    Book book_;
    BookIndexer *indexer_;
    std::vector<RunFigures> runs_;
    std::vector<PackFigures> packs_;
    QString shownPack_; // key of the pack whose runs show

    QComboBox *folderList_;
    QPushButton *add_, *remove_, *rebuild_, *limits_, *cancel_;
    QProgressBar *bar_;
    QLabel *state_;
    BookModel<PackFigures> *packModel_;
    BookModel<BookTable::RunRow> *runModel_, *skippedModel_;
    QTableView *packTable_, *runTable_, *skippedTable_;
    QTabWidget *tabs_;
    QComboBox *capacityAxis_, *chargeFigure_;
    TrendChart *capacityChart_, *dcirChart_, *cellChart_, *chargeChart_;
    QFileSystemWatcher *watcher_;
    QTimer *settle_;
};
