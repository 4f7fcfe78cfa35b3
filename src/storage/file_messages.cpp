#include "storage/file_messages.h"

#include <cerrno>

namespace rvk {

Reason ReasonOf(const FileError& error) {
    if (error.writeProtected) return {kTextWriteProtected, {}};
    if (error.damaged) return {kTextDamagedFile, {}};
    if (error.notRegular) return {kTextNotRegularFile, {}};
    const std::error_code& ec = error.code;
    if (InUseByAnotherProgram(ec)) return {kTextInUse, {}};
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
        return {kTextPermissionDenied, {}};
    if (ec == std::errc::no_space_on_device) return {kTextDiskFull, {}};
#ifdef EDQUOT
    if (ec == std::error_condition(EDQUOT, std::generic_category())) return {kTextDiskFull, {}};
#endif
    if (ec == std::errc::read_only_file_system) return {kTextReadOnlyFileSystem, {}};
    return {0, ec.message()};
}

}  // namespace rvk
