#include "library/error_report.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <ctime>
#include <system_error>
#include <utility>

#include "base/platform.h"
#include "base/text_encoding.h"
#include "base/text_file.h"

namespace orvo {

namespace {

std::string reportPath(const std::string& folder)
{
    if (folder.empty()) return ErrorReport::kFileName;
    if (folder.back() == '/') return folder + ErrorReport::kFileName;
    return folder + "/" + ErrorReport::kFileName;
}

constexpr const char* kReportFailed = "排样错误报告文件输出失败!";

}  // namespace

ErrorReport::ErrorReport(const std::string& folder, Platform* platform)
    : folder_(folder), platform_(platform)
{
    // Append mode: the file is created when missing, never emptied, and every write lands
    // at its end, whoever else appends; the line ends are written as given.
    const std::string path = reportPath(folder);
    fd_ = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0 && platform != nullptr) {
        const std::string reason = std::error_code(errno, std::generic_category()).message();
        platform->showMessage(fileFailureText(kReportFailed, path, reason), kCaptionWarning);
    }
}

ErrorReport::~ErrorReport() { close(); }

void ErrorReport::close()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

ErrorReport::ErrorReport(ErrorReport&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      folder_(std::move(other.folder_)),
      platform_(other.platform_),
      linesLost_(other.linesLost_)
{
}

ErrorReport& ErrorReport::operator=(ErrorReport&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        folder_ = std::move(other.folder_);
        platform_ = other.platform_;
        linesLost_ = other.linesLost_;
    }
    return *this;
}

void ErrorReport::writeLine(std::string_view systemText, std::string_view rawBytes)
{
    if (fd_ < 0) return;
    std::string line = utf8ToGbk(systemText);
    line.append(rawBytes);
    line += "\r\n";
    // One write call per line: with O_APPEND it lands whole at the end of the file. Only
    // at a limit (disk full, file size) can it be cut; the rest then tells the reason.
    std::string_view rest = line;
    int reason = 0;
    while (!rest.empty() && reason == 0) {
        const ssize_t written = ::write(fd_, rest.data(), rest.size());
        if (written > 0) {
            rest.remove_prefix(static_cast<size_t>(written));
        } else if (written == 0 || errno != EINTR) {
            reason = written == 0 ? EIO : errno;
        }
    }
    if (reason == 0) return;
    if (++linesLost_ == 1 && platform_ != nullptr) {
        const std::string why = std::error_code(reason, std::generic_category()).message();
        platform_->showMessage(fileFailureText(kReportFailed, reportPath(folder_), why),
                               kCaptionWarning);
    }
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
