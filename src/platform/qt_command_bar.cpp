#include "platform/qt_command_bar.h"

#include "platform/status_lamp.h"

#include <QComboBox>
#include <QDockWidget>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace {

// A name missing from the layout is a fault of the program, never of its user.
void reportUnknown(const QString &what)
{
    Q_ASSERT_X(false, "QtCommandBar", qPrintable(what));
    qWarning("Command bar: %s", qPrintable(what));
}

} // namespace

QtCommandBar::QtCommandBar(QMainWindow *window, QMdiArea *mdiArea,
                           const std::vector<BandSpec> &layout, const Clock &clock)
    : CommandBar(window), window_(window),
      mdiArea_(mdiArea ? mdiArea : qobject_cast<QMdiArea *>(window->centralWidget())),
      clock_(clock), detached_(QString(), ToolSpec {})
{
    Q_INIT_RESOURCE(command_bar);
    // Held apart from the window, which activates the chart windows once more while it
    // is being destroyed, when it can no longer answer for its menu bar.
    menuBar_ = window->menuBar();
    bands_.reserve(layout.size());
    for (const BandSpec &spec : layout) {
        Band &band = bands_.emplace_back(Band { spec.name, spec.title, spec.role, {} });
        switch (spec.role) {
        case BandSpec::Role::MenuBar:
            if (mainMenuBand_.isEmpty())
                mainMenuBand_ = spec.name;
            buildMenuBand(band, spec);
            break;
        case BandSpec::Role::PopUp:
            buildMenuBand(band, spec);
            break;
        case BandSpec::Role::ToolBar:
            buildToolBar(band, spec);
            break;
        case BandSpec::Role::StatusBar:
            buildStatusBar(band, spec);
            break;
        case BandSpec::Role::Pane:
            reportUnknown(QStringLiteral("pane %1 without its form").arg(spec.name));
            break;
        }
    }
    // Pop-ups are filled once every band has its tools.
    for (Band &band : bands_)
        for (const auto &tool : band.tools)
            if (!tool->subBand().isEmpty())
                attachSubBand(*tool);

    if (mdiArea_)
        connect(mdiArea_, &QMdiArea::subWindowActivated, this, &QtCommandBar::showMenuBar);
    connect(&clockTimer_, &QTimer::timeout, this, &QtCommandBar::showClock);
    clockTimer_.start(1000);
    refresh();
}

QtCommandBar::Band *QtCommandBar::findBand(const QString &name)
{
    for (Band &band : bands_)
        if (band.name == name)
            return &band;
    return nullptr;
}

Tool &QtCommandBar::tool(const QString &band, const QString &name)
{
    if (Band *found = findBand(band))
        for (const auto &tool : found->tools)
            if (tool->name() == name)
                return *tool;
    reportUnknown(QStringLiteral("no tool %1 in band %2").arg(name, band));
    return detached_;
}

QStringList QtCommandBar::bandNames() const
{
    QStringList names;
    for (const Band &band : bands_)
        names.append(band.name);
    return names;
}

QStringList QtCommandBar::toolNames(const QString &band) const
{
    QStringList names;
    for (const Band &found : bands_)
        if (found.name == band)
            for (const auto &tool : found.tools)
                names.append(tool->name());
    return names;
}

QtTool &QtCommandBar::addTool(Band &band, const ToolSpec &spec)
{
    auto &tool = band.tools.emplace_back(std::make_unique<QtTool>(
        band.name, spec, [this](QtTool &opener) { attachSubBand(opener); }));
    return *tool;
}

QAction *QtCommandBar::createAction(QtTool &tool, const ToolSpec &spec)
{
    auto *action = new QAction(this);
    action->setSeparator(spec.kind == Tool::Kind::Separator || spec.windowList);
    action->setCheckable(spec.checkable);
    action->setShortcuts(spec.keys);
    if (!spec.icon.isEmpty())
        action->setIcon(QIcon(spec.icon));
    connect(action, &QAction::triggered, this, [this, &tool, action] {
        // Only the command changes the checked state, so undo the toggle Qt has just made.
        if (action->isCheckable())
            action->setChecked(tool.checked());
        emit toolClicked(tool);
    });
    return action;
}

QWidget *QtCommandBar::createWidget(QtTool &tool, const ToolSpec &spec)
{
    switch (spec.kind) {
    case Tool::Kind::Lamp:
        return new StatusLamp(clock_, spec.lampColor, spec.lampMeaning, window_);
    case Tool::Kind::DropDownList: {
        auto *combo = new QComboBox(window_);
        // Editable so that the text line can show any text; read-only since nobody types.
        combo->setEditable(true);
        combo->lineEdit()->setReadOnly(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMinimumContentsLength(40);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        connect(combo, &QComboBox::activated, this, [this, &tool, combo](int index) {
            tool.setText(combo->itemText(index));
            emit toolClicked(tool);
        });
        return combo;
    }
    default: { // labels, and kinds that have no widget of their own outside menus
        auto *label = new QLabel(window_);
        label->setContentsMargins(4, 0, 4, 0);
        return label;
    }
    }
}

void QtCommandBar::buildMenuBand(Band &band, const BandSpec &spec)
{
    for (const ToolSpec &toolSpec : spec.tools) {
        QtTool &tool = addTool(band, toolSpec);
        tool.bind(createAction(tool, toolSpec));
    }
}

void QtCommandBar::buildToolBar(Band &band, const BandSpec &spec)
{
    auto *bar = new QToolBar(spec.title, window_);
    bar->setObjectName(spec.name);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(24, 24));
    window_->addToolBar(Qt::TopToolBarArea, bar);
    if (!toolBar_)
        toolBar_ = bar;
    for (const ToolSpec &toolSpec : spec.tools) {
        QtTool &tool = addTool(band, toolSpec);
        if (toolSpec.kind == Tool::Kind::Button && toolSpec.caption.isEmpty()
            && toolSpec.icon.isEmpty() && toolSpec.subBand.isEmpty()) {
            // A tool with nothing to show and no command is a gap between tools: a button
            // there would be one without a name, that a screen reader stops at.
            auto *gap = new QWidget(window_);
            gap->setFixedWidth(bar->iconSize().width());
            tool.bind(bar->addWidget(gap), gap);
        } else if (toolSpec.kind == Tool::Kind::Button || toolSpec.kind == Tool::Kind::Separator) {
            QAction *action = createAction(tool, toolSpec);
            bar->addAction(action);
            tool.bind(action);
        } else {
            QWidget *widget = createWidget(tool, toolSpec);
            tool.bind(bar->addWidget(widget), widget);
        }
    }
}

void QtCommandBar::buildStatusBar(Band &band, const BandSpec &spec)
{
    statusBand_ = spec.name;
    QStatusBar *status = window_->statusBar();
    status->setObjectName(spec.name);
    nameStatusBar();
    // The drop-down list stretches; what follows it sits at the right edge, where tips
    // shown in the status bar do not cover it.
    bool rightEdge = false;
    for (const ToolSpec &toolSpec : spec.tools) {
        QtTool &tool = addTool(band, toolSpec);
        QWidget *widget = createWidget(tool, toolSpec);
        if (rightEdge) {
            status->addPermanentWidget(widget);
        } else if (toolSpec.kind == Tool::Kind::DropDownList) {
            status->addWidget(widget, 1);
            rightEdge = true;
        } else {
            status->addWidget(widget);
        }
        tool.bind(nullptr, widget);
    }
}

void QtCommandBar::attachSubBand(QtTool &opener)
{
    QAction *action = opener.action();
    if (!action)
        return;
    Band *band = opener.subBand().isEmpty() ? nullptr : findBand(opener.subBand());
    if (!band) {
        if (!opener.subBand().isEmpty())
            reportUnknown(
                QStringLiteral("no band %1 for tool %2").arg(opener.subBand(), opener.name()));
        action->setMenu(nullptr);
        return;
    }
    QMenu *&menu = popUps_[&opener];
    if (!menu) {
        menu = new QMenu(window_);
        connect(menu, &QMenu::aboutToShow, this,
                [this, menu, &opener] { listWindows(menu, opener.subBand()); });
    }
    menu->clear();
    menu->setWindowTitle(band->title);
    for (const auto &tool : band->tools)
        if (tool->action())
            menu->addAction(tool->action());
    action->setMenu(menu);
    // A tool-bar button with a pop-up opens it at once, like a menu title.
    for (QObject *object : action->associatedObjects())
        if (auto *button = qobject_cast<QToolButton *>(object))
            button->setPopupMode(QToolButton::InstantPopup);
}

void QtCommandBar::listWindows(QMenu *menu, const QString &bandName)
{
    // The entries of the last opening are the only actions the menu owns itself.
    for (QAction *action : menu->actions())
        if (action->parent() == menu)
            delete action;
    Band *band = findBand(bandName);
    if (!band || !mdiArea_)
        return;
    for (const auto &listTool : band->tools) {
        if (!listTool->listsWindows() || !listTool->visible())
            continue;
        const QList<QAction *> shown = menu->actions();
        const qsizetype next = shown.indexOf(listTool->action()) + 1;
        QAction *before = next < shown.size() ? shown[next] : nullptr;
        const QList<QMdiSubWindow *> windows = mdiArea_->subWindowList();
        for (qsizetype i = 0; i < windows.size(); ++i) {
            QPointer<QMdiSubWindow> window = windows[i];
            const QString title = window->windowTitle().replace(u'&', QStringLiteral("&&"));
            const QString number = QString::number(i + 1);
            auto *entry = new QAction(i < 9 ? QStringLiteral("&%1 %2").arg(number, title)
                                            : QStringLiteral("%1 %2").arg(number, title),
                                      menu);
            entry->setCheckable(true);
            entry->setChecked(window == mdiArea_->currentSubWindow());
            QtTool &tool = *listTool;
            connect(entry, &QAction::triggered, this, [this, window, &tool] {
                if (window && mdiArea_)
                    mdiArea_->setActiveSubWindow(window);
                emit toolClicked(tool);
            });
            menu->insertAction(before, entry);
        }
    }
}

void QtCommandBar::registerChildMenuBar(const QString &band, QMdiSubWindow *child)
{
    if (!child || !findBand(band)) {
        reportUnknown(QStringLiteral("cannot register menu bar %1").arg(band));
        return;
    }
    if (!childMenuBars_.contains(child))
        connect(child, &QObject::destroyed, this, [this, child] {
            childMenuBars_.remove(child);
            showMenuBar();
        });
    childMenuBars_.insert(child, band);
    showMenuBar();
}

void QtCommandBar::showMenuBar()
{
    // The current window, not the active one: a modal dialog deactivates the area's window
    // without changing which chart the menus act on. A window being destroyed is none.
    QMdiSubWindow *current
        = mdiArea_ ? qobject_cast<QMdiSubWindow *>(mdiArea_->currentSubWindow()) : nullptr;
    // The window's own menu closes it with the keys of the Window menu's Close too; two actions
    // on one key leave it to neither.
    if (current && current->systemMenu())
        for (QAction *action : current->systemMenu()->actions())
            action->setShortcuts({});
    Band *band = findBand(childMenuBars_.value(current, mainMenuBand_));
    if (!band)
        return;
    QList<QAction *> wanted;
    for (const auto &tool : band->tools)
        if (tool->action())
            wanted.append(tool->action());
    if (!menuBar_ || menuBar_->actions() == wanted)
        return;
    for (QAction *action : menuBar_->actions())
        menuBar_->removeAction(action);
    menuBar_->addActions(wanted);
}

QDockWidget *QtCommandBar::dockPane(const QString &band, const QString &tool, QWidget *form,
                                    Qt::DockWidgetArea area)
{
    if (!form || findBand(band))
        return nullptr;
    auto *dock = new QDockWidget(form->windowTitle(), window_);
    dock->setObjectName(band);
    dock->setFeatures(QDockWidget::DockWidgetMovable);
    dock->setWidget(form);
    // The caption follows the form's, which a language switch changes.
    connect(form, &QWidget::windowTitleChanged, dock, &QWidget::setWindowTitle);
    window_->addDockWidget(area, dock);
    Band &pane = bands_.emplace_back(Band { band, form->windowTitle(), BandSpec::Role::Pane, {} });
    ToolSpec spec;
    spec.name = tool;
    spec.kind = Tool::Kind::HostedForm;
    spec.caption = form->windowTitle();
    addTool(pane, spec).bind(nullptr, dock);
    return dock;
}

void QtCommandBar::nameStatusBar()
{
    window_->statusBar()->setAccessibleName(tr("Status bar"));
}

bool QtCommandBar::event(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange && !statusBand_.isEmpty())
        nameStatusBar();
    return CommandBar::event(event);
}

void QtCommandBar::showClock()
{
    const QDateTime now = clock_.now();
    for (Band &band : bands_)
        for (const auto &tool : band.tools)
            if (!tool->clockFormat().isEmpty())
                tool->setCaption(now.toString(tool->clockFormat()));
}

void QtCommandBar::refresh()
{
    showClock();
    showMenuBar();
}
