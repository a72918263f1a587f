#include "BaseCommon/Version.h"

namespace rvn {

// The macros are expanded here, inside the library, so these report the build that is loaded.
const char* Version() {
    return RVN_BASECOMMON_VERSION_STRING;
}

int VersionNumber() {
    return RVN_BASECOMMON_VERSION;
}

}  // namespace rvn
