#include "library/error_report.h"

namespace orvo {

ErrorReport::ErrorReport(const std::string& folder, Platform*) : folder_(folder) {}
ErrorReport::~ErrorReport() = default;
ErrorReport::ErrorReport(ErrorReport&&) noexcept {}
ErrorReport& ErrorReport::operator=(ErrorReport&&) noexcept { return *this; }
void ErrorReport::writeLine(std::string_view, std::string_view) {}
void ErrorReport::writeTimeStamp(Platform&) {}

std::string formatG(double) { return {}; }

}  // namespace orvo
