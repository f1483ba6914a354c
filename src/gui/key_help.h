#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace orvo {

// The tooltip of a Packing Kit button: what it does and the key that does the same
// ("无" when there is none). Empty for a caption the kit does not have.
QString kitButtonTip(const QString& caption);

// The short help page of the keys (F1), as rich text.
QString keyHelpText();
// A window with that page; the caller owns it (parented to parent).
QDialog* createKeyHelpDialog(QWidget* parent);

}  // namespace orvo
