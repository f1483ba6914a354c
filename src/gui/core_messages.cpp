#include "core_messages.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <string_view>
#include <vector>

#include "base/text_encoding.h"

namespace orvo {

namespace {

constexpr const char* kContext = "CoreMessage";

// Every text that the core shows, for lupdate and for the matching. The first pattern
// that matches the whole text wins: whole messages first, then the separators of the
// lists the core builds, then the pieces those lists and messages are made of. A new
// message of the core belongs here; one missing is shown in Chinese.
const char* const kCatalogue[] = {
    // Captions.
    QT_TRANSLATE_NOOP("CoreMessage", "Warning!"),
    QT_TRANSLATE_NOOP("CoreMessage", "提示!"),

    // Opening a part library.
    QT_TRANSLATE_NOOP("CoreMessage", "零件数据文件读取失败!"),
    QT_TRANSLATE_NOOP("CoreMessage", "零件数据文件中没有零件!"),
    QT_TRANSLATE_NOOP("CoreMessage", "零件数据文件中没有可用的零件, 原因见PackError.txt!"),
    QT_TRANSLATE_NOOP("CoreMessage", "间距数据错误, 按0处理!"),
    QT_TRANSLATE_NOOP("CoreMessage", "间距数据错误! %1 %2 不能大于 %3 mm"),
    QT_TRANSLATE_NOOP("CoreMessage", "圆弧划分角度错误!"),
    QT_TRANSLATE_NOOP("CoreMessage", "弓高误差错误!"),
    QT_TRANSLATE_NOOP("CoreMessage", "起讫点距离>连接圆弧直径，生成圆弧失败!"),
    QT_TRANSLATE_NOOP("CoreMessage", "起讫点重合，生成圆弧失败!"),
    QT_TRANSLATE_NOOP("CoreMessage", "两圆求交失败!"),
    QT_TRANSLATE_NOOP("CoreMessage", "DXF 文件读取失败: %1"),

    // Jobs and part files (the entry named after the fixed text).
    QT_TRANSLATE_NOOP("CoreMessage", "作业文件错误! %1"),
    QT_TRANSLATE_NOOP("CoreMessage", "作业文件读取失败! %1"),
    QT_TRANSLATE_NOOP("CoreMessage", "零件文件不存在! %1"),
    QT_TRANSLATE_NOOP("CoreMessage", "零件文件读取失败! %1"),
    QT_TRANSLATE_NOOP("CoreMessage", "零件文件中没有零件! %1"),
    QT_TRANSLATE_NOOP("CoreMessage", "DXF文件读取失败: %1"),

    // Plates, rotation number and packing points.
    QT_TRANSLATE_NOOP("CoreMessage", "板材尺寸错误! %1 %2 须在 %3 到 %4 mm 之间"),
    QT_TRANSLATE_NOOP("CoreMessage", "包围盒数据错误!"),
    QT_TRANSLATE_NOOP("CoreMessage", "旋转次数错误! RN 不能大于 %1"),
    QT_TRANSLATE_NOOP("CoreMessage", "排样点错误! PPD %1 过小: 标准板材 %2 x %3 上 PPD 不能小于 %4"),
    QT_TRANSLATE_NOOP("CoreMessage", "排样点错误! PPD %1 须为大于 0 的有限数值"),
    QT_TRANSLATE_NOOP("CoreMessage", "排样点错误!"),
    QT_TRANSLATE_NOOP("CoreMessage", "排样中... %1%"),
    QT_TRANSLATE_NOOP("CoreMessage", "优化排样中... %1 秒, 板材 %2 张, 末板长度 %3, 利用率 %4%"),

    // Files written: the system's text, then the file and the reason.
    QT_TRANSLATE_NOOP("CoreMessage", "排样错误报告文件输出失败! %1"),
    QT_TRANSLATE_NOOP("CoreMessage", "记录排样计算时间的文件输出失败! %1"),
    QT_TRANSLATE_NOOP("CoreMessage", "零件信息文件输出错误! %1"),
    QT_TRANSLATE_NOOP("CoreMessage", "排样文件输出失败! %1"),
    QT_TRANSLATE_NOOP("CoreMessage", "排样图输出失败! %1"),
    QT_TRANSLATE_NOOP("CoreMessage", "排样报告文件输出失败! %1"),
    QT_TRANSLATE_NOOP("CoreMessage", "文件保存失败! %1"),
    QT_TRANSLATE_NOOP("CoreMessage", "有可能是当前存储介质无法写入,建议更换保存路径."),
    QT_TRANSLATE_NOOP("CoreMessage", "所有母板的排样图\"%1\"已生成"),
    QT_TRANSLATE_NOOP("CoreMessage", "拾取母板的排样图已生成"),

    // The packing report.
    QT_TRANSLATE_NOOP("CoreMessage", "没有当前母板, 无法生成排样报告!"),
    QT_TRANSLATE_NOOP("CoreMessage", "活动母板内零件冲突!"),
    QT_TRANSLATE_NOOP("CoreMessage", "待排零件与活动母板冲突!"),

    // Reading a packing-information file.
    QT_TRANSLATE_NOOP("CoreMessage", "排样文件读取错误!"),
    QT_TRANSLATE_NOOP("CoreMessage",
                      "零件ID信息错误! 零件库中的零件 PartID=%1 (%2) 在排样文件中没有零件块"),
    QT_TRANSLATE_NOOP("CoreMessage", "零件ID信息错误! %1: %2"),
    QT_TRANSLATE_NOOP("CoreMessage", "排样文件数据错误! %1: %2"),
    QT_TRANSLATE_NOOP("CoreMessage", "排样文件已读入, 但有 %1 处零件重叠或超出板材: %2"),

    // Separators of the lists above; before the pieces, so that a piece never swallows
    // the rest of a list.
    QT_TRANSLATE_NOOP("CoreMessage", "%1 等"),
    QT_TRANSLATE_NOOP("CoreMessage", "%1; %2"),

    // Pieces of the messages above.
    QT_TRANSLATE_NOOP("CoreMessage", "板材长度"),
    QT_TRANSLATE_NOOP("CoreMessage", "板材宽度"),
    QT_TRANSLATE_NOOP("CoreMessage", "第 %1 个板材块 (PlateID=%2)"),
    QT_TRANSLATE_NOOP("CoreMessage", "第 %1 个零件块 (PartID=%2)"),
    QT_TRANSLATE_NOOP("CoreMessage", "PlateID 不能为负"),
    QT_TRANSLATE_NOOP("CoreMessage", "PlateID 重复出现"),
    QT_TRANSLATE_NOOP("CoreMessage", "%1=%2 不是有限数值"),
    QT_TRANSLATE_NOOP("CoreMessage", "%1=%2 超出范围 ±%3"),
    QT_TRANSLATE_NOOP("CoreMessage", "包围盒颠倒: %1 %2 大于 %3 %4"),
    QT_TRANSLATE_NOOP("CoreMessage", "%1 %2 须大于 0 且不大于 %3 mm"),
    QT_TRANSLATE_NOOP("CoreMessage", "零件库中没有此零件"),
    QT_TRANSLATE_NOOP("CoreMessage", "与第 %1 个零件块重复"),
    QT_TRANSLATE_NOOP("CoreMessage", "Located PlateID=%1 没有对应的板材"),
    QT_TRANSLATE_NOOP("CoreMessage", "PartID=%1 与 PartID=%2 重叠"),
    QT_TRANSLATE_NOOP("CoreMessage", "PartID=%1 超出板材 %2"),
};

// A catalogue entry as an expression over the whole text: the fixed text literally,
// each %n a lazy capture, the capture's number kept for the substitution.
struct Pattern {
    const char* source;
    QRegularExpression expression;
    std::vector<int> argumentNumbers;  // of the captures, in order
};

Pattern compile(const char* source)
{
    const QString text = QString::fromUtf8(source);
    QString expression;
    std::vector<int> numbers;
    QString fixed;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1].isDigit()) {
            expression += QRegularExpression::escape(fixed) + QStringLiteral("(.*?)");
            fixed.clear();
            numbers.push_back(text[++i].digitValue());
        } else {
            fixed += text[i];
        }
    }
    expression += QRegularExpression::escape(fixed);
    return {source,
            QRegularExpression(QRegularExpression::anchoredPattern(expression),
                               QRegularExpression::DotMatchesEverythingOption),
            std::move(numbers)};
}

const std::vector<Pattern>& patterns()
{
    // Compiled once; constant from then on.
    static const std::vector<Pattern> all = [] {
        std::vector<Pattern> list;
        for (const char* source : kCatalogue) list.push_back(compile(source));
        return list;
    }();
    return all;
}

bool hasNonAscii(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7f) return true;
    }
    return false;
}

QString translated(const QString& text, int depth);

// The translated pattern with each %n replaced by its value, in one pass, so that a
// value holding "%2" is never taken for a placeholder.
QString fillIn(const QString& target, const Pattern& pattern, const QRegularExpressionMatch& match,
               int depth)
{
    QString out;
    for (qsizetype i = 0; i < target.size(); ++i) {
        if (target[i] == '%' && i + 1 < target.size() && target[i + 1].isDigit()) {
            const int number = target[++i].digitValue();
            for (size_t k = 0; k < pattern.argumentNumbers.size(); ++k) {
                if (pattern.argumentNumbers[k] == number) {
                    out += translated(match.captured(static_cast<int>(k) + 1), depth + 1);
                }
            }
        } else {
            out += target[i];
        }
    }
    return out;
}

QString translated(const QString& text, int depth)
{
    // Values in plain ASCII (numbers, keys, most file names) are no texts of the core.
    if (depth > 0 && !hasNonAscii(text)) return text;
    if (depth > 100) return text;  // values are shorter than their text; only a guard
    for (const Pattern& pattern : patterns()) {
        const QRegularExpressionMatch match = pattern.expression.match(text);
        if (!match.hasMatch()) continue;
        const QString target = QCoreApplication::translate(kContext, pattern.source);
        return fillIn(target, pattern, match, depth);
    }
    return text;
}

// The core's UTF-8 with names and paths put in as read, which may be GBK: each stretch
// of non-ASCII bytes is taken as UTF-8 when it is valid UTF-8, else as GBK, so that
// neither spoils the other.
QString readable(const std::string& bytes)
{
    if (isValidUtf8(bytes)) return QString::fromStdString(bytes);
    const auto high = [&](size_t i) { return static_cast<unsigned char>(bytes[i]) >= 0x80; };
    std::string utf8;
    size_t i = 0;
    while (i < bytes.size()) {
        if (!high(i)) {
            utf8 += bytes[i++];
            continue;
        }
        size_t end = i;
        while (end < bytes.size() && high(end)) ++end;
        if (!isValidUtf8(std::string_view(bytes).substr(i, end - i))) {
            // A GBK lead byte takes the next byte as its trail, which may be ASCII.
            end = i;
            while (end < bytes.size() && high(end)) end = std::min(end + 2, bytes.size());
            utf8 += gbkToUtf8(std::string_view(bytes).substr(i, end - i));
        } else {
            utf8.append(bytes, i, end - i);
        }
        i = end;
    }
    return QString::fromStdString(utf8);
}

}  // namespace

QString shownCoreText(const std::string& text) { return translated(readable(text), 0); }

QString shownCaption(const std::string& caption)
{
    return QCoreApplication::translate(kContext, caption.c_str());
}

}  // namespace orvo
