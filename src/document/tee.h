#pragma once

#include "document/imdi_document.h"
#include "document/run_summary.h"

#include <QMdiSubWindow>
#include <QPointer>

#include <memory>

class Chart;
class DocumentHost;
class RunJournal;
class SampleTable;
namespace RunFile {
class Saver;
}

// The chart window of one run: a chart of battery voltage, current, capacity and external
// temperature over the elapsed time, and a hidden table that keeps every accepted sample.
// Live while the charger link feeds it; then ended, opened from a file, or saved.
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
    // A row without a value where the chart needs one.
    QString procFailure() const override { return procFailure_; }
    void adoptJournal(std::unique_ptr<RunJournal> journal) override;
    void setSeriesShown(int series, bool shown) override;

    // Fed by the charger link: only then does the window refuse the user's close.
    bool isLive() const { return live_; }
    QString caption() const { return windowTitle(); }
    QString documentTitle() const { return title_; }
    bool fullScreen() const { return fullScreen_; }
    const SampleTable &table() const { return *table_; }
    const RunSummary &summary() const { return summary_; }
    Chart &chart() { return *chart_; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void prepare();
    void rescale();
    void onActivated();
    qint64 elapsedSeconds() const;
    void setCaption(const QString &caption) { setWindowTitle(caption); }
    QString channelToolCaption() const;
    void feedPanel(const ChannelReading &cell);
    // The run's figures as a line under the chart's title, unless the user switched it off.
    void showSummary();
    void switchSummary();
    void syncLamps();

    // Chart commands
    void describe();
    void save() { DBSave(); }
    void exportCsv();
    void copyChart();
    void printChart();

    // Mouse on the chart
    void crossLineMoved(QPoint at);
    bool crossLineChecked() const;
    std::optional<qsizetype> sampleUnder(QPoint at) const;
    // The differences from the reference sample to `sample`, or "" without a reference.
    QString twoPointText(std::optional<qsizetype> sample) const;
    void switchReference(QPoint at);
    void toggleFullScreen();
    // Brings the journal up to the table and the title; after a failure, tries again once
    // JournalRetryMs have passed.
    void keepJournal();

    DocumentHost &host_;
    CommandBar *bar_ = nullptr;
    Chart *chart_;
    SampleTable *table_;
    QString title_;
    QString procFailure_;
    RunSummary summary_; // fed live sample by sample; worked out at once for an opened run
    bool summaryShown_ = true;
    std::optional<qsizetype> reference_; // the sample a Shift-click marked on the chart
    // The sample the cross line last showed on the panel; none once live samples may have.
    std::optional<qsizetype> shownSample_;
    qint64 startMs_ = 0; // monotonic, aligned to the whole second of the time of day
    qint64 lastSeconds_ = 0;
    qint64 lastCapacity_ = 0;
    double lastOpenedTime_ = 0; // of day, of the last row replayed from a file
    int openedDays_ = 0; // midnights the replayed rows have passed
    bool live_ = false;
    bool fullScreen_ = false;
    std::unique_ptr<RunJournal> journal_;
    qint64 journalled_ = 0; // the table's rows that are in the journal
    std::optional<qint64> journalFailedMs_; // monotonic, since the journal cannot be written
    QPointer<RunFile::Saver> saving_;
};
