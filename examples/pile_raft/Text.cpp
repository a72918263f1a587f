#include "Text.h"

#include <cstdarg>
#include <cstdio>

namespace pileraft {

std::string Fmt(const char* format, ...) {
    char buf[256];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    std::string out;
    if (n >= static_cast<int>(sizeof buf)) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(&out[0], out.size(), format, again);
        out.resize(static_cast<size_t>(n));
    } else if (n > 0) {
        out.assign(buf, static_cast<size_t>(n));
    }
    va_end(again);
    return out;
}

}  // namespace pileraft
