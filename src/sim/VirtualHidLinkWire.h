#pragma once

// The virtual HID link's wire format over a Unix stream socket. A frame is op (1 byte),
// interface index (1 byte), payload length (2 bytes, little-endian), payload.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/Bytes.h"

namespace tavrin::link {

enum Op : std::uint8_t {
    kDescribe = 0x01,
    kOpen = 0x02,
    kSetFeature = 0x10,
    kGetFeature = 0x11,
    kWrite = 0x12,
    kInput = 0x20,
    kDescription = 0x81,
    kFeature = 0x91,
    kStatus = 0x90,
};

inline constexpr std::size_t kHeaderSize = 4;
inline constexpr std::size_t kMaxPayload = 1024;  // no frame of the protocol comes near it

struct Frame {
    std::uint8_t op = 0;
    std::uint8_t iface = 0;
    std::vector<std::uint8_t> payload;
};

std::vector<std::uint8_t> Encode(const Frame& frame);
Frame StatusFrame(std::uint8_t iface, std::int32_t value);

// Takes one whole frame off the front of `buffer` when it holds one. A length beyond kMaxPayload
// sets `bad`: the stream cannot be trusted after it.
std::optional<Frame> TakeFrame(std::vector<std::uint8_t>& buffer, bool& bad);

enum class IoStatus { Ok, Closed, Timeout, Error };

// Blocking send of the whole buffer (no SIGPIPE).
IoStatus SendAll(int fd, ConstByteSpan bytes);
// Reads what is there within `timeout` and appends it to `buffer`.
IoStatus ReceiveSome(int fd, std::vector<std::uint8_t>& buffer, std::chrono::milliseconds timeout);

// A connected stream socket to `path`, or -1 with `error` set.
int ConnectTo(const std::string& path, std::string& error);

std::string HexBytes(ConstByteSpan bytes);

}  // namespace tavrin::link
