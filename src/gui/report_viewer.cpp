#include "report_viewer.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include "base/text_encoding.h"

namespace orvo {

ReportViewer::ReportViewer(QWidget* parent) : QDialog(parent)
{
    setModal(false);
    resize(560, 420);
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(this);
    save_ = buttons->addButton(tr("另存为..."), QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setText(tr("关闭"));
    connect(save_, &QPushButton::clicked, this, &ReportViewer::saveAsClicked);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
}

bool ReportViewer::showFile(const QString& path)
{
    path_ = path;
    setWindowTitle(tr("排样报告 - %1").arg(QFileInfo(path).fileName()));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        bytes_.clear();
        text_->setPlainText(tr("文件\"%1\"无法读取: %2").arg(path, file.errorString()));
        save_->setEnabled(false);
        return false;
    }
    bytes_ = file.readAll();
    // The report is written in GBK with CR LF line ends; the window shows plain lines.
    const std::string utf8 = gbkToUtf8(std::string_view(bytes_.constData(), bytes_.size()));
    QString shown = QString::fromStdString(utf8);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text_->setPlainText(shown);
    save_->setEnabled(true);
    return true;
}

bool ReportViewer::saveAs(const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes_) != bytes_.size() || !file.commit()) {
        return false;
    }
    emit saved(path);
    return true;
}

QString ReportViewer::text() const { return text_->toPlainText(); }

void ReportViewer::saveAsClicked()
{
    const QString suggested = path_;
    QString target;
    if (chooseSave_) {
        target = chooseSave_(suggested);
    } else {
        target = QFileDialog::getSaveFileName(this, tr("排样报告另存为"), suggested,
                                              QStringLiteral("Text Files (*.txt)"));
    }
    if (target.isEmpty()) return;
    if (!saveAs(target)) {
        QMessageBox::warning(this, QStringLiteral("Warning!"),
                             tr("文件\"%1\"保存失败!").arg(target));
    }
}

}  // namespace orvo
