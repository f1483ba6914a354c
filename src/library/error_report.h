#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace orvo {

class Platform;

// An append stream on the error report "PackError.txt". Several may be open at once;
// every line is flushed as it is written so that their lines keep their order.
// The system's texts are given as UTF-8 and written as GBK; part names are written as
// read. A report that could not be opened writes nothing.
class ErrorReport {
public:
    static constexpr const char* kFileName = "PackError.txt";

    ErrorReport() = default;
    // Opens the file in the folder for appending. On failure shows
    // "排样错误报告文件输出失败!" with caption "Warning!" when a platform is given.
    explicit ErrorReport(const std::string& folder, Platform* platform = nullptr);
    ~ErrorReport();
    ErrorReport(const ErrorReport&) = delete;
    ErrorReport& operator=(const ErrorReport&) = delete;
    ErrorReport(ErrorReport&& other) noexcept;
    ErrorReport& operator=(ErrorReport&& other) noexcept;

    bool isOpen() const { return file_ != nullptr; }
    const std::string& folder() const { return folder_; }
    // The system's text (UTF-8, written as GBK) followed by raw bytes (a part name), CR LF.
    void writeLine(std::string_view systemText, std::string_view rawBytes = {});
    // The time stamp line of a new opening of a library, from the platform's local time.
    void writeTimeStamp(Platform& platform);

private:
    std::FILE* file_ = nullptr;
    std::string folder_;
};

}  // namespace orvo
