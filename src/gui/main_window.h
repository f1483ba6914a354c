#pragma once

#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>

#include "app/interaction.h"
#include "app/layout_figures.h"
#include "app/undo_history.h"
#include "app/view_transform.h"
#include "nesting/push.h"
#include "qt_platform.h"
#include "scene_painter.h"

class QAction;
class QDialog;
class QDockWidget;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;

namespace orvo {

class LayoutCanvas;
class LayoutWorker;
class NestSystem;
struct Job;
class PackingKit;
class RenewDialog;
class ReportViewer;
class StatusPanel;

// The four file dialogs of the program.
enum class FileDialogKind { PartLibrary, LayoutDxf, PackingInfoExport, PackingInfoImport };

// The answer to "the layout has not been saved": save it first, go on without it, or
// give up the command.
enum class UnsavedChoice { Save, Discard, Cancel };

// What runs in the layout worker. Cancel puts the layout back as it was before a
// LayoutAll or PerPlate run; Stop keeps the best layout an Optimise run has found.
enum class RunKind { LayoutAll, PerPlate, Optimise };

// The main window: it owns the document (at most one NestSystem), the view, the
// interaction state, the View settings, the two modeless dialogs and the progress
// display, and carries out the commands of the menu and the Packing Kit.
class MainWindow : public QMainWindow, private ProgressView {
    Q_OBJECT

public:
    // Chooses a file for a dialog kind; an empty name means cancelled.
    using FileChooser = std::function<QString(FileDialogKind)>;
    // Answers the question about unsaved work; tests answer it themselves.
    using UnsavedPrompt = std::function<UnsavedChoice()>;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    NestSystem* nestSystem() { return ns_.get(); }
    ViewTransform& view() { return view_; }
    Interaction& interaction() { return interaction_; }
    QtPlatform& platform() { return platform_; }
    LayoutCanvas* canvas() { return canvas_; }
    PackingKit* packingKit();
    RenewDialog* renewDialog();
    const SceneOptions& sceneOptions() const { return options_; }
    // The scene as the next repaint draws it.
    QImage renderScene() const;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    void setUnsavedPrompt(UnsavedPrompt prompt) { unsavedPrompt_ = std::move(prompt); }
    const UndoHistory& history() const { return history_; }
    // A layout method runs in the worker: every command that changes or reads the
    // document waits (its buttons and menu items are disabled), the drawing shows the
    // layout as of the method's last progress call.
    bool layoutRunning() const;
    // Cancel (Stop for Optimise) of the progress display; null while nothing runs.
    QPushButton* runCancelButton() { return cancelButton_; }
    double optimiseSeconds() const { return optimiseSeconds_; }
    QProgressBar* progressBar() { return progressBar_; }
    QLabel* progressText() { return progressText_; }
    QDockWidget* kitDock() { return kitDock_; }
    StatusPanel* statusPanel() { return status_; }
    // The packing report's window, once a report was shown in it.
    ReportViewer* reportViewer();
    QDialog* keyHelp();
    // Parts that overlap another part or leave their plate's inner box, as last drawn.
    const ConflictTracker& conflicts() const { return conflicts_; }
    const QString& libraryPath() const { return libraryPath_; }
    // Libraries opened lately, the latest first.
    QStringList recentFiles() const;

    // Opens a part library in place of the current one; the current one stays when the
    // file cannot be read.
    bool openLibrary(const QString& path);
    // The same for a job (a job file opens through openLibrary).
    bool openJobParts(const Job& job);
    // "Import DXF Parts...": the files in the import dialog, then their job.
    void importParts(const QStringList& files);

    // Commands (menu and Packing Kit).
    void commandOpenLibrary();
    void commandImportDxfParts();
    void commandLayoutInDxf();
    void commandExportParts();
    void commandPackingKit();
    void commandRenewDialog();
    void commandBackground(int index);
    void commandTogglePackingPoints();
    void commandToggleOffsetParts();
    void commandOpenRecent(const QString& path);
    void commandKeyHelp();
    void commandExit();
    // Removes the Packing Kit and hides its dock (OK and Cancel of the kit).
    void closePackingKit();

    void layoutAll(bool multiStep);
    // Layout All "optimise" with a time budget in seconds; a budget out of range is
    // refused with a message.
    void layoutAllOptimise(double seconds);
    void commandLayoutAllOptimise();
    void runOnActivePlate(const std::function<void(NestSystem&, const Plate&)>& method);
    // Ends the run: Layout All and the per-plate methods put the layout back as it was,
    // Optimise keeps its best layout.
    void cancelRun();
    void undo();
    void redo();
    // Writes the packing-information file chosen in the save dialog; true when written.
    // The status bar names the file; with `notice` a message box does too.
    bool saveLayout(bool notice = false);
    // Brackets a change to the layout for undo: begin before anything moves, end once it
    // is complete (a mouse gesture ends when its click count is back at 0).
    void beginChange();
    void endChange(ChangeKind kind = ChangeKind::Edit);
    void endGestureIfDone();
    // Ends a gesture in progress as Esc does, keeping what it has changed as one step.
    void endGesture();
    // What the drawing area shows: the scene, or during a run its last progress picture.
    QImage sceneImage() const;
    void chooseMode(Mode mode, bool resetClicks);
    void fitAll();
    void selectAll(bool select);
    void activatePlate();
    void changePlates(double length, double width);
    void addPlate(double length, double width);
    void push(Direction direction);
    void packingReport();
    void exportPickedPlates();
    void exportAllPlates();
    void exportPackingInfo();
    void importPackingInfo();
    void setRotationNumber(int rn);
    // With regenerate, the active plate's packing points follow the new distance.
    void setPackingPointDistance(double ppd, bool regenerate);

    // Gives the keyboard to the drawing area again after a tool button.
    void focusBack();
    void repaintView();
    // Brings the conflict marks and the status bar up to the document (every paint).
    void refreshStatus();
    // The window's resize of the drawing area reaches the view here.
    void canvasResized(int width, int height);

signals:
    void progressTextChanged(const QString& text);
    // A run of the layout worker has ended and the window shows its result.
    void runFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setWorldBoxAndFit(const BoundingBox& world) override;
    void repaintNow() override;
    void setProgressPercent(int percent) override;
    void setStatusText(const std::string& text) override;
    void showTextFile(const std::string& path, bool openWindow) override;

    void buildMenu();
    void rebuildRecentMenu();
    void rememberRecent(const QString& path);
    void updateTitle();
    // Tells in the status bar which files a command wrote, and where.
    void announceFiles(const QStringList& names);
    QString outputFolder() const;
    // Opens into a fresh NestSystem; it replaces the current one only when open says so.
    bool openWith(const std::function<bool(NestSystem&)>& open);
    QString chooseFile(FileDialogKind kind);
    void rememberWorldBox(const BoundingBox& box);
    void showProgressDisplay();
    void removeProgressDisplay();
    void showCancelButton(const QString& caption);
    void removeCancelButton();
    void afterLayout();
    void showActivePlateSize();
    bool startRun(RunKind kind, std::function<void(const std::atomic<bool>&)> job);
    void runEnded();
    void setRunning(bool running);
    void updateUndoActions();
    // True when the command may go on: nothing unsaved at risk, or the user saved it or
    // chose to discard it. onlyHandEdits: only edits made in place since the last save or
    // Layout All are at risk (Layout All and import replace the layout, undoably).
    bool settleUnsavedWork(bool onlyHandEdits);
    UnsavedChoice askUnsaved();

    QtPlatform platform_;
    std::unique_ptr<NestSystem> ns_;
    ViewTransform view_;
    Interaction interaction_{view_};
    BoundingBox worldBox_;
    SceneOptions options_;
    LayoutCanvas* canvas_ = nullptr;
    QPointer<PackingKit> kit_;
    QPointer<RenewDialog> renew_;
    QProgressBar* progressBar_ = nullptr;
    QLabel* progressText_ = nullptr;
    FileChooser chooseFile_;
    QString lastFiles_[4];
    QAction* blackAction_ = nullptr;
    QAction* greyAction_ = nullptr;
    QDockWidget* kitDock_ = nullptr;
    StatusPanel* status_ = nullptr;
    QPointer<ReportViewer> report_;
    QPointer<QDialog> keyHelp_;
    QMenu* recentMenu_ = nullptr;
    QString libraryPath_;
    // Brought up to date by each paint; it keeps what it tested, so it changes there.
    mutable ConflictTracker conflicts_;

    UndoHistory history_;
    LayoutWorker* worker_ = nullptr;
    RunKind runKind_ = RunKind::LayoutAll;
    QImage frozenScene_;
    QPushButton* cancelButton_ = nullptr;
    bool closeAfterRun_ = false;
    double optimiseSeconds_ = 60.0;
    UnsavedPrompt unsavedPrompt_;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    // Menu items that change or read the document, disabled while a method runs.
    QList<QAction*> documentActions_;
};

}  // namespace orvo
