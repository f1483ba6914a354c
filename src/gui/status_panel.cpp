#include "status_panel.h"

#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>

#include "app/layout_figures.h"
#include "nesting/nest_system.h"

namespace orvo {

namespace {

constexpr int kNoticeMilliseconds = 60000;

QLabel* addFigure(QStatusBar& bar)
{
    auto* label = new QLabel(&bar);
    label->setContentsMargins(6, 0, 6, 0);
    bar.addPermanentWidget(label);
    return label;
}

QString number(double value) { return QString::number(value, 'f', 1); }

}  // namespace

StatusPanel::StatusPanel(QStatusBar& bar)
    : QObject(&bar), bar_(&bar), library_(addFigure(bar)), mode_(addFigure(bar)),
      selection_(addFigure(bar)), plate_(addFigure(bar))
{
    refresh(nullptr, Mode::None, QString(), 0);
}

QString StatusPanel::modeName(Mode mode)
{
    switch (mode) {
    case Mode::None: return tr("无");
    case Mode::SelectParts: return tr("选择零件 (S)");
    case Mode::SelectPlates: return tr("选择母板");
    case Mode::Pan: return tr("平移 (P)");
    case Mode::MoveParts: return tr("移动零件 (M)");
    case Mode::MovePlates: return tr("移动母板 (O)");
    case Mode::ZoomWindow: return tr("窗口缩放 (Z)");
    case Mode::RotateParts: return tr("旋转零件 (R)");
    }
    return {};
}

void StatusPanel::refresh(const NestSystem* ns, Mode mode, const QString& libraryPath, int conflicts)
{
    if (libraryPath.isEmpty()) {
        library_->setText(tr("未打开零件库"));
        library_->setToolTip({});
    } else {
        library_->setText(tr("零件库: %1").arg(QFileInfo(libraryPath).fileName()));
        library_->setToolTip(QFileInfo(libraryPath).absoluteFilePath());
    }
    mode_->setText(tr("模式: %1").arg(modeName(mode)));

    if (ns == nullptr) {
        selection_->setText(tr("未选中"));
        plate_->setText(tr("无当前母板"));
        return;
    }
    const SelectionFigures s = selectionFigures(*ns);
    QString selection;
    if (s.partCount == 0 && s.plateCount == 0) {
        selection = tr("未选中");
    } else {
        QStringList parts;
        if (s.partCount > 0) {
            QStringList names;
            for (const std::string& name : s.names) names << QString::fromStdString(name);
            if (s.partCount > static_cast<int>(s.names.size())) names << QStringLiteral("...");
            parts << tr("选中零件 %1: %2").arg(s.partCount).arg(names.join(QStringLiteral(", ")));
            if (s.singleBoxKnown) {
                parts.last() += tr(" (%1 x %2 mm)").arg(number(s.singleLength), number(s.singleWidth));
            }
        }
        if (s.plateCount > 0) parts << tr("选中母板 %1").arg(s.plateCount);
        selection = parts.join(QStringLiteral("; "));
    }
    selection_->setText(selection);

    const PlateFigures active = activePlateFigures(*ns);
    QString plate = active.partCount < 0
                        ? tr("无当前母板")
                        : tr("当前母板 %1: %2 个零件, 利用率 %3%")
                              .arg(active.plateId)
                              .arg(active.partCount)
                              .arg(number(active.utilisation));
    if (conflicts > 0) plate += tr("; 冲突零件 %1").arg(conflicts);
    plate_->setText(plate);
}

void StatusPanel::announce(const QString& text) { bar_->showMessage(text, kNoticeMilliseconds); }

QString StatusPanel::libraryText() const { return library_->text(); }
QString StatusPanel::modeText() const { return mode_->text(); }
QString StatusPanel::selectionText() const { return selection_->text(); }
QString StatusPanel::plateText() const { return plate_->text(); }
QString StatusPanel::lastNotice() const { return bar_->currentMessage(); }

}  // namespace orvo
