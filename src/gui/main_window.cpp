#include "main_window.h"

#include <QActionGroup>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>

#include "app/layout_dxf.h"
#include "layout_canvas.h"
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
        return {"Text Files (*.preSrc);;Job Files (*.json)", "Packing system file in Pavon format", "preSrc",
                false};
    case FileDialogKind::LayoutDxf:
        // Both spellings, so that a native dialog on a case-sensitive file system
        // lists "x.dxf" as well as "X.DXF".
        return {"Text Files (*.DXF *.dxf)", "Layout file in DXF format", "dxf", true};
    case FileDialogKind::PackingInfoExport:
        return {"Text Files (*.txt)", "Packing Information File", "txt", true};
    case FileDialogKind::PackingInfoImport:
        return {"Text Files (*.txt)", "Packing Information File", "txt", false};
    }
    return {"", "", "", false};
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), platform_(*this, *this)
{
    setWindowTitle(QStringLiteral("OrvoPacking"));
    canvas_ = new LayoutCanvas(*this);
    setCentralWidget(canvas_);
    buildMenu();
    resize(1000, 700);
    canvas_->setFocus();
}

MainWindow::~MainWindow() = default;

PackingKit* MainWindow::packingKit() { return kit_.data(); }

RenewDialog* MainWindow::renewDialog() { return renew_.data(); }

void MainWindow::buildMenu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("OpenLibIn&HD"), this, &MainWindow::commandOpenLibrary);
    file->addAction(QStringLiteral("Import DXF Parts..."), this, &MainWindow::commandImportDxfParts);
    file->addAction(QStringLiteral("LayoutIn&Dxf"), this, &MainWindow::commandLayoutInDxf);
    file->addAction(QStringLiteral("ExportParts(*.dxf)"), this, &MainWindow::commandExportParts);

    QMenu* layout = menuBar()->addMenu(QStringLiteral("&Layout"));
    layout->addAction(QStringLiteral("Packing Kit"), this, &MainWindow::commandPackingKit);
    layout->addAction(QStringLiteral("&Renew_RN_PPD"), this, &MainWindow::commandRenewDialog);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    auto* backgrounds = new QActionGroup(this);
    blackAction_ = view->addAction(QStringLiteral("&Black Background"), this,
                                   [this] { commandBackground(0); });
    greyAction_ = view->addAction(QStringLiteral("&Gray Background"), this,
                                  [this] { commandBackground(1); });
    for (QAction* a : {blackAction_, greyAction_}) {
        a->setCheckable(true);
        backgrounds->addAction(a);
    }
    blackAction_->setChecked(true);
    QAction* points = view->addAction(QStringLiteral("PPT_Visible"), this,
                                      &MainWindow::commandTogglePackingPoints);
    points->setCheckable(true);
    points->setChecked(options_.showPackingPoints);
    points->setToolTip(QStringLiteral("Packing Points Visible"));
    QAction* offsets = view->addAction(QStringLiteral("OffsetedPartVisible"), this,
                                       &MainWindow::commandToggleOffsetParts);
    offsets->setCheckable(true);
    offsets->setChecked(options_.showOffsetParts);
}

QImage MainWindow::renderScene() const
{
    return orvo::renderScene(canvas_->size(), ns_.get(), view_, interaction_, options_);
}

QString MainWindow::chooseFile(FileDialogKind kind)
{
    if (chooseFile_) return chooseFile_(kind);
    const FileDialogSetup setup = dialogSetup(kind);
    QFileDialog dialog(this, QString::fromUtf8(setup.title));
    dialog.setNameFilters(QString::fromUtf8(setup.filter).split(QStringLiteral(";;")));
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
    return openWith([&](NestSystem& ns) { return openPartsFile(ns, path.toStdString()) == LibraryStatus::Opened; });
}

bool MainWindow::openJobParts(const Job& job)
{
    return openWith([&](NestSystem& ns) { return openJob(ns, job, {}) == LibraryStatus::Opened; });
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
    delete kit_.data();
    delete renew_.data();
    const QStringList files = ImportDialog::chooseFiles(this);
    if (!files.isEmpty()) importParts(files);
}

bool MainWindow::openWith(const std::function<bool(NestSystem&)>& open)
{
    // The open library stays until the new one has been read.
    auto fresh = std::make_unique<NestSystem>(platform_, ".");
    if (!open(*fresh)) return false;
    ns_ = std::move(fresh);
    rememberWorldBox(ns_->nestParts.empty() ? BoundingBox{} : ns_->nestParts.front().box);
    repaintView();
    commandPackingKit();
    return true;
}

void MainWindow::commandOpenLibrary()
{
    delete kit_.data();
    delete renew_.data();
    const QString path = chooseFile(FileDialogKind::PartLibrary);
    if (!path.isEmpty()) openLibrary(path);
}

void MainWindow::commandLayoutInDxf()
{
    const QString path = chooseFile(FileDialogKind::LayoutDxf);
    if (!path.isEmpty() && ns_) exportLayoutDxf(*ns_, path.toStdString());
}

void MainWindow::commandExportParts()
{
    if (ns_) exportPartFiles(*ns_);
}

void MainWindow::commandPackingKit()
{
    delete kit_.data();
    kit_ = new PackingKit(*this);
    if (ns_) kit_->showPlateSize(ns_->plateLength, ns_->plateWidth);
    kit_->move(frameGeometry().topRight() + QPoint(8, 0));
    kit_->show();
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
    if (!ns_) return;
    showProgressDisplay();
    orvo::layoutAll(*ns_, multiStep ? LayoutMethod::MultiStep : LayoutMethod::Gravity);
    afterLayout();
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
    if (!ns_ || ns_->activePlate == nullptr) return;
    method(*ns_, *ns_->activePlate);
    repaintView();
}

void MainWindow::chooseMode(Mode mode, bool resetClicks)
{
    interaction_.setMode(mode, resetClicks);
    focusBack();
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
    if (ns_) ns_->resizeSelectedPlates(length, width);
    focusBack();
    repaintView();
}

void MainWindow::addPlate(double length, double width)
{
    // A size the core refuses is named in its message; no plate is added.
    if (ns_ && ns_->acceptPlateSize(length, width)) {
        ns_->addPlate(length, width);
        rememberWorldBox(ns_->platesBox());
    }
    focusBack();
    repaintView();
}

void MainWindow::push(Direction direction)
{
    focusBack();
    if (ns_) pushSelected(*ns_, direction);
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
    if (ns_) orvo::exportPickedPlates(*ns_);
}

void MainWindow::exportAllPlates()
{
    if (ns_) orvo::exportAllPlates(*ns_);
}

void MainWindow::exportPackingInfo()
{
    const QString path = chooseFile(FileDialogKind::PackingInfoExport);
    if (!path.isEmpty() && ns_) orvo::exportPackingInfo(*ns_, path.toStdString());
}

void MainWindow::importPackingInfo()
{
    const QString path = chooseFile(FileDialogKind::PackingInfoImport);
    if (path.isEmpty() || !ns_) return;
    if (!orvo::importPackingInfo(*ns_, path.toStdString())) return;
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

void MainWindow::repaintView() { canvas_->update(); }

void MainWindow::canvasResized(int width, int height)
{
    view_.setClientSize(width, height, worldBox_);
    if (progressBar_ != nullptr) {
        progressBar_->move(width / 2 - 210, height - 50);
        progressText_->move(width / 2 - 210, height - 20);
    }
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
    progressText_ = new QLabel(QStringLiteral("排样"), canvas_);
    progressText_->setGeometry(w / 2 - 210, h - 20, 420, 20);
    progressText_->setAlignment(Qt::AlignCenter);
    progressText_->setAutoFillBackground(true);
    progressBar_->show();
    progressText_->show();
    setStatusText("排样中... 0%");
}

void MainWindow::removeProgressDisplay()
{
    delete progressBar_;
    delete progressText_;
    progressBar_ = nullptr;
    progressText_ = nullptr;
}

void MainWindow::setWorldBoxAndFit(const BoundingBox& world) { rememberWorldBox(world); }

void MainWindow::repaintNow() { canvas_->repaint(); }

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
