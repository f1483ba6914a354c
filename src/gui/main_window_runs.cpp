// The main window's layout runs in the worker, undo and redo, and the questions that
// keep unsaved work from being lost.
#include <QAction>
#include <QFileInfo>
#include <QCloseEvent>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "base/platform.h"
#include "layout_canvas.h"
#include "layout_worker.h"
#include "main_window.h"
#include "nesting/nest_system.h"
#include "nesting/optimise.h"
#include "output/packing_info.h"
#include "packing_kit.h"
#include "renew_dialog.h"
#include "status_panel.h"

namespace orvo {

namespace {

// A day: no one waits longer at a desk for a layout.
constexpr double kMaxOptimiseSeconds = 86400.0;

}  // namespace

bool MainWindow::layoutRunning() const { return worker_ != nullptr && worker_->running(); }

QImage MainWindow::sceneImage() const { return layoutRunning() ? frozenScene_ : renderScene(); }

bool MainWindow::startRun(RunKind kind, std::function<void(const std::atomic<bool>&)> job)
{
    if (!ns_ || layoutRunning()) return false;
    runKind_ = kind;
    endGesture();  // the layout changes under a gesture in progress
    beginChange();
    if (kind == RunKind::PerPlate) {
        focusBack();
    } else {
        showProgressDisplay();
    }
    showCancelButton(kind == RunKind::Optimise ? tr("停止") : tr("取消"));
    frozenScene_ = renderScene();  // before the worker starts changing the layout
    worker_->start(std::move(job));
    setRunning(true);
    return true;
}

void MainWindow::runEnded()
{
    const bool stopped = worker_->stopRequested();
    if (stopped && runKind_ != RunKind::Optimise) {
        history_.abandon(*ns_);
    } else {
        endChange(runKind_ == RunKind::PerPlate ? ChangeKind::Edit : ChangeKind::Replace);
    }
    removeCancelButton();
    setRunning(false);
    if (runKind_ == RunKind::PerPlate) {
        repaintView();
    } else {
        afterLayout();
    }
    emit runFinished();
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        close();
    }
}

void MainWindow::cancelRun()
{
    if (!layoutRunning()) return;
    worker_->requestStop();
    if (cancelButton_ != nullptr) cancelButton_->setEnabled(false);
}

void MainWindow::setRunning(bool running)
{
    for (QAction* a : documentActions_) a->setEnabled(!running);
    if (kit_) kit_->setEnabled(!running);
    if (renew_) renew_->setEnabled(!running);
    if (!running) frozenScene_ = QImage();
    updateUndoActions();
    canvas_->update();
}

void MainWindow::updateUndoActions()
{
    const bool idle = !layoutRunning();
    const bool canUndo = idle && ns_ && history_.canUndo();
    const bool canRedo = idle && ns_ && history_.canRedo();
    undoAction_->setEnabled(canUndo);
    redoAction_->setEnabled(canRedo);
    if (kit_) kit_->showUndoRedo(canUndo, canRedo);
}

void MainWindow::layoutAllOptimise(double seconds)
{
    if (!ns_ || layoutRunning()) return;
    if (!(seconds > 0.0 && seconds <= kMaxOptimiseSeconds)) {
        platform_.showMessage(tr("优化时间错误! 须在 0 到 86400 秒之间").toStdString(),
                              kCaptionWarning);
        return;
    }
    if (!settleUnsavedWork(true)) return;
    optimiseSeconds_ = seconds;
    OptimiseSettings settings;
    settings.seconds = seconds;
    NestSystem* ns = ns_.get();
    startRun(RunKind::Optimise, [ns, settings](const std::atomic<bool>& stop) {
        optimiseLayoutAll(*ns, settings, stop);
    });
}

void MainWindow::commandLayoutAllOptimise()
{
    if (!ns_ || layoutRunning()) return;
    bool ok = false;
    const double seconds = QInputDialog::getDouble(this, tr("优化排样"), tr("优化时间(秒):"),
                                                   optimiseSeconds_, 1.0, kMaxOptimiseSeconds,
                                                   0, &ok);
    if (ok) layoutAllOptimise(seconds);
}

void MainWindow::undo()
{
    if (!ns_ || layoutRunning()) return;
    endGesture();
    if (history_.undo(*ns_)) showActivePlateSize();
    updateUndoActions();
    repaintView();
}

void MainWindow::redo()
{
    if (!ns_ || layoutRunning()) return;
    endGesture();
    if (history_.redo(*ns_)) showActivePlateSize();
    updateUndoActions();
    repaintView();
}

void MainWindow::beginChange()
{
    if (ns_) history_.begin(*ns_);
}

void MainWindow::endChange(ChangeKind kind)
{
    if (ns_) history_.commit(*ns_, kind);
    updateUndoActions();
}

void MainWindow::endGestureIfDone()
{
    if (history_.changeBegun() && interaction_.clickCount() == 0) endChange();
}

void MainWindow::endGesture()
{
    interaction_.resetClickCount();
    endGestureIfDone();
}

bool MainWindow::saveLayout(bool notice)
{
    if (!ns_ || layoutRunning()) return false;
    const QString path = chooseFile(FileDialogKind::PackingInfoExport);
    if (path.isEmpty()) return false;
    if (!orvo::exportPackingInfo(*ns_, path.toStdString())) return false;
    history_.markSaved();
    const QString text = tr("排样信息文件\"%1\"已保存").arg(QFileInfo(path).absoluteFilePath());
    status_->announce(text);
    if (notice) platform_.showMessage(text.toStdString(), kCaptionNotice);
    return true;
}

UnsavedChoice MainWindow::askUnsaved()
{
    if (unsavedPrompt_) return unsavedPrompt_();
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kCaptionNotice),
                    tr("排样已修改, 是否保存排样信息?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save: return UnsavedChoice::Save;
    case QMessageBox::Discard: return UnsavedChoice::Discard;
    default: return UnsavedChoice::Cancel;
    }
}

bool MainWindow::settleUnsavedWork(bool onlyHandEdits)
{
    if (!ns_) return true;
    const bool atRisk = onlyHandEdits ? history_.editedByHand() : history_.modified();
    if (!atRisk) return true;
    switch (askUnsaved()) {
    case UnsavedChoice::Save: return saveLayout();
    case UnsavedChoice::Discard: return true;
    case UnsavedChoice::Cancel: return false;
    }
    return false;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (layoutRunning()) {
        // The run ends first (Cancel or Stop); the window closes when it has.
        closeAfterRun_ = true;
        cancelRun();
        event->ignore();
        return;
    }
    if (!settleUnsavedWork(false)) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace orvo
