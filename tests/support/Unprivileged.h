#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>

namespace tavrin::test {

// The user a test as root becomes to meet file permissions: root reads and writes anything.
inline constexpr uid_t kUnprivilegedUser = 65534;

// Runs `body` in a child process, as kUnprivilegedUser when the test runs as root. Returns what
// `body` returned (empty when all went well), or how the child failed.
std::string RunUnprivileged(const std::function<std::string()>& body);

// Lets the child of RunUnprivileged write in `folder`: gives it to kUnprivilegedUser when the
// test runs as root.
void GiveToUnprivilegedUser(const std::filesystem::path& folder);

}  // namespace tavrin::test
