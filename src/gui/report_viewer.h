#pragma once

#include <QByteArray>
#include <QDialog>
#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace orvo {

// The packing report in a window of the program: the file's text decoded from GBK, read
// only, with "Save As" that copies the file byte for byte (GBK, CR LF) to a place of the
// user's choice. One window serves every report; a new report replaces the shown one.
class ReportViewer : public QDialog {
    Q_OBJECT

public:
    // Chooses the file for Save As; an empty name means cancelled.
    using SaveChooser = std::function<QString(const QString& suggested)>;

    explicit ReportViewer(QWidget* parent);

    // Reads the file anew; false (and an explanation in the window) when it cannot.
    bool showFile(const QString& path);
    // Copies the shown file's bytes to path; false when it cannot be written.
    bool saveAs(const QString& path);

    QString text() const;
    QString path() const { return path_; }
    QPushButton* saveButton() const { return save_; }
    void setSaveChooser(SaveChooser chooser) { chooseSave_ = std::move(chooser); }

signals:
    // After Save As wrote the file.
    void saved(const QString& path);

private:
    void saveAsClicked();

    QPlainTextEdit* text_;
    QPushButton* save_;
    QString path_;
    QByteArray bytes_;
    SaveChooser chooseSave_;
};

}  // namespace orvo
