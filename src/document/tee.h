#pragma once

#include "document/imdi_document.h"
#include "document/tag_scan.h"

#include <QMdiSubWindow>
#include <QPointer>

#include <memory>

class Chart;
class DocumentHost;
class Run;
struct SampleBatch;
class RunJournal;
namespace RunFile {
class Saver;
}

// The chart window of one run: a chart of its battery voltage, current, capacity and external
// temperature over the elapsed time, its title, figures and commands. The run is its own
// (opened from a file) until the window is given a live one to show.
// NOLINTNEXTLINE(readability-identifier-naming): the form keeps its name, "tee"
class tee final : public QMdiSubWindow, public IMDIDocument {
    Q_OBJECT
public:
    explicit tee(DocumentHost &host, QWidget *parent = nullptr);
    ~tee() override;

    bool CommandHandler(Tool &tool) override;
    bool InitDoc(CommandBar *ab, const QString &sFile, bool bNew) override;
    bool Proc(ChannelReading &cell, bool isOpen) override;
    bool DBSave() override;
    bool ChartTitle(const QString &Str) override;
    bool deCaption() override;
    bool show() override;
    qint64 RtnGridRows() override;
    bool active() override;
    bool reset() override;
    bool RePaint(bool flag) override;
    QMdiSubWindow *window() override { return this; }
    void adoptJournal(std::unique_ptr<RunJournal> journal) override;
    void keepSafe(const JournalPlace &journals) override;
    void setSeriesShown(int series, bool shown) override;
    void showRun(const std::shared_ptr<Run> &run) override;

    const Run &run() const { return *run_; }
    const std::shared_ptr<Run> &sharedRun() const { return run_; }
    // The run file the run was opened from or last saved to; "" while it has none.
    QString file() const;
    // Fed by the charger or a watched station.
    bool isLive() const;
    QString caption() const { return windowTitle(); }
    bool fullScreen() const { return fullScreen_; }
    Chart &chart() { return *chart_; }

protected:
    void closeEvent(QCloseEvent *event) override;
    // The run's figures in the new language.
    void changeEvent(QEvent *event) override;
    // A pack's label scanned while nothing else takes the keys.
    void keyPressEvent(QKeyEvent *event) override;
    // The chart's keys: the cross line, and leaving the full screen.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void prepare();
    // Follows `run`, whose messages the window passes on when `own`.
    void follow(std::shared_ptr<Run> run, bool own);
    void draw(const ChannelReading &sample, double days);
    void drawRows(const SampleBatch &rows);
    void ended();
    void rescale();
    void onActivated();
    void setCaption(const QString &caption) { setWindowTitle(caption); }
    // The run's figures as a line under the chart's title, unless the user switched it off.
    void showSummary();
    void switchSummary();
    void syncLamps();

    // Chart commands
    void describe();
    void tagWithPack(const QString &id);
    void save() { DBSave(); }
    void exportCsv();
    void copyChart();
    void printChart();

    // Mouse on the chart
    void crossLineMoved(QPoint at);
    std::optional<qsizetype> sampleUnder(QPoint at) const;
    // The differences from the reference sample to `sample`, or "" without a reference.
    QString twoPointText(std::optional<qsizetype> sample) const;
    // The cross line at `at` reads `sample` onto the panel, and tells a screen reader.
    void readSample(QPoint at, std::optional<qsizetype> sample);
    void switchReference(QPoint at);
    void markSample(std::optional<qsizetype> sample, QPoint at);
    // Left, Right (Shift: ten samples), Home, End and Space on the chart, as the mouse reads.
    bool crossLineKey(const QKeyEvent &event);
    bool leaveByTab(bool forward);
    void toggleFullScreen();

    DocumentHost &host_;
    CommandBar *bar_ = nullptr;
    Chart *chart_;
    std::shared_ptr<Run> run_;
    bool summaryShown_ = true;
    std::optional<qsizetype> reference_; // the sample a Shift-click marked on the chart
    // The sample the cross line last showed on the panel; none once live samples may have.
    std::optional<qsizetype> shownSample_;
    bool fullScreen_ = false;
    QPointer<RunFile::Saver> saving_;
    QString savedTo_;
    TagScan scan_;
};
