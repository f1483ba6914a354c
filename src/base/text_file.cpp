#include "base/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include "base/text_encoding.h"

namespace orvo {

void LineSink::line(std::string_view text)
{
    text_.append(text);
    text_.append("\r\n");
}

namespace {

// A name beside the target that no other writer picks: the process id and 64 random bits.
// The target's name is shortened so that the whole stays within the file-name limit.
std::string temporaryPath(const std::string& target)
{
    const size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::random_device device;
    const uint64_t random = (uint64_t{device()} << 32) ^ device();
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%ld-%016llx.tmp", static_cast<long>(getpid()),
                  static_cast<unsigned long long>(random));
    return folder + "." + name.substr(0, 96) + suffix;
}

std::string errorText(int errorNumber)
{
    return std::error_code(errorNumber, std::generic_category()).message();
}

}  // namespace

ReplacingFile::ReplacingFile(const std::string& path) : target_(path)
{
    struct stat link {};
    if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        std::error_code error;
        const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
        if (!error) target_ = resolved.string();
    }
    struct stat existing {};
    const bool exists = stat(target_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        fail(EISDIR);
        return;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        fd_ = open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd_ < 0) fail(errno);
        return;
    }
    // A file the user may not write stays protected, as it was when files were written in place.
    if (exists && access(target_.c_str(), W_OK) != 0) {
        fail(errno);
        return;
    }
    for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
        temporary_ = temporaryPath(target_);
        fd_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        const int reason = errno;
        temporary_.clear();  // never created, nothing to remove
        fail(reason);
        return;
    }
    // The replacement keeps the permissions of the file it replaces.
    if (exists) (void)fchmod(fd_, existing.st_mode & 07777);
    replacing_ = exists;
}

ReplacingFile::~ReplacingFile() { discard(); }

bool ReplacingFile::fail(int errorNumber)
{
    if (error_.empty()) error_ = errorText(errorNumber);
    discard();
    return false;
}

void ReplacingFile::discard()
{
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) unlink(temporary_.c_str());
    temporary_.clear();
}

bool ReplacingFile::write(std::string_view bytes)
{
    if (fd_ < 0) return false;
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail(n < 0 ? errno : EIO);
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

bool ReplacingFile::commit()
{
    if (fd_ < 0) return false;
    // The data reach the disk before the name does, so that a crash leaves the old file
    // or the new one, never an empty new one in place of the old.
    if (replacing_ && fsync(fd_) != 0) return fail(errno);
    const int closed = close(fd_);
    fd_ = -1;
    if (closed != 0) return fail(errno);
    if (temporary_.empty()) return true;
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) return fail(errno);
    temporary_.clear();
    return true;
}

bool writeWholeFile(const std::string& path, std::string_view bytes, std::string* error)
{
    ReplacingFile file(path);
    if (file.write(bytes) && file.commit()) return true;
    if (error != nullptr) *error = file.error();
    return false;
}

std::string fileFailureText(std::string_view message, const std::string& path,
                            const std::string& reason)
{
    // A path may hold a part name as read from the library (GBK); the message is UTF-8.
    std::string text(message);
    text += ' ';
    text += gbkToUtf8(path);
    if (!reason.empty()) {
        text += ": ";
        text += reason;
    }
    return text;
}

bool readWholeFile(const std::string& path, std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    bytes.clear();
    char buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
    bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

std::string padRight(std::string text, size_t width)
{
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

}  // namespace orvo
