#pragma once

#include <string>
#include <string_view>

namespace orvo {

// The lines of a text file being written: every line the system writes ends with CR LF
// on every platform. The text is collected first and written in one go, so that a file
// that cannot be written is known before anything is reported as done.
class LineSink {
public:
    void line(std::string_view text);
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// A file that is written whole or not at all. The bytes go to a new file with a unique
// name in the target's folder; commit() closes the file and renames it over the target,
// after flushing the bytes to the disk when a previous file is replaced (a crash then
// leaves the old file or the new one, never an empty one; a new file costs no flush). So a write that fails (disk full, size limit, a folder
// where the file should go) leaves the previous file as it was, and two programs writing
// the same file leave it whole from one of them. The temporary file is removed unless it
// was committed. A target that exists and is not a regular file (a device such as
// /dev/null, a pipe) is written in place, since it cannot be replaced; a symbolic link
// is followed and its target replaced.
class ReplacingFile {
public:
    explicit ReplacingFile(const std::string& path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // False when the file could not be created; error() says why.
    bool isOpen() const { return fd_ >= 0; }
    // Appends the bytes; false (and nothing more is written) after a failure.
    bool write(std::string_view bytes);
    // Flushes, closes and renames; false when any step failed, the target then unchanged.
    bool commit();
    // Why the first failure happened, in the system's words ("No space left on device").
    const std::string& error() const { return error_; }

private:
    bool fail(int errorNumber);
    void discard();

    std::string target_;
    std::string temporary_;  // empty when the target is written in place
    bool replacing_ = false;  // a previous file exists, whose content must survive a crash
    int fd_ = -1;
    std::string error_;
};

// Creates or replaces the file through a ReplacingFile (binary, so the bytes land as
// given). False when the file could not be written; the previous file then stays as it
// was and the reason is stored in *error when given.
bool writeWholeFile(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// The message for a file that could not be written: the system's text, the file and the
// reason, e.g. "文件保存失败! out/lay.txt: No space left on device". A path in GBK (a
// part name as read) is shown in UTF-8 like the rest of the message.
std::string fileFailureText(std::string_view message, const std::string& path,
                            const std::string& reason);
// Reads the whole file. False when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& bytes);

// The text padded with spaces on the right to at least the width ("%-5g" and the like).
std::string padRight(std::string text, size_t width);

}  // namespace orvo
