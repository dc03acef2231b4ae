#include "compare_feature/compare_window.h"

#include "compare_feature/compare_chooser.h"
#include "document/cross_line.h"
#include "document/document_host.h"
#include "document/tee.h"
#include "platform/clipboard.h"
#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "platform/compare_chart.h"
#include "platform/core/folders.h"
#include "platform/core/whole_file.h"
#include "platform/cross_hair.h"
#include "platform/dialogs.h"
#include "platform/focus_ring.h"
#include "platform/printer.h"
#include "run/file_run.h"
#include "run/run.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

using Compare::Alignment;
using View = CompareFile::View;

namespace {
bool onLeft(int field)
{
    return field == Bat_volt || field >= C1;
}
} // namespace

// One run of the comparison and its fields as numbers, extended as a live run grows.
struct CompareWindow::Member {
    std::shared_ptr<Run> run;
    QPointer<tee> window; // the chart window it came from, whose file may come later
    QString file; // the run file it was read from
    std::unique_ptr<FileRun> reader; // while it is read
    qint64 rows = -1; // the rows its file holds, -1 while unknown
    QDate date;
    std::map<int, std::vector<double>> columns;
    std::vector<double> seconds;
    Compare::Axis drawn; // the x of its samples as last drawn
    std::optional<Alignment> drawnFor; // and the alignment it was drawn for
    // The pack's rated capacity, as the book had it for the description it was asked for.
    std::optional<double> rated;
    std::optional<QString> ratedFor;

    // Still being read: its rows are coming in and its elapsed times are not worked out yet.
    bool reading() const { return reader != nullptr; }
    // Its window's file, or the one it had when its window closed.
    QString path() const { return window ? window->file() : file; }
    const std::vector<double> &column(int field)
    {
        std::vector<double> &c = columns[field];
        const Samples &samples = run->samples();
        for (qint64 i = qint64(c.size()); i < samples.count(); ++i) {
            const auto n = samples.number(i, field);
            c.push_back(n ? n->toDouble() : std::nan(""));
        }
        return c;
    }
    const std::vector<double> &elapsed()
    {
        const RunSummary &s = run->summary();
        for (qsizetype i = qsizetype(seconds.size()); i < s.samples(); ++i)
            seconds.push_back(s.at(i).seconds);
        return seconds;
    }
    // `drawn` for the samples as they are now, unless it stands for them under `alignment`
    // already: adding a run or a quantity leaves the others' as they were.
    void align(Alignment alignment, const DocumentHost &host)
    {
        const bool ratedKnown = alignment != Alignment::Percent || ratedFor == run->title();
        if (!ratedKnown) {
            ratedFor = run->title();
            rated = host.ratedMah(*ratedFor);
        }
        const auto samples = size_t(run->samples().count());
        if (ratedKnown && drawnFor == alignment && drawn.x.size() == samples)
            return;
        elapsed();
        for (int field : { Bat_volt, Current, Cap })
            column(field);
        // Lent rather than copied: a day's columns are megabytes.
        Compare::RunColumns lent { std::move(seconds), std::move(columns[Bat_volt]),
                                   std::move(columns[Current]), std::move(columns[Cap]), rated };
        drawn = Compare::axis(lent, alignment);
        drawnFor = alignment;
        seconds = std::move(lent.seconds);
        columns[Bat_volt] = std::move(lent.volts);
        columns[Current] = std::move(lent.amps);
        columns[Cap] = std::move(lent.mah);
    }
};

const QList<int> &CompareWindow::quantities()
{
    static const QList<int> fields = [] {
        QList<int> f { Bat_volt, Current, Cap, Ext_temp };
        for (int c = C1; c <= C12; ++c)
            f << c;
        return f;
    }();
    return fields;
}

CompareWindow::CompareWindow(DocumentHost &host, QWidget *parent)
    : QMdiSubWindow(parent), host_(host), chart_(new CompareChart), view_(new QComboBox),
      alignment_(new QComboBox), reference_(new QComboBox), quantityButton_(new QToolButton),
      reading_(new QProgressBar)
{
    setAttribute(Qt::WA_DeleteOnClose);
    settings_.quantities = { Bat_volt };
    auto *body = new QWidget;
    auto *controls = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *> { view_, alignment_, reference_ })
        controls->addWidget(w);
    controls->addWidget(quantityButton_);
    controls->addWidget(reading_);
    controls->addStretch();
    reading_->hide();
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(controls);
    layout->addWidget(chart_, 1);
    setWidget(body);

    quantityButton_->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(quantityButton_);
    for (int field : quantities()) {
        QAction *a = menu->addAction(QString());
        a->setCheckable(true);
        a->setData(field);
        connect(a, &QAction::toggled, this, &CompareWindow::takeControls);
    }
    quantityButton_->setMenu(menu);
    for (QComboBox *box : { view_, alignment_, reference_ })
        connect(box, &QComboBox::currentIndexChanged, this, &CompareWindow::takeControls);
    nameThings();

    pending_.setSingleShot(true);
    connect(&pending_, &QTimer::timeout, this, &CompareWindow::redraw);
    // The keys reach the chart, where a frame shows they do.
    chart_->setFocusPolicy(Qt::StrongFocus);
    chart_->installEventFilter(this);
    new FocusRing(chart_);
    connect(chart_, &CompareChart::moved, this, &CompareWindow::crossLineMoved);
    connect(chart_, &CompareChart::pressed, this,
            [this] { host_.viewState().crossLineHeld = true; });
    connect(chart_, &CompareChart::released, this, [this] {
        host_.viewState().crossLineHeld = false;
        panelSample_.reset();
    });
    connect(chart_, &CompareChart::shiftPressed, this, &CompareWindow::switchMark);
}

CompareWindow::~CompareWindow() = default;

void CompareWindow::changeEvent(QEvent *event)
{
    QMdiSubWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        nameThings();
        redraw();
    }
}

void CompareWindow::nameThings()
{
    if (file_.isEmpty())
        setWindowTitle(tr("Compare"));
    quantityButton_->setText(tr("Quantities"));
    for (QAction *a : quantityButton_->menu()->actions())
        a->setText(caption(a->data().toInt()));
    reading_->setFormat(tr("Reading the runs: %p%"));
    fillControls();
}

QString CompareWindow::caption(int field) const
{
    switch (field) {
    case Bat_volt:
        return tr("Voltage(V)");
    case Current:
        return tr("Current(A)");
    case Cap:
        return tr("Capacity(mAh)");
    case Ext_temp:
        return tr("External temperature(℃)");
    default:
        return tr("Cell %1(V)").arg(field - C1 + 1);
    }
}

QString CompareWindow::caption(const Shown &curve) const
{
    switch (settings_.view) {
    case View::Overlay:
        return QStringLiteral("#%1 %2").arg(curve.member + 1).arg(caption(curve.field));
    case View::Difference:
        return tr("#%1 - #%2 %3")
            .arg(curve.member + 1)
            .arg(settings_.reference + 1)
            .arg(caption(curve.field));
    case View::IncrementalCapacity:
        break;
    }
    return QStringLiteral("#%1 %2").arg(curve.member + 1).arg(tr("dQ/dV(mAh/V)"));
}

bool CompareWindow::timeAxis() const
{
    return settings_.view != View::IncrementalCapacity
        && (settings_.alignment == Alignment::Start
            || settings_.alignment == Alignment::ConstantVoltage);
}

QString CompareWindow::xCaption() const
{
    if (settings_.view == View::IncrementalCapacity)
        return tr("Voltage(V)");
    switch (settings_.alignment) {
    case Alignment::Start:
        return tr("Time since the start");
    case Alignment::ConstantVoltage:
        return tr("Time since constant voltage");
    case Alignment::Capacity:
        return tr("Capacity(mAh)");
    case Alignment::Percent:
        return tr("Rated capacity(%)");
    }
    return {};
}

void CompareWindow::fillControls()
{
    filling_ = true;
    view_->clear();
    view_->addItems({ tr("Overlay"), tr("Difference"), tr("Incremental capacity dQ/dV") });
    view_->setCurrentIndex(int(settings_.view));
    alignment_->clear();
    alignment_->addItems({ tr("Aligned at the start"), tr("Aligned at constant voltage"),
                           tr("Aligned by capacity"), tr("Aligned by rated capacity") });
    alignment_->setCurrentIndex(int(settings_.alignment));
    alignment_->setEnabled(settings_.view != View::IncrementalCapacity);
    reference_->clear();
    for (size_t i = 0; i < members_.size(); ++i)
        reference_->addItem(tr("Reference: #%1").arg(i + 1));
    reference_->setCurrentIndex(settings_.reference);
    reference_->setEnabled(settings_.view == View::Difference);
    for (QAction *a : quantityButton_->menu()->actions())
        a->setChecked(settings_.quantities.contains(a->data().toInt()));
    quantityButton_->setEnabled(settings_.view != View::IncrementalCapacity);
    filling_ = false;
}

void CompareWindow::takeControls()
{
    if (filling_)
        return;
    CompareFile::Comparison s = settings_;
    s.view = View(view_->currentIndex());
    s.alignment = Alignment(alignment_->currentIndex());
    s.reference = std::max(0, reference_->currentIndex());
    s.quantities.clear();
    for (QAction *a : quantityButton_->menu()->actions())
        if (a->isChecked())
            s.quantities << a->data().toInt();
    if (s.quantities.isEmpty())
        s.quantities = { Bat_volt };
    apply(s);
}

void CompareWindow::apply(const CompareFile::Comparison &settings)
{
    const QStringList runs = settings_.runs;
    settings_ = settings;
    settings_.runs = runs;
    settings_.reference = std::clamp(settings_.reference, 0, std::max(0, runCount() - 1));
    fillControls();
    redraw();
    chart_->showAll(); // other units, another view
}

CompareFile::Comparison CompareWindow::settings() const
{
    CompareFile::Comparison s = settings_;
    s.runs.clear();
    for (const auto &m : members_)
        s.runs << m->path();
    return s;
}

bool CompareWindow::ready() const
{
    return std::none_of(members_.begin(), members_.end(),
                        [](const auto &m) { return m->reading(); });
}

void CompareWindow::add(std::unique_ptr<Member> member)
{
    Member &m = *member;
    connect(m.run.get(), &Run::recorded, this, [this, &m] { recorded(m); });
    connect(m.run.get(), &Run::titleChanged, this, &CompareWindow::redraw);
    members_.push_back(std::move(member));
    fillControls();
}

void CompareWindow::addWindow(tee &window)
{
    auto m = std::make_unique<Member>();
    m->run = window.sharedRun();
    m->window = &window;
    m->file = window.file();
    m->date = m->file.isEmpty() ? QDate::currentDate() : QFileInfo(m->file).lastModified().date();
    add(std::move(m));
    redraw();
}

void CompareWindow::addRun(const std::shared_ptr<Run> &run)
{
    auto m = std::make_unique<Member>();
    m->run = run;
    m->date = QDate::currentDate();
    add(std::move(m));
    redraw();
}

void CompareWindow::add(const CompareChoice &choice)
{
    for (tee *window : choice.windows)
        addWindow(*window);
    for (const QString &file : choice.files)
        addFile(file);
}

void CompareWindow::addFile(const QString &file)
{
    if (const QString why = CompareFile::unreadableRun(file); !why.isEmpty()) {
        host_.dialogs().message(why, QStringLiteral("Notice"), Dialogs::Icon::Critical);
        return;
    }
    auto m = std::make_unique<Member>();
    m->reader = std::make_unique<FileRun>(host_.runHub(), file, host_.clock());
    m->run = m->reader->run();
    m->file = QFileInfo(file).absoluteFilePath();
    m->date = QFileInfo(file).lastModified().date();
    Member *member = m.get();
    FileRun *reader = m->reader.get();
    connect(reader, &FileRun::opened, this, [member](qint64 rows) { member->rows = rows; });
    connect(reader, &FileRun::rowsAdded, this, &CompareWindow::showReading);
    connect(reader, &FileRun::finished, this, [this, member](const QString &error) {
        member->reader.release()->deleteLater(); // it is signalling
        showReading();
        if (!error.isEmpty()) {
            const QString file = QDir::toNativeSeparators(member->file);
            remove(member);
            host_.dialogs().message(tr("The run file %1 cannot be read:\r\n%2").arg(file, error),
                                    QStringLiteral("Notice"), Dialogs::Icon::Critical);
        }
        redraw();
        if (ready())
            emit loaded();
    });
    reader->start(host_.background());
    add(std::move(m));
    showReading();
}

void CompareWindow::showReading()
{
    qint64 rows = 0, read = 0;
    for (const auto &m : members_)
        if (m->reading()) {
            // A file of rows not known yet keeps the bar busy.
            rows = m->rows < 0 || rows < 0 ? -1 : rows + m->rows;
            read += m->run->samples().count();
        }
    reading_->setVisible(!ready());
    reading_->setRange(0, int(std::clamp<qint64>(rows, 0, std::numeric_limits<int>::max())));
    reading_->setValue(int(std::clamp<qint64>(read, 0, reading_->maximum())));
}

void CompareWindow::remove(const Member *member)
{
    const auto at = std::find_if(members_.begin(), members_.end(),
                                 [member](const auto &m) { return m.get() == member; });
    const int index = int(at - members_.begin());
    (*at)->run->disconnect(this);
    members_.erase(at);
    if (settings_.reference > index || settings_.reference >= runCount())
        settings_.reference = std::max(0, settings_.reference - 1);
    fillControls();
}

bool CompareWindow::open(const QString &path)
{
    QString error;
    const CompareFile::Comparison c = CompareFile::read(path, error);
    if (!error.isEmpty()) {
        host_.dialogs().message(error, QStringLiteral("Notice"), Dialogs::Icon::Critical);
        return false;
    }
    file_ = path;
    setWindowTitle(QDir::toNativeSeparators(path));
    QStringList missing;
    int reference = c.reference;
    for (int i = 0; i < c.runs.size(); ++i) {
        if (const QString why = CompareFile::unreadableRun(c.runs[i]); !why.isEmpty()) {
            missing << why;
            if (i < c.reference)
                --reference;
            continue;
        }
        addFile(c.runs[i]);
    }
    CompareFile::Comparison s = c;
    s.reference = std::max(0, reference);
    apply(s);
    if (!missing.isEmpty())
        host_.dialogs().message(missing.join(QStringLiteral("\r\n")), QStringLiteral("Notice"),
                                Dialogs::Icon::Critical);
    if (ready())
        emit loaded();
    return true;
}

QString CompareWindow::legend(int member) const
{
    // Number, date and why it is not aligned as asked before the description, which may be
    // cut short.
    const Member &m = *members_[size_t(member)];
    QString text = QStringLiteral("#%1 %2 ").arg(member + 1).arg(m.date.toString(Qt::ISODate));
    if (settings_.view == View::Difference && member == settings_.reference)
        text += tr("(the reference) ");
    if (!m.drawn.aligned && settings_.view != View::IncrementalCapacity)
        text += settings_.alignment == Alignment::ConstantVoltage
            ? tr("(no change to constant voltage: at its start) ")
            : tr("(no rated capacity: left out) ");
    return text + m.run->title().trimmed();
}

void CompareWindow::redraw()
{
    QElapsedTimer took;
    took.start();
    pending_.stop();
    chart_->clear();
    shown_.clear();
    // A run still being read is drawn once it is read.
    std::vector<int> drawn;
    for (int i = 0; i < runCount(); ++i) {
        Member &m = *members_[size_t(i)];
        if (m.reading()) {
            m.drawn = Compare::Axis();
            m.drawnFor.reset();
            continue;
        }
        m.align(settings_.alignment, host_);
        drawn.push_back(i);
    }
    chart_->crossHair().hide(); // what it read is gone
    const auto add = [&](int member, int field, int style, Compare::Curve curve, bool first) {
        // Incremental capacity, read off capacity, stands on the left axis alone.
        chart_->addCurve(curve.x, curve.y, member, style,
                         settings_.view != View::IncrementalCapacity && !onLeft(field),
                         first ? legend(member) : QString());
        shown_.push_back({ member, field, std::move(curve) });
    };
    QStringList left, right;
    // Each value axis spans at least 20 steps of its quantities' resolution: a current that
    // wavers by 10 mA is not drawn as a swing across the chart.
    double leastLeft = 0, leastRight = 0;
    if (settings_.view == View::IncrementalCapacity) {
        for (int i : drawn) {
            Member &m = *members_[size_t(i)];
            add(i, Cap, 0,
                Compare::incrementalCapacity(m.column(Bat_volt), m.column(Current), m.column(Cap)),
                true);
        }
        left << tr("dQ/dV(mAh/V)");
    } else {
        const bool referenceDrawn
            = std::find(drawn.begin(), drawn.end(), settings_.reference) != drawn.end();
        if (settings_.view == View::Difference && referenceDrawn)
            chart_->addKey(CompareChart::colour(settings_.reference), 0,
                           legend(settings_.reference));
        for (int q = 0; q < settings_.quantities.size(); ++q) {
            const int field = settings_.quantities[q];
            (onLeft(field) ? left : right) << caption(field);
            double &least = onLeft(field) ? leastLeft : leastRight;
            least = std::max(least, field == Cap || field == Ext_temp ? 20 : 0.2);
            // A run of no rated capacity has no place on a % axis.
            const auto curveOf = [&](int i) {
                const Member &m = *members_[size_t(i)];
                return settings_.alignment == Alignment::Percent && !m.drawn.aligned
                    ? Compare::Curve()
                    : Compare::curve(m.drawn.x, members_[size_t(i)]->column(field));
            };
            if (settings_.view == View::Overlay) {
                for (int i : drawn)
                    add(i, field, q, curveOf(i), q == 0);
                continue;
            }
            if (!referenceDrawn)
                continue;
            const Compare::Curve reference = curveOf(settings_.reference);
            for (int i : drawn)
                if (i != settings_.reference)
                    add(i, field, q, Compare::difference(reference, curveOf(i)), q == 0);
        }
        // The quantities' line styles after the runs.
        for (int q = 0; settings_.quantities.size() > 1 && q < settings_.quantities.size(); ++q)
            chart_->addKey(Qt::gray, q, caption(settings_.quantities[q]));
    }
    left.removeDuplicates();
    right.removeDuplicates();
    const QString minus = settings_.view == View::Difference
        ? tr("Difference from #%1: ").arg(settings_.reference + 1)
        : QString();
    chart_->setLabels(xCaption(), minus + left.join(QStringLiteral(", ")),
                      right.isEmpty() ? QString() : minus + right.join(QStringLiteral(", ")),
                      timeAxis());
    chart_->setLeastSpans(leastLeft, leastRight);
    chart_->rescale();
    redrawMs_ = took.nsecsElapsed() / 1e6 + chart_->drawMs();
}

// A live sample: appended where the curves stand as they are, otherwise drawn again soon.
void CompareWindow::recorded(Member &m)
{
    if (m.reading()) // drawn once read
        return;
    const int member = int(std::find_if(members_.begin(), members_.end(),
                                        [&m](const auto &p) { return p.get() == &m; })
                           - members_.begin());
    const bool appendable
        = settings_.view == View::Overlay && settings_.alignment != Alignment::ConstantVoltage;
    if (!appendable) {
        // A whole drawing's milliseconds, once per that many seconds.
        if (!pending_.isActive())
            pending_.start(std::clamp(int(redrawMs_ * 1000), 1000, 600'000));
        return;
    }
    Compare::Axis &a = m.drawn;
    const std::vector<double> &base = a.byCapacity ? m.column(Cap) : m.elapsed();
    if (base.empty())
        return;
    const double x = (base.back() - a.origin) * a.scale;
    a.x.push_back(x);
    for (size_t i = 0; i < shown_.size(); ++i) {
        Shown &s = shown_[i];
        if (s.member != member)
            continue;
        const double y = m.column(s.field).back();
        if (std::isnan(x) || std::isnan(y) || (!s.curve.empty() && x < s.curve.x.back()))
            continue;
        s.curve.add(x, y);
        chart_->append(int(i), x, y);
    }
    chart_->redrawSparingly();
}

QString CompareWindow::readOut(double key) const
{
    QStringList lines;
    if (timeAxis()) {
        const qint64 s = qRound64(std::abs(key));
        lines << QStringLiteral("%1%2:%3:%4")
                     .arg(key < 0 ? "-" : "")
                     .arg(s / 3600)
                     .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                     .arg(s % 60, 2, 10, QLatin1Char('0'));
    } else {
        lines << xCaption() + QStringLiteral(": ") + QString::number(key, 'f', 2);
    }
    for (const Shown &s : shown_) {
        const auto v = Compare::valueAt(s.curve, key);
        if (!v)
            continue;
        QString line = caption(s) + QStringLiteral(": ") + QString::number(*v, 'f', 3);
        if (mark_)
            if (const auto before = Compare::valueAt(s.curve, *mark_))
                line += QStringLiteral("  Δ %1").arg(*v - *before, 0, 'f', 3);
        lines << line;
    }
    return lines.join(u'\n');
}

void CompareWindow::crossLineMoved(QPoint at)
{
    const ViewState &state = host_.viewState();
    CrossHair &hair = chart_->crossHair();
    if (!state.crossLineOn && !state.crossLineHeld) {
        hair.hide();
        return;
    }
    const double key = chart_->keyAt(at.x());
    const QString text = readOut(key);
    hair.show(at, text);
    crossAt_ = at;
    host_.viewState().crossLineHeld = true;
    // Qt tells a listening screen reader of each new description, even an unchanged one.
    if (text != chart_->accessibleDescription())
        chart_->setAccessibleDescription(text);
    // The reference run's sample at the cursor on the information panel, where x follows samples.
    if (settings_.view == View::IncrementalCapacity || members_.empty())
        return;
    const Member &m = *members_[size_t(settings_.reference)];
    const auto sample = CrossLine::sampleAt(qsizetype(m.drawn.x.size()), key,
                                            [&m](qsizetype i) { return m.drawn.x[size_t(i)]; });
    if (!sample || sample == panelSample_ || *sample >= m.run->samples().count())
        return;
    panelSample_ = sample;
    host_.ShowReading(CrossLine::record(m.run->samples().reading(*sample)));
}

void CompareWindow::switchMark(QPoint at)
{
    CrossHair &hair = chart_->crossHair();
    if (mark_)
        mark_.reset();
    else if (hair.shown())
        mark_ = chart_->keyAt(at.x());
    hair.setReference(mark_);
    if (hair.shown())
        hair.show(at, readOut(chart_->keyAt(at.x())));
}

// Left and Right move the cross line a pixel column (ten with Shift), from where it stands or
// from the end they point away from; Home and End to the ends; Space marks or unmarks.
bool CompareWindow::crossLineKey(const QKeyEvent &key)
{
    const CrossHair &hair = chart_->crossHair();
    if (!host_.viewState().crossLineOn || members_.empty())
        return false;
    const QRect area = chart_->plotArea();
    const int step = key.modifiers().testFlag(Qt::ShiftModifier) ? 10 : 1;
    const QPoint now = hair.shown()
        ? crossAt_
        : QPoint(key.key() == Qt::Key_Left ? area.right() + 1 : area.left() - 1, area.center().y());
    int x = 0;
    switch (key.key()) {
    case Qt::Key_Left:
        x = now.x() - step;
        break;
    case Qt::Key_Right:
        x = now.x() + step;
        break;
    case Qt::Key_Home:
        x = area.left();
        break;
    case Qt::Key_End:
        x = area.right();
        break;
    case Qt::Key_Space:
        if (hair.shown())
            switchMark(crossAt_);
        return true;
    default:
        return false;
    }
    crossLineMoved({ std::clamp(x, area.left(), area.right()), now.y() });
    return true;
}

bool CompareWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == chart_ && event->type() == QEvent::KeyPress) {
        const auto &key = *static_cast<QKeyEvent *>(event);
        if ((key.modifiers() == Qt::NoModifier || key.modifiers() == Qt::ShiftModifier)
            && crossLineKey(key))
            return true;
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

bool CompareWindow::CommandHandler(Tool &tool)
{
    static const QHash<QString, void (CompareWindow::*)()> commands = {
        { ToolName::Save, &CompareWindow::save },
        { ToolName::Export, &CompareWindow::exportCsv },
        { ToolName::Copy, &CompareWindow::copyChart },
        { ToolName::Print, &CompareWindow::printChart },
    };
    const auto command = commands.constFind(tool.name());
    if (command == commands.constEnd())
        return false;
    (this->**command)();
    return true;
}

void CompareWindow::save()
{
    Dialogs &dialogs = host_.dialogs();
    const CompareFile::Comparison c = settings();
    for (int i = 0; i < runCount(); ++i)
        if (c.runs[i].isEmpty()) {
            dialogs.message(tr("Run #%1 has no run file yet: save it first.").arg(i + 1),
                            QStringLiteral("Notice"), Dialogs::Icon::Information);
            return;
        }
    // Beside its runs, where it names them by name alone and moves with them.
    const QString beside = file_.isEmpty() ? c.runs.value(0) : file_;
    const QString path = dialogs.exportFile(
        beside.isEmpty() ? saveFolder() : QFileInfo(beside).absolutePath(),
        QStringLiteral("Comparison(*.%1)|*.%1").arg(QLatin1String(CompareFile::Suffix)),
        QLatin1String(CompareFile::Suffix));
    if (path.isEmpty())
        return;
    if (const QString failure = CompareFile::write(path, c); !failure.isEmpty()) {
        dialogs.message(tr("The comparison was not saved to %1\r\n%2").arg(path, failure),
                        QStringLiteral("Notice"), Dialogs::Icon::Critical);
        return;
    }
    file_ = path;
    setWindowTitle(QDir::toNativeSeparators(path));
    host_.State_add(tr("Comparison saved at %1").arg(QDir::toNativeSeparators(path)));
}

void CompareWindow::exportCsv()
{
    Dialogs &dialogs = host_.dialogs();
    const QString path = dialogs.exportFile(
        saveFolder(), QStringLiteral("CSV file(*.csv)|*.csv|All files(*.*)|*.*"),
        QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    QStringList captions;
    std::vector<Compare::Curve> curves;
    for (const Shown &s : shown_) {
        captions << caption(s);
        curves.push_back(s.curve);
    }
    tellExport(host_, path, saveWhole(path, Compare::alignedCsv(xCaption(), captions, curves)));
}

void CompareWindow::copyChart()
{
    auto *data = new QMimeData;
    data->setData(QStringLiteral("image/svg+xml"), chart_->toSvg(windowTitle()));
    data->setImageData(chart_->toImage());
    host_.clipboard().setMimeData(data);
    host_.State_add(QStringLiteral("Chart was copyed to Clipboard as a  Metafile."));
}

void CompareWindow::printChart()
{
    host_.printer().preview(1, [this](QPrinter &printer) { chart_->print(printer); });
}
