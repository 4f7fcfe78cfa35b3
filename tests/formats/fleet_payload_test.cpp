#include "formats/fleet_payload.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

TEST(FleetPayloadTest, RefusesShortAndOverfullBlocks) {
    auto fleet = CreateFleet(std::string(40, 'x'));  // longer than the field
    fleet->vehicles.push_back(std::make_unique<VehicleRec>());
    std::vector<std::uint8_t> block = EncodeFleetPayload(*fleet);
    ASSERT_EQ(block.size(), 34u + 243992u);
    EXPECT_EQ(block[32], 0);
    const auto back = DecodeFleetPayload(block);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->name, std::string(32, 'x'));
    EXPECT_EQ(DecodeFleetPayload(std::span(block).first(block.size() - 1)), nullptr);
    std::vector<std::uint8_t> overfull = block;
    overfull[33] = 17;
    EXPECT_EQ(DecodeFleetPayload(overfull), nullptr);
    EXPECT_EQ(DecodeFleetPayload(std::vector<std::uint8_t>(20, 0)), nullptr);
}

}  // namespace
}  // namespace rvk
