// Text formatting shared by the report and the picture.
#ifndef RVN_EXAMPLES_PILERAFT_TEXT_H
#define RVN_EXAMPLES_PILERAFT_TEXT_H

#include <string>

namespace pileraft {

// printf into a string of whatever length the values need.
std::string Fmt(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace pileraft

#endif  // RVN_EXAMPLES_PILERAFT_TEXT_H
