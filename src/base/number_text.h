#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvo {

// The numbers typed into the dialogs' edit boxes, read as the C library's atof and atoi
// read them (leading blanks skipped, the longest number at the front taken, 0 when
// there is none), but with "." in every locale. A value out of range or not finite
// reads as 0; an integer beyond the 32-bit range is held at its limit.
double leadingDouble(std::string_view text);
int32_t leadingInt(std::string_view text);

// The numbers the system writes, with "." in every locale. As "%.<significant>g" writes
// them ("%g" with the default).
std::string formatG(double value, int significant = 6);
// As "%.<decimals>f" writes them.
std::string formatFixed(double value, int decimals);
// The fewest digits that read back as the value, in plain digits from 1e-5 to 1e15
// ("1000001", "0.0009", "1e+20", "nan"), with "." in every locale: a refused setting is
// named exactly as it was given.
std::string formatShortest(double value);

}  // namespace orvo
