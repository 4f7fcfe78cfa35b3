// A recovery manifest is read back from the user's data folder after a crash, so it
// may be cut short or damaged anyhow. Reading one must never crash, and what it accepts
// names only files of the snapshot's own folder, the document first, companions at
// places a document can have.
#include <cstdint>
#include <span>
#include <string_view>

#include "fuzz_check.h"
#include "storage/recovery.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto manifest = rvk::ParseManifest(std::span<const std::uint8_t>(data, size));
    if (!manifest) return 0;
    using rvk::fuzz::Check;
    Check(!manifest->files.empty());
    Check(manifest->files.front().fleet == -1 && manifest->files.front().vehicle == -1);
    for (std::size_t i = 0; i < manifest->files.size(); ++i) {
        const rvk::ManifestEntry& e = manifest->files[i];
        const std::string_view name = e.name;
        Check(!name.empty() && name != "." && name != ".." && name != "manifest");
        Check(name.find_first_of("/\\:") == std::string_view::npos);
        if (i > 0)
            Check(e.fleet >= 0 && e.fleet < rvk::kMaxFleets && e.vehicle >= 0 &&
                  e.vehicle < rvk::kMaxVehicles);
    }
    return 0;
}
