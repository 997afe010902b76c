#include <gtest/gtest.h>

#include "device/FindKeyboardPath.h"

namespace tavrin {
namespace {

// A backend that is only a listing: discovery never opens anything.
class Listing final : public HidBackend {
public:
    explicit Listing(std::vector<HidInterfaceInfo> interfaces)
        : interfaces_(std::move(interfaces)) {}
    std::vector<HidInterfaceInfo> enumerate() override { return interfaces_; }
    std::unique_ptr<HidDevice> open(const std::string&, std::string& error) override {
        error = "a listing cannot be opened";
        return nullptr;
    }

private:
    std::vector<HidInterfaceInfo> interfaces_;
};

TEST(FindKeyboardPath, MatchesVendorProductAndMarker) {
    struct Case {
        const char* name;
        std::vector<HidInterfaceInfo> interfaces;
        const char* marker;
        const char* path;  // nullptr: nothing found
    };
    const Case cases[] = {
        {"the 104-key product",
         {{"a", 0x04D9, 0xA2A0, "mi_00"}, {"b", 0x04D9, 0xA2A0, "mi_03"}},
         "mi_03",
         "b"},
        {"the other product", {{"c", 0x04D9, 0xA247, "mi_02&col04"}}, "ol04", "c"},
        {"another vendor with the marker is skipped",
         {{"x", 0x046D, 0xA2A0, "mi_03"}, {"y", 0x04D9, 0xA2A0, "mi_03"}},
         "mi_03",
         "y"},
        {"another product of the vendor", {{"z", 0x04D9, 0x1234, "mi_03"}}, "mi_03", nullptr},
        {"markers match case-sensitively", {{"u", 0x04D9, 0xA2A0, "MI_03"}}, "mi_03", nullptr},
        {"the event marker inside a longer marker",
         {{"e", 0x04D9, 0xA2A0, "mi_02&col04"}},
         "ol04",
         "e"},
        {"nothing attached", {}, "mi_03", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Listing backend(c.interfaces);
        Model model;
        model.devicePath = "previous";
        const bool found = FindKeyboardPath(backend, c.marker, model);
        EXPECT_EQ(found, c.path != nullptr);
        EXPECT_EQ(model.devicePath, c.path ? c.path : "previous");
        EXPECT_EQ(model.layoutVariant, c.path ? 1 : 0);
    }
}

}  // namespace
}  // namespace tavrin
