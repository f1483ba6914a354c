#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

#include "app/interaction.h"
#include "app/view_transform.h"
#include "nesting/push.h"
#include "qt_platform.h"
#include "scene_painter.h"

class QAction;
class QLabel;
class QProgressBar;

namespace orvo {

class LayoutCanvas;
class NestSystem;
struct Job;
class PackingKit;
class RenewDialog;

// The four file dialogs of the program.
enum class FileDialogKind { PartLibrary, LayoutDxf, PackingInfoExport, PackingInfoImport };

// The main window: it owns the document (at most one NestSystem), the view, the
// interaction state, the View settings, the two modeless dialogs and the progress
// display, and carries out the commands of the menu and the Packing Kit.
class MainWindow : public QMainWindow, private ProgressView {
    Q_OBJECT

public:
    // Chooses a file for a dialog kind; an empty name means cancelled.
    using FileChooser = std::function<QString(FileDialogKind)>;

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
    QProgressBar* progressBar() { return progressBar_; }
    QLabel* progressText() { return progressText_; }

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

    void layoutAll(bool multiStep);
    void runOnActivePlate(const std::function<void(NestSystem&, const Plate&)>& method);
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
    // The window's resize of the drawing area reaches the view here.
    void canvasResized(int width, int height);

signals:
    void progressTextChanged(const QString& text);

private:
    void setWorldBoxAndFit(const BoundingBox& world) override;
    void repaintNow() override;
    void setProgressPercent(int percent) override;
    void setStatusText(const std::string& text) override;

    void buildMenu();
    // Opens into a fresh NestSystem; it replaces the current one only when open says so.
    bool openWith(const std::function<bool(NestSystem&)>& open);
    QString chooseFile(FileDialogKind kind);
    void rememberWorldBox(const BoundingBox& box);
    void showProgressDisplay();
    void removeProgressDisplay();
    void afterLayout();
    void showActivePlateSize();

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
};

}  // namespace orvo
