#include "main_window.h"

#include <QActionGroup>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>
#include <QPushButton>

#include "app/layout_dxf.h"
#include "key_help.h"
#include "layout_canvas.h"
#include "layout_worker.h"
#include "nesting/layout_all.h"
#include "nesting/gravity.h"
#include "app/open_job.h"
#include "app/open_library.h"
#include "nesting/nest_system.h"
#include "output/dxf_export.h"
#include "output/packing_info.h"
#include "output/packing_report.h"
#include "import_dialog.h"
#include "packing_kit.h"
#include "renew_dialog.h"
#include "report_viewer.h"
#include "status_panel.h"

namespace orvo {

namespace {

struct FileDialogSetup {
    const char* filter;
    const char* title;
    const char* suffix;
    bool save;
};

FileDialogSetup dialogSetup(FileDialogKind kind)
{
    switch (kind) {
    case FileDialogKind::PartLibrary:
        // A job file opens like a library.
        return {QT_TRANSLATE_NOOP("orvo::MainWindow", "Text Files (*.preSrc);;Job Files (*.json)"),
                QT_TRANSLATE_NOOP("orvo::MainWindow", "Packing system file in Pavon format"), "preSrc", false};
    case FileDialogKind::LayoutDxf:
        // Both spellings, so that a native dialog on a case-sensitive file system
        // lists "x.dxf" as well as "X.DXF".
        return {QT_TRANSLATE_NOOP("orvo::MainWindow", "Text Files (*.DXF *.dxf)"),
                QT_TRANSLATE_NOOP("orvo::MainWindow", "Layout file in DXF format"), "dxf", true};
    case FileDialogKind::PackingInfoExport:
        return {QT_TRANSLATE_NOOP("orvo::MainWindow", "Text Files (*.txt)"),
                QT_TRANSLATE_NOOP("orvo::MainWindow", "Packing Information File"), "txt", true};
    case FileDialogKind::PackingInfoImport:
        return {QT_TRANSLATE_NOOP("orvo::MainWindow", "Text Files (*.txt)"),
                QT_TRANSLATE_NOOP("orvo::MainWindow", "Packing Information File"), "txt", false};
    }
    return {"", "", "", false};
}

constexpr int kRecentCount = 8;
const char* const kRecentKey = "recentLibraries";

// The recent-files list is the one thing the program keeps between runs.
QSettings settings() { return QSettings(QStringLiteral("OrvoPacking"), QStringLiteral("OrvoPacking")); }

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), platform_(*this, *this)
{
    canvas_ = new LayoutCanvas(*this);
    setCentralWidget(canvas_);
    kitDock_ = new QDockWidget(tr("Packing Kit 排样工具箱"), this);
    kitDock_->setObjectName(QStringLiteral("packingKitDock"));
    kitDock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                          QDockWidget::DockWidgetFloatable);
    addDockWidget(Qt::RightDockWidgetArea, kitDock_);
    kitDock_->hide();
    status_ = new StatusPanel(*statusBar());
    worker_ = new LayoutWorker(this);
    connect(worker_, &LayoutWorker::finished, this, &MainWindow::runEnded);
    buildMenu();
    updateUndoActions();
    updateTitle();
    resize(1320, 760);
    canvas_->setFocus();
}

MainWindow::~MainWindow()
{
    // A run still going is stopped; its last platform calls are served before the
    // document goes, and nothing of the window reacts to its end any more.
    disconnect(worker_, nullptr, this, nullptr);
    worker_->requestStop();
    worker_->waitServingEvents();
}

PackingKit* MainWindow::packingKit() { return kit_.data(); }

RenewDialog* MainWindow::renewDialog() { return renew_.data(); }

void MainWindow::buildMenu()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* open = file->addAction(tr("OpenLibIn&HD"), this, &MainWindow::commandOpenLibrary);
    open->setShortcut(QKeySequence::Open);
    documentActions_ << open;
    recentMenu_ = file->addMenu(tr("最近打开的零件库"));
    documentActions_ << recentMenu_->menuAction();
    rebuildRecentMenu();
    documentActions_ << file->addAction(tr("Import DXF Parts..."), this,
                                        &MainWindow::commandImportDxfParts);
    documentActions_ << file->addAction(tr("LayoutIn&Dxf"), this, &MainWindow::commandLayoutInDxf);
    documentActions_ << file->addAction(tr("ExportParts(*.dxf)"), this,
                                        &MainWindow::commandExportParts);
    // Saving the layout is what the packing-information file does.
    QAction* save = file->addAction(tr("保存排样信息(&S)..."), this, &MainWindow::exportPackingInfo);
    save->setShortcut(QKeySequence::Save);
    documentActions_ << save;
    file->addSeparator();
    QAction* exit = file->addAction(tr("退出(&X)"), this, &MainWindow::commandExit);
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    exit->setMenuRole(QAction::QuitRole);

    QMenu* edit = menuBar()->addMenu(tr("编辑(&E)"));
    undoAction_ = edit->addAction(tr("撤销(&U)"), this, &MainWindow::undo);
    undoAction_->setShortcut(QKeySequence::Undo);
    redoAction_ = edit->addAction(tr("重做(&R)"), this, &MainWindow::redo);
    redoAction_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                               QKeySequence(Qt::CTRL | Qt::Key_Y)});

    QMenu* layout = menuBar()->addMenu(tr("&Layout"));
    layout->addAction(tr("Packing Kit"), this, &MainWindow::commandPackingKit);
    documentActions_ << layout->addAction(tr("&Renew_RN_PPD"), this,
                                          &MainWindow::commandRenewDialog);
    documentActions_ << layout->addAction(tr("优化排样(&O)..."), this,
                                          &MainWindow::commandLayoutAllOptimise);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    auto* backgrounds = new QActionGroup(this);
    blackAction_ = view->addAction(tr("&Black Background"), this,
                                   [this] { commandBackground(0); });
    greyAction_ = view->addAction(tr("&Gray Background"), this,
                                  [this] { commandBackground(1); });
    for (QAction* a : {blackAction_, greyAction_}) {
        a->setCheckable(true);
        backgrounds->addAction(a);
    }
    blackAction_->setChecked(true);
    QAction* points = view->addAction(tr("PPT_Visible"), this,
                                      &MainWindow::commandTogglePackingPoints);
    points->setCheckable(true);
    points->setChecked(options_.showPackingPoints);
    points->setToolTip(tr("Packing Points Visible"));
    QAction* offsets = view->addAction(tr("OffsetedPartVisible"), this,
                                       &MainWindow::commandToggleOffsetParts);
    offsets->setCheckable(true);
    offsets->setChecked(options_.showOffsetParts);

    QMenu* help = menuBar()->addMenu(tr("帮助(&H)"));
    QAction* keys = help->addAction(tr("按键帮助"), this, &MainWindow::commandKeyHelp);
    keys->setShortcut(QKeySequence::HelpContents);
}

QStringList MainWindow::recentFiles() const
{
    return settings().value(QString::fromLatin1(kRecentKey)).toStringList();
}

void MainWindow::rememberRecent(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList list = recentFiles();
    list.removeAll(absolute);
    list.prepend(absolute);
    while (list.size() > kRecentCount) list.removeLast();
    settings().setValue(QString::fromLatin1(kRecentKey), list);
    rebuildRecentMenu();
}

void MainWindow::rebuildRecentMenu()
{
    recentMenu_->clear();
    const QStringList list = recentFiles();
    int n = 0;
    for (const QString& path : list) {
        const QString text = QStringLiteral("&%1 %2").arg(++n).arg(QFileInfo(path).fileName());
        QAction* a = recentMenu_->addAction(text, this, [this, path] { commandOpenRecent(path); });
        a->setToolTip(path);
        a->setStatusTip(path);
    }
    recentMenu_->setEnabled(!list.isEmpty());
}

void MainWindow::commandOpenRecent(const QString& path)
{
    delete kit_.data();
    kitDock_->hide();
    delete renew_.data();
    if (openLibrary(path)) return;
    // A library that is gone leaves the list; its failure was named by the opening.
    if (!QFileInfo::exists(path)) {
        QStringList list = recentFiles();
        list.removeAll(path);
        settings().setValue(QString::fromLatin1(kRecentKey), list);
        rebuildRecentMenu();
    }
}

void MainWindow::commandKeyHelp()
{
    if (!keyHelp_) keyHelp_ = createKeyHelpDialog(this);
    keyHelp_->show();
    keyHelp_->raise();
}

QDialog* MainWindow::keyHelp() { return keyHelp_.data(); }

ReportViewer* MainWindow::reportViewer() { return report_.data(); }

void MainWindow::commandExit() { close(); }

void MainWindow::updateTitle()
{
    const QString name = libraryPath_.isEmpty() ? QString() : QFileInfo(libraryPath_).fileName();
    setWindowTitle(name.isEmpty() ? QStringLiteral("OrvoPacking[*]")
                                  : QStringLiteral("%1[*] - OrvoPacking").arg(name));
}

void MainWindow::refreshStatus()
{
    if (ns_) {
        conflicts_.update(*ns_);
    } else {
        conflicts_.reset();
    }
    status_->refresh(ns_.get(), interaction_.mode(), libraryPath_,
                     ns_ ? conflicts_.conflictCount() : 0);
}

QString MainWindow::outputFolder() const
{
    return QDir(QString::fromStdString(ns_ ? ns_->workFolder() : std::string("."))).absolutePath();
}

void MainWindow::announceFiles(const QStringList& names)
{
    status_->announce(tr("已写入 %1 (目录 %2)").arg(names.join(QStringLiteral(", ")), outputFolder()));
}

QImage MainWindow::renderScene() const
{
    if (!ns_) return orvo::renderScene(canvas_->size(), nullptr, view_, interaction_, options_);
    conflicts_.update(*ns_);
    SceneMarks marks;
    marks.plates = plateFigures(*ns_);
    marks.conflicts = &conflicts_.flags();
    return orvo::renderScene(canvas_->size(), ns_.get(), view_, interaction_, options_, &marks);
}

QString MainWindow::chooseFile(FileDialogKind kind)
{
    if (chooseFile_) return chooseFile_(kind);
    const FileDialogSetup setup = dialogSetup(kind);
    QFileDialog dialog(this, tr(setup.title));
    dialog.setNameFilters(tr(setup.filter).split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(QString::fromUtf8(setup.suffix));
    dialog.setAcceptMode(setup.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(setup.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QString& last = lastFiles_[static_cast<int>(kind)];
    if (!last.isEmpty()) dialog.selectFile(last);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    last = dialog.selectedFiles().first();
    return last;
}

bool MainWindow::openLibrary(const QString& path)
{
    if (layoutRunning() || !settleUnsavedWork(false)) return false;
    const bool opened = openWith([&](NestSystem& ns) {
        return openPartsFile(ns, path.toStdString()) == LibraryStatus::Opened;
    });
    if (!opened) return false;
    libraryPath_ = QFileInfo(path).absoluteFilePath();
    updateTitle();
    rememberRecent(path);
    refreshStatus();
    return true;
}

bool MainWindow::openJobParts(const Job& job)
{
    if (layoutRunning() || !settleUnsavedWork(false)) return false;
    const bool opened =
        openWith([&](NestSystem& ns) { return openJob(ns, job, {}) == LibraryStatus::Opened; });
    if (!opened) return false;
    // Parts imported from drawings come from no single file.
    libraryPath_.clear();
    updateTitle();
    refreshStatus();
    return true;
}

void MainWindow::importParts(const QStringList& files)
{
    // Those of the open library, else a common sheet.
    JobSettings settings;
    settings.plateLength = ns_ ? ns_->plateLength : 3000.0;
    settings.plateWidth = ns_ ? ns_->plateWidth : 1500.0;
    settings.partGap = ns_ ? ns_->partGap : 5.0;
    settings.plateMargin = ns_ ? ns_->plateGap : 10.0;
    settings.turnOver = ns_ ? ns_->turnOver : true;
    if (ns_) settings.rotationNumber = ns_->rotationNumber;
    ImportDialog dialog(files, settings, this);
    if (dialog.exec() == QDialog::Accepted) openJobParts(dialog.job());
}

void MainWindow::commandImportDxfParts()
{
    if (layoutRunning()) return;
    const QStringList files = ImportDialog::chooseFiles(this);
    if (!files.isEmpty()) importParts(files);
}

bool MainWindow::openWith(const std::function<bool(NestSystem&)>& open)
{
    // The open library stays until the new one has been read.
    auto fresh = std::make_unique<NestSystem>(platform_, ".");
    if (!open(*fresh)) return false;
    ns_ = std::move(fresh);
    conflicts_.reset();
    history_.clear();
    updateUndoActions();
    rememberWorldBox(ns_->nestParts.empty() ? BoundingBox{} : ns_->nestParts.front().box);
    repaintView();
    commandPackingKit();
    return true;
}

void MainWindow::commandOpenLibrary()
{
    delete kit_.data();
    kitDock_->hide();
    delete renew_.data();
    const QString path = chooseFile(FileDialogKind::PartLibrary);
    if (!path.isEmpty()) openLibrary(path);
}

void MainWindow::commandLayoutInDxf()
{
    const QString path = chooseFile(FileDialogKind::LayoutDxf);
    if (path.isEmpty() || !ns_) return;
    if (exportLayoutDxf(*ns_, path.toStdString())) {
        status_->announce(tr("已写入 %1").arg(QFileInfo(path).absoluteFilePath()));
    }
}

void MainWindow::commandExportParts()
{
    if (!ns_ || !exportPartFiles(*ns_)) return;
    // The part export has no notice of its own: say how many drawings went where.
    const size_t count = partFileNames(*ns_).size();
    const QString text =
        tr("零件图已生成: %1 个文件, 目录 %2").arg(count).arg(outputFolder());
    status_->announce(text);
    platform_.showMessage(text.toStdString(), kCaptionNotice);
}

void MainWindow::commandPackingKit()
{
    delete kit_.data();
    kit_ = new PackingKit(*this);
    if (ns_) kit_->showPlateSize(ns_->plateLength, ns_->plateWidth);
    kit_->setEnabled(!layoutRunning());
    updateUndoActions();
    kitDock_->setWidget(kit_);
    kitDock_->setWindowTitle(kit_->windowTitle());
    kitDock_->show();
    kitDock_->raise();
}

void MainWindow::closePackingKit()
{
    kitDock_->hide();
    if (kit_) kit_->deleteLater();
}

void MainWindow::commandRenewDialog()
{
    delete renew_.data();
    renew_ = new RenewDialog(*this);
    renew_->show();
}

void MainWindow::commandBackground(int index)
{
    options_.background = index;
    (index == 0 ? blackAction_ : greyAction_)->setChecked(true);
    repaintView();
}

void MainWindow::commandTogglePackingPoints()
{
    options_.showPackingPoints = !options_.showPackingPoints;
    repaintView();
}

void MainWindow::commandToggleOffsetParts()
{
    options_.showOffsetParts = !options_.showOffsetParts;
    repaintView();
}

void MainWindow::layoutAll(bool multiStep)
{
    if (!ns_ || layoutRunning() || !settleUnsavedWork(true)) return;
    const LayoutMethod method = multiStep ? LayoutMethod::MultiStep : LayoutMethod::Gravity;
    NestSystem* ns = ns_.get();
    startRun(RunKind::LayoutAll, [ns, method](const std::atomic<bool>& stop) {
        orvo::layoutAll(*ns, method, &stop);
    });
}

void MainWindow::afterLayout()
{
    showActivePlateSize();
    focusBack();
    rememberWorldBox(ns_->platesBox());
    removeProgressDisplay();
    repaintView();
}

void MainWindow::runOnActivePlate(const std::function<void(NestSystem&, const Plate&)>& method)
{
    focusBack();
    // The per-plate methods work on the active plate; before there is one they have
    // nothing to work on.
    if (!ns_ || ns_->activePlate == nullptr || layoutRunning()) return;
    NestSystem* ns = ns_.get();
    const Plate* plate = ns_->activePlate;
    startRun(RunKind::PerPlate, [ns, plate, method](const std::atomic<bool>&) { method(*ns, *plate); });
}

void MainWindow::chooseMode(Mode mode, bool resetClicks)
{
    interaction_.setMode(mode, resetClicks);
    endGestureIfDone();  // a gesture ended by the new mode is one undo step
    focusBack();
    if (!layoutRunning()) refreshStatus();
}

void MainWindow::fitAll()
{
    focusBack();
    view_.fit();
    repaintView();
    interaction_.resetClickCount();
}

void MainWindow::selectAll(bool select)
{
    focusBack();
    interaction_.setMode(Mode::SelectParts, false);
    if (ns_) select ? ns_->selectAllParts() : ns_->clearSelection();
    repaintView();
}

void MainWindow::activatePlate()
{
    if (ns_) {
        ns_->activateFirstSelectedPlate();
        ns_->clearSelection();
        showActivePlateSize();
    }
    focusBack();
    repaintView();
}

void MainWindow::changePlates(double length, double width)
{
    if (ns_) {
        beginChange();
        ns_->resizeSelectedPlates(length, width);
        endChange();
    }
    focusBack();
    repaintView();
}

void MainWindow::addPlate(double length, double width)
{
    // A size the core refuses is named in its message; no plate is added.
    if (ns_ && ns_->acceptPlateSize(length, width)) {
        beginChange();
        ns_->addPlate(length, width);
        endChange();
        rememberWorldBox(ns_->platesBox());
    }
    focusBack();
    repaintView();
}

void MainWindow::push(Direction direction)
{
    focusBack();
    if (ns_) {
        beginChange();
        pushSelected(*ns_, direction);
        endChange();
    }
    repaintView();
}

void MainWindow::packingReport()
{
    if (ns_) showPackingReport(*ns_);
    focusBack();
    repaintView();
}

void MainWindow::exportPickedPlates()
{
    if (!ns_) return;
    QStringList names;
    for (const Plate& plate : ns_->plates) {
        if (plate.selected) names << QString::fromStdString(plateFileName(plate.id));
    }
    if (!orvo::exportPickedPlates(*ns_)) return;
    if (names.isEmpty()) {
        status_->announce(tr("没有选中的母板, 未写入文件"));
    } else {
        announceFiles(names);
    }
}

void MainWindow::exportAllPlates()
{
    if (ns_ && orvo::exportAllPlates(*ns_)) announceFiles({QString::fromLatin1(kAllPlatesFileName)});
}

void MainWindow::exportPackingInfo()
{
    saveLayout(true);
}

void MainWindow::importPackingInfo()
{
    const QString path = chooseFile(FileDialogKind::PackingInfoImport);
    if (path.isEmpty() || !ns_ || !settleUnsavedWork(true)) return;
    beginChange();
    const bool imported = orvo::importPackingInfo(*ns_, path.toStdString());
    endChange(ChangeKind::Replace);
    if (!imported) return;
    history_.markSaved();  // the layout is the file's
    showActivePlateSize();
    focusBack();
    rememberWorldBox(ns_->platesBox());
    repaintView();
}

void MainWindow::setRotationNumber(int rn)
{
    if (!ns_) return;
    ns_->setRotationNumber(rn);
    repaintView();
}

void MainWindow::setPackingPointDistance(double ppd, bool regenerate)
{
    if (!ns_) return;
    const bool taken = ns_->setPackingPointDistance(ppd);
    if (taken && regenerate && !ns_->plates.empty() && ns_->activePlate != nullptr) {
        ns_->generatePackingPoints(*ns_->activePlate);
    }
    repaintView();
}

void MainWindow::focusBack()
{
    activateWindow();
    canvas_->setFocus();
}

void MainWindow::repaintView()
{
    canvas_->update();
    // During a run the document belongs to the worker; the status follows when it ends.
    if (!layoutRunning()) refreshStatus();
}

void MainWindow::canvasResized(int width, int height)
{
    view_.setClientSize(width, height, worldBox_);
    if (progressBar_ != nullptr) {
        progressBar_->move(width / 2 - 210, height - 50);
        progressText_->move(width / 2 - 210, height - 20);
    }
    if (cancelButton_ != nullptr) cancelButton_->move(width / 2 + 215, height - 50);
}

void MainWindow::rememberWorldBox(const BoundingBox& box)
{
    worldBox_ = box;
    view_.setWorldBox(box);
}

void MainWindow::showActivePlateSize()
{
    if (!kit_ || !ns_ || ns_->activePlate == nullptr) return;
    const BoundingBox& b = ns_->activePlate->outerBox;
    kit_->showPlateSize(boxWidth(b), boxHeight(b));
}

void MainWindow::showProgressDisplay()
{
    removeProgressDisplay();
    const int w = canvas_->width();
    const int h = canvas_->height();
    progressBar_ = new QProgressBar(canvas_);
    progressBar_->setGeometry(w / 2 - 210, h - 50, 420, 30);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    progressText_ = new QLabel(tr("排样"), canvas_);
    progressText_->setGeometry(w / 2 - 210, h - 20, 420, 20);
    progressText_->setAlignment(Qt::AlignCenter);
    progressText_->setAutoFillBackground(true);
    progressBar_->show();
    progressText_->show();
    platform_.setStatusText("排样中... 0%");  // shown as the core's texts are
}

void MainWindow::removeProgressDisplay()
{
    delete progressBar_;
    delete progressText_;
    progressBar_ = nullptr;
    progressText_ = nullptr;
}

void MainWindow::showCancelButton(const QString& caption)
{
    delete cancelButton_;
    cancelButton_ = new QPushButton(caption, canvas_);
    cancelButton_->setGeometry(canvas_->width() / 2 + 215, canvas_->height() - 50, 80, 30);
    cancelButton_->setFocusPolicy(Qt::NoFocus);
    connect(cancelButton_, &QPushButton::clicked, this, &MainWindow::cancelRun);
    cancelButton_->show();
}

void MainWindow::removeCancelButton()
{
    delete cancelButton_;
    cancelButton_ = nullptr;
}

void MainWindow::setWorldBoxAndFit(const BoundingBox& world) { rememberWorldBox(world); }

void MainWindow::showTextFile(const std::string& path, bool openWindow)
{
    // The report marks the conflicts it found by selecting them.
    const QString absolute = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    int marked = 0;
    if (ns_) {
        for (const Part& part : ns_->nestParts) marked += part.selected;
    }
    status_->announce(marked == 0 ? tr("排样报告已写入 %1; 当前母板无冲突").arg(absolute)
                                  : tr("排样报告已写入 %1; %2 个冲突零件已选中").arg(absolute).arg(marked));
    if (!openWindow) return;
    if (!report_) {
        report_ = new ReportViewer(this);
        // The drawing keeps the keyboard: E and the arrow keys go on working while the
        // report is read.
        report_->setAttribute(Qt::WA_ShowWithoutActivating);
        connect(report_, &ReportViewer::saved, this, [this](const QString& saved) {
            status_->announce(tr("排样报告已另存为 %1").arg(QFileInfo(saved).absoluteFilePath()));
        });
    }
    report_->showFile(absolute);
    report_->show();
    report_->raise();
}

void MainWindow::repaintNow()
{
    // Called while the worker waits: the one moment a run's layout may be read.
    if (layoutRunning()) frozenScene_ = renderScene();
    canvas_->repaint();
}

void MainWindow::setProgressPercent(int percent)
{
    if (progressBar_ == nullptr) return;
    progressBar_->setValue(percent);
    progressBar_->repaint();
}

void MainWindow::setStatusText(const std::string& text)
{
    const QString t = QString::fromStdString(text);
    if (progressText_ != nullptr) {
        progressText_->setText(t);
        progressText_->repaint();
    }
    emit progressTextChanged(t);
}

}  // namespace orvo
