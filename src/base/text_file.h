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

// Creates or replaces the file (binary, so the bytes land as given). False when the file
// cannot be created or not all of it could be written.
bool writeWholeFile(const std::string& path, std::string_view bytes);
// Reads the whole file. False when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& bytes);

// The text padded with spaces on the right to at least the width ("%-5g" and the like).
std::string padRight(std::string text, size_t width);

}  // namespace orvo
