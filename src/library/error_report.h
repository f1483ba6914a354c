#pragma once

#include <string>
#include <string_view>

namespace orvo {

class Platform;

// An append stream on the error report "PackError.txt". Several may be open at once, in
// this program and in others writing into the same folder: every line goes to the file
// in one write at its end, so that lines keep their order and are never cut or mixed.
// The system's texts are given as UTF-8 and written as GBK; part names are written as
// read. A report that could not be opened writes nothing.
class ErrorReport {
public:
    static constexpr const char* kFileName = "PackError.txt";

    ErrorReport() = default;
    // Opens the file in the folder for appending. On failure shows
    // "排样错误报告文件输出失败!" and the file with caption "Warning!" when a platform is
    // given; so does the first line that cannot be written.
    explicit ErrorReport(const std::string& folder, Platform* platform = nullptr);
    ~ErrorReport();
    ErrorReport(const ErrorReport&) = delete;
    ErrorReport& operator=(const ErrorReport&) = delete;
    ErrorReport(ErrorReport&& other) noexcept;
    ErrorReport& operator=(ErrorReport&& other) noexcept;

    bool isOpen() const { return fd_ >= 0; }
    // Lines that could not be written (disk full, size limit).
    int linesLost() const { return linesLost_; }
    const std::string& folder() const { return folder_; }
    // The system's text (UTF-8, written as GBK) followed by raw bytes (a part name), CR LF.
    void writeLine(std::string_view systemText, std::string_view rawBytes = {});
    // The time stamp line of a new opening of a library, from the platform's local time.
    void writeTimeStamp(Platform& platform);

private:
    void close();

    int fd_ = -1;
    std::string folder_;
    Platform* platform_ = nullptr;
    int linesLost_ = 0;
};

}  // namespace orvo
