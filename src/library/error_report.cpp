#include "library/error_report.h"

#include <ctime>
#include <utility>

#include "base/platform.h"
#include "base/text_encoding.h"

namespace orvo {

namespace {

std::string reportPath(const std::string& folder)
{
    if (folder.empty()) return ErrorReport::kFileName;
    if (folder.back() == '/') return folder + ErrorReport::kFileName;
    return folder + "/" + ErrorReport::kFileName;
}

}  // namespace

ErrorReport::ErrorReport(const std::string& folder, Platform* platform) : folder_(folder)
{
    // Binary append: the file is created when missing, never emptied, and the line ends
    // are written as given.
    file_ = std::fopen(reportPath(folder).c_str(), "ab");
    if (file_ == nullptr && platform != nullptr) {
        platform->showMessage("排样错误报告文件输出失败!", kCaptionWarning);
    }
}

ErrorReport::~ErrorReport()
{
    if (file_ != nullptr) std::fclose(file_);
}

ErrorReport::ErrorReport(ErrorReport&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), folder_(std::move(other.folder_))
{
}

ErrorReport& ErrorReport::operator=(ErrorReport&& other) noexcept
{
    if (this != &other) {
        if (file_ != nullptr) std::fclose(file_);
        file_ = std::exchange(other.file_, nullptr);
        folder_ = std::move(other.folder_);
    }
    return *this;
}

void ErrorReport::writeLine(std::string_view systemText, std::string_view rawBytes)
{
    if (file_ == nullptr) return;
    std::string line = utf8ToGbk(systemText);
    line.append(rawBytes);
    line += "\r\n";
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

void ErrorReport::writeTimeStamp(Platform& platform)
{
    const std::tm t = platform.localTime();
    const std::string stamp = std::to_string(t.tm_year + 1900) + "年" +
                              std::to_string(t.tm_mon + 1) + "月" + std::to_string(t.tm_mday) +
                              "日, " + std::to_string(t.tm_hour) + "时" +
                              std::to_string(t.tm_min) + "分" + std::to_string(t.tm_sec) + "秒";
    writeLine(stamp);
}

}  // namespace orvo
