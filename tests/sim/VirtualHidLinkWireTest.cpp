#include <gtest/gtest.h>

#include "sim/VirtualHidLinkWire.h"

namespace tavrin::link {
namespace {

TEST(VirtualHidLinkWire, FramesAreOpIfaceLittleEndianLengthPayload) {
    const auto bytes = Encode(Frame{kSetFeature, 2, std::vector<std::uint8_t>(300, 7)});
    ASSERT_EQ(bytes.size(), 304u);
    EXPECT_EQ(bytes[0], 0x10);
    EXPECT_EQ(bytes[1], 2);
    EXPECT_EQ(bytes[2], 0x2C);  // 300 = 0x012C
    EXPECT_EQ(bytes[3], 0x01);
    EXPECT_EQ(HexBytes(Encode(StatusFrame(1, -1))), "90 01 04 00 FF FF FF FF");
}

TEST(VirtualHidLinkWire, TakeFrameWaitsForWholeFramesAndRejectsHugeOnes) {
    std::vector<std::uint8_t> buffer = Encode(Frame{kInput, 1, {4, 1, 0, 0x41}});
    const auto second = Encode(Frame{kStatus, 2, {9, 0, 0, 0}});
    buffer.insert(buffer.end(), second.begin(), second.begin() + 5);
    bool bad = false;

    auto first = TakeFrame(buffer, bad);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->op, kInput);
    EXPECT_EQ(HexBytes(first->payload), "04 01 00 41");
    EXPECT_FALSE(TakeFrame(buffer, bad)) << "only part of the second frame is there";
    buffer.insert(buffer.end(), second.begin() + 5, second.end());
    EXPECT_EQ(TakeFrame(buffer, bad)->iface, 2);
    EXPECT_TRUE(buffer.empty());

    std::vector<std::uint8_t> huge = {kWrite, 2, 0xFF, 0xFF};
    EXPECT_FALSE(TakeFrame(huge, bad));
    EXPECT_TRUE(bad);
}

}  // namespace
}  // namespace tavrin::link
