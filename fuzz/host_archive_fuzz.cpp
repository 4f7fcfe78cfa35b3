// The host's Zoom2 archive (vuvi.fz2) read against a sound catalogue: a damaged index,
// record or block must never crash, read past the end or give a vehicle graphics that
// do not decode.
#include "host_listing_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    rvk::fuzz::CheckListing(rvk::fuzz::Small().files.at("VUVI.FZG"), {data, size});
    return 0;
}
