#pragma once

#include <QObject>
#include <QString>

#include "app/interaction.h"

class QLabel;
class QStatusBar;

namespace orvo {

class NestSystem;

// The figures in the status bar below the drawing: the library file, the mode, the
// selection (count, names, the box of a single part) and the active plate's utilisation.
// Notices of the last command (which files an export wrote, and where) appear on the
// left for a while and leave the figures in place.
class StatusPanel : public QObject {
    Q_OBJECT

public:
    explicit StatusPanel(QStatusBar& bar);

    void refresh(const NestSystem* ns, Mode mode, const QString& libraryPath, int conflicts);
    // A notice of what a command did; stays until the next notice or a minute passed.
    void announce(const QString& text);

    QString libraryText() const;
    QString modeText() const;
    QString selectionText() const;
    QString plateText() const;
    QString lastNotice() const;

    // The name of a mode as the status bar shows it, with its key.
    static QString modeName(Mode mode);

private:
    QStatusBar* bar_;
    QLabel* library_;
    QLabel* mode_;
    QLabel* selection_;
    QLabel* plate_;
};

}  // namespace orvo
