#pragma once

#include "compare/compare_file.h"
#include "compare/curves.h"
#include "platform/command_target.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>

#include <map>
#include <memory>
#include <optional>
#include <vector>

class CompareChart;
struct CompareChoice;
class DocumentHost;
class QComboBox;
class QKeyEvent;
class QProgressBar;
class QToolButton;
class Run;
class Tool;
class tee;

// The comparison of 2 to 8 runs in one chart: overlaid, aligned at their start, their change to
// constant voltage or their capacity, as differences from a reference run, or as incremental
// capacity. Live runs go on growing in it. The cross line reads every run at the cursor's x.
class CompareWindow final : public QMdiSubWindow, public CommandTarget {
    Q_OBJECT
public:
    // The quantities offered, as sample fields.
    static const QList<int> &quantities();

    explicit CompareWindow(DocumentHost &host, QWidget *parent = nullptr);
    ~CompareWindow() override;

    // The run a chart window shows, followed while it grows.
    void addWindow(tee &window);
    // A run of no window, followed while it grows.
    void addRun(const std::shared_ptr<Run> &run);
    // A run file, read off this thread; a file that cannot be read is named in a message.
    void addFile(const QString &file);
    // The runs the user chose.
    void add(const CompareChoice &choice);
    // The runs and settings of a saved comparison; false (after a message) when it is none.
    bool open(const QString &path);
    void apply(const CompareFile::Comparison &settings);
    CompareFile::Comparison settings() const;
    int runCount() const { return int(members_.size()); }
    // Every run is read.
    bool ready() const;

    // Save, Export, Copy and Print; false for other commands.
    bool CommandHandler(Tool &tool) override;
    CompareChart &chart() { return *chart_; }
    // The read-out for x = `key`, as the cross line shows it.
    QString readOut(double key) const;
    // The cross line at `at` of the chart, as the mouse moves it.
    void crossLineMoved(QPoint at);
    // Draws again from the runs as they are now.
    void redraw();

signals:
    // Every run named so far is read (or dropped).
    void loaded();

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Member;
    // A curve on the chart: whose, of what, and its points.
    struct Shown {
        int member = 0;
        int field = 0;
        Compare::Curve curve;
    };

    void add(std::unique_ptr<Member> member);
    void remove(const Member *member);
    void recorded(Member &member);
    void fillControls();
    void takeControls();
    // The texts of the current language.
    void nameThings();
    // How far the runs still being read are, while any is.
    void showReading();
    QString caption(int field) const;
    // A curve's run and quantity, and which run it is a difference from.
    QString caption(const Shown &curve) const;
    QString xCaption() const;
    bool timeAxis() const;
    // A run's number, description and date, and why it is not aligned as asked.
    QString legend(int member) const;

    void save();
    void exportCsv();
    void copyChart();
    void printChart();
    void switchMark(QPoint at);
    bool crossLineKey(const QKeyEvent &key);

    DocumentHost &host_;
    CompareChart *chart_;
    QComboBox *view_, *alignment_, *reference_;
    QToolButton *quantityButton_;
    QProgressBar *reading_;
    std::vector<std::unique_ptr<Member>> members_;
    CompareFile::Comparison settings_;
    QString file_; // the comparison file it was opened from or saved to
    std::vector<Shown> shown_;
    std::optional<double> mark_; // the x a Shift-click marked
    QPoint crossAt_; // where the cross line was shown last
    std::optional<qint64> panelSample_;
    // A redraw after live samples that cannot simply be appended, sparingly: the curves are
    // worked out anew.
    QTimer pending_;
    double redrawMs_ = 0; // what the last one cost
    bool filling_ = false;
};
