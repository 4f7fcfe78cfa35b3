// A host catalogue (vuvi.fzg) is an outside party's file, often old or damaged. Reading
// it must never crash, hang or allocate without bound, and every vehicle it lists must
// decode again exactly as it was checked, whatever the archive gives it.
#include "host_listing_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    rvk::fuzz::CheckListing({data, size}, rvk::fuzz::Small().files.at("vuvi.fz2"));
    return 0;
}
