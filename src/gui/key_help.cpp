#include "key_help.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace orvo {

namespace {

struct ButtonHelp {
    const char* caption;
    const char* text;
    const char* key;  // null: no key
};

// Every button of the Packing Kit, with the key of the drawing area that does the same.
const ButtonHelp kButtons[] = {
    {"Layout All\nMultiple Steps", QT_TRANSLATE_NOOP("KeyHelp", "多步法排放所有零件, 按需添加母板"), nullptr},
    {"Layout All\nHAPE", QT_TRANSLATE_NOOP("KeyHelp", "重力法排放所有零件, 按需添加母板"), nullptr},
    {"Layout All\nOptimise", QT_TRANSLATE_NOOP("KeyHelp", "在给定的秒数内优化排放所有零件, 停止时保留最好的排样"), nullptr},
    {"撤销", QT_TRANSLATE_NOOP("KeyHelp", "撤销上一次排样修改"), "Ctrl+Z"},
    {"重做", QT_TRANSLATE_NOOP("KeyHelp", "重做撤销的排样修改"), "Ctrl+Y"},
    {"HAPE", QT_TRANSLATE_NOOP("KeyHelp", "重力法把选中零件排到当前母板"), nullptr},
    {"MultiSteps", QT_TRANSLATE_NOOP("KeyHelp", "多步法把选中零件排到当前母板"), nullptr},
    {"BoxStacking", QT_TRANSLATE_NOOP("KeyHelp", "包围盒堆叠法把选中零件排到当前母板"), nullptr},
    {"ShapeMatch", QT_TRANSLATE_NOOP("KeyHelp", "形状匹配法把选中零件排到当前母板"), nullptr},
    {"Select Part(s)", QT_TRANSLATE_NOOP("KeyHelp", "选择零件: 单击零件, 或两次单击拉框"), "S"},
    {"Select Plt(s)", QT_TRANSLATE_NOOP("KeyHelp", "选择母板: 单击母板, 或两次单击拉框"), nullptr},
    {"Select All", QT_TRANSLATE_NOOP("KeyHelp", "选中所有零件"), "Shift+A"},
    {"Select None", QT_TRANSLATE_NOOP("KeyHelp", "取消所有选择"), "Esc"},
    {"Move Part(s)", QT_TRANSLATE_NOOP("KeyHelp", "移动选中零件: 单击起点, 再单击终点"), "M"},
    {"Rotate Part(s)", QT_TRANSLATE_NOOP("KeyHelp", "旋转选中零件: 单击旋转中心, 再按 A/C 或转动滚轮"), "R"},
    {"Move Plate(s)", QT_TRANSLATE_NOOP("KeyHelp", "移动选中母板及其上的零件"), "O"},
    {"Pan", QT_TRANSLATE_NOOP("KeyHelp", "平移视图: 单击起点, 再单击终点"), "P"},
    {"Zoom", QT_TRANSLATE_NOOP("KeyHelp", "窗口缩放: 两次单击拉框"), "Z"},
    {"All", QT_TRANSLATE_NOOP("KeyHelp", "显示全部"), "X"},
    {"Activate Plt", QT_TRANSLATE_NOOP("KeyHelp", "把第一个选中的母板设为当前母板"), nullptr},
    {"Change", QT_TRANSLATE_NOOP("KeyHelp", "把选中母板改为 PltL x PltW"), nullptr},
    {"Add", QT_TRANSLATE_NOOP("KeyHelp", "添加一块 PltL x PltW 的母板"), nullptr},
    {"Left Contact", QT_TRANSLATE_NOOP("KeyHelp", "选中零件向左推到接触"), "←"},
    {"Right Contact", QT_TRANSLATE_NOOP("KeyHelp", "选中零件向右推到接触"), "→"},
    {"Up Contact", QT_TRANSLATE_NOOP("KeyHelp", "选中零件向上推到接触"), "↑"},
    {"Down Contact", QT_TRANSLATE_NOOP("KeyHelp", "选中零件向下推到接触"), "↓"},
    {"Packing Report", QT_TRANSLATE_NOOP("KeyHelp", "检查当前母板的冲突并显示排样报告"), "E"},
    {"Export\nPicked Plate(s)", QT_TRANSLATE_NOOP("KeyHelp", "选中母板各输出一个 DXF 文件"), nullptr},
    {"Export\nAll Plates", QT_TRANSLATE_NOOP("KeyHelp", "所有母板输出到 AllPlts.dxf"), nullptr},
    {"Export PckInfo", QT_TRANSLATE_NOOP("KeyHelp", "保存排样信息文件"), "Ctrl+S"},
    {"Import PckInfo", QT_TRANSLATE_NOOP("KeyHelp", "读取排样信息文件"), nullptr},
    {"OK", QT_TRANSLATE_NOOP("KeyHelp", "关闭排样工具箱"), nullptr},
    {"Cancel", QT_TRANSLATE_NOOP("KeyHelp", "关闭排样工具箱"), nullptr},
};

// Keys of the drawing area and the window that no button carries.
const char* const kOtherKeys[][2] = {
    {"A / C", QT_TRANSLATE_NOOP("KeyHelp", "旋转模式中逆时针 / 顺时针旋转选中零件 15°")},
    {"T", QT_TRANSLATE_NOOP("KeyHelp", "翻转第一个选中的零件")},
    {QT_TRANSLATE_NOOP("KeyHelp", "滚轮"), QT_TRANSLATE_NOOP("KeyHelp", "以光标为中心缩放; 旋转模式中旋转选中零件")},
    {"Ctrl+O", QT_TRANSLATE_NOOP("KeyHelp", "打开零件库 (OpenLibIn&HD)")},
    {"Ctrl+Q", QT_TRANSLATE_NOOP("KeyHelp", "退出程序")},
    {"F1", QT_TRANSLATE_NOOP("KeyHelp", "本帮助")},
};

QString helpText(const char* text) { return QCoreApplication::translate("KeyHelp", text); }

QString row(const QString& key, const QString& text)
{
    return QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
        .arg(key.toHtmlEscaped(), text.toHtmlEscaped());
}

}  // namespace

QString kitButtonTip(const QString& caption)
{
    for (const ButtonHelp& b : kButtons) {
        // The caption as shown may be the kit's translation of the source caption.
        if (caption != QString::fromUtf8(b.caption) &&
            caption != QCoreApplication::translate("orvo::PackingKit", b.caption)) {
            continue;
        }
        const QString key = b.key != nullptr ? QString::fromUtf8(b.key) : QCoreApplication::translate("KeyHelp", "无");
        return helpText(b.text) + QLatin1Char('\n') + QCoreApplication::translate("KeyHelp", "按键: %1").arg(key);
    }
    return {};
}

QString keyHelpText()
{
    QString html = QStringLiteral("<h3>%1</h3><table cellspacing='4'>").arg(QCoreApplication::translate("KeyHelp", "按键一览"));
    for (const ButtonHelp& b : kButtons) {
        if (b.key == nullptr) continue;
        const QString caption = QString::fromUtf8(b.caption).replace(QLatin1Char('\n'), QLatin1Char(' '));
        html += row(QString::fromUtf8(b.key), helpText(b.text) + QStringLiteral(" (") + caption + QLatin1Char(')'));
    }
    for (const auto& k : kOtherKeys) html += row(helpText(k[0]), helpText(k[1]));
    html += QStringLiteral("</table><p>%1</p>")
                .arg(QCoreApplication::translate("KeyHelp", "按键作用于绘图区; 点击排样工具箱的按钮后焦点回到绘图区.").toHtmlEscaped());
    return html;
}

QDialog* createKeyHelpDialog(QWidget* parent)
{
    auto* dialog = new QDialog(parent);
    dialog->setWindowTitle(QCoreApplication::translate("KeyHelp", "按键帮助"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* text = new QTextBrowser(dialog);
    text->setHtml(keyHelpText());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog->resize(520, 480);
    return dialog;
}

}  // namespace orvo
