#include "cli/terminal_platform.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <string_view>

#include "base/text_encoding.h"

namespace orvo::cli {

namespace {

// The system's texts for an output file that could not be created or written.
constexpr std::string_view kOutputFailureTexts[] = {
    "排样错误报告文件输出失败!",
    "零件信息文件输出错误!",
    "记录排样计算时间的文件输出失败!",
    "排样文件输出失败!",
    "文件保存失败!",
    "排样报告文件输出失败!",
    "排样图输出失败!",
};

bool isOutputFailure(const std::string& text)
{
    for (std::string_view failure : kOutputFailureTexts) {
        if (text.find(failure) != std::string::npos) return true;
    }
    return false;
}

constexpr int kBarWidth = 30;

}  // namespace

TerminalPlatform::TerminalPlatform(bool quiet) : quiet_(quiet), terminal_(isatty(STDERR_FILENO) != 0)
{
}

void TerminalPlatform::showMessage(const std::string& text, const std::string& caption)
{
    // Part names inside a text may be GBK bytes as read from the library.
    Message message{gbkToUtf8(text), gbkToUtf8(caption)};
    const std::lock_guard lock(errorStream_);
    if (isOutputFailure(message.text)) ++outputFailures_;
    if (barShown_) {
        std::cerr << '\n';
        barShown_ = false;
    }
    std::cerr << message.caption << ": " << message.text << std::endl;
    messages_.push_back(std::move(message));
}

void TerminalPlatform::setProgressPercent(int percent)
{
    if (watcher_) {
        watcher_();
        return;
    }
    ++platesDone_;  // Layout All reports once per plate
    if (quiet_) return;
    const std::lock_guard lock(errorStream_);
    if (!terminal_) {
        std::cerr << "layout: plate " << platesDone_ << " done, " << percent << "% placed" << std::endl;
        return;
    }
    const int filled = std::clamp(percent, 0, 100) * kBarWidth / 100;
    std::cerr << "\rlayout [" << std::string(static_cast<size_t>(filled), '#')
              << std::string(static_cast<size_t>(kBarWidth - filled), '.') << "] " << percent
              << "%  plate " << platesDone_ << std::flush;
    barShown_ = true;
}

void TerminalPlatform::setStatusText(const std::string&)
{
    // The status text goes with the progress; the watcher sees the layout itself.
    if (watcher_) watcher_();
}

void TerminalPlatform::showProgressLine(const std::string& text)
{
    if (!drawsProgressLine()) return;
    const std::lock_guard lock(errorStream_);
    std::cerr << '\r' << text << "\033[K" << std::flush;  // the rest of a longer line erased
    barShown_ = true;
}

void TerminalPlatform::finishProgress()
{
    const std::lock_guard lock(errorStream_);
    if (barShown_) std::cerr << std::endl;
    barShown_ = false;
}

double TerminalPlatform::monotonicSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::tm TerminalPlatform::localTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

void TerminalPlatform::openInViewer(const std::string& path)
{
    // No viewer in a batch run: the user is told where the file is.
    finishProgress();
    const std::lock_guard lock(errorStream_);
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::cerr << name << " written: " << path << std::endl;
}

}  // namespace orvo::cli
