// tavrin-virtual-keyboard: serves a virtual keyboard on a Unix socket. Standard input takes
// "press <vk>", "unplug", "plug" and "quit"; strict-mode breaches go to standard error.

#include <charconv>
#include <fstream>
#include <iostream>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>

#include "device/SteadyClock.h"
#include "sim/VirtualHidLinkServer.h"
#include "sim/VirtualKeyboard.h"

namespace {

constexpr const char* kUsage =
    "usage: tavrin-virtual-keyboard --socket PATH [--state FILE] [--firmware MAJOR.MINOR]\n"
    "                               [--product-id ID] [--game-mode on|off] [--strict]\n"
    "                               [--log FILE]\n"
    "standard input: press <vk> | unplug | plug | quit\n";

std::optional<unsigned> ParseNumber(const std::string& text, unsigned limit) {
    unsigned value = 0;
    int base = 10;
    std::size_t start = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        start = 2;
    }
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    auto [end, error] = std::from_chars(first, last, value, base);
    if (error != std::errc() || end != last || first == last || value > limit) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    tavrin::VirtualKeyboardOptions options;
    std::string socketPath;
    std::string logPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) {
                return std::nullopt;
            }
            return std::string(argv[++i]);
        };
        std::optional<std::string> v;
        if (arg == "--strict") {
            options.strict = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (arg != "--socket" && arg != "--state" && arg != "--firmware" && arg != "--product-id" &&
            arg != "--log" && arg != "--game-mode") {
            std::cerr << "unknown option " << arg << "\n" << kUsage;
            return 2;
        }
        v = value();
        if (!v) {
            std::cerr << arg << " needs a value\n" << kUsage;
            return 2;
        }
        if (arg == "--socket") {
            socketPath = *v;
        } else if (arg == "--state") {
            options.stateFile = *v;
        } else if (arg == "--log") {
            logPath = *v;
        } else if (arg == "--game-mode") {
            if (*v != "on" && *v != "off") {
                std::cerr << "--game-mode takes on or off\n";
                return 2;
            }
            options.gameMode = static_cast<std::uint8_t>(*v == "on" ? 1 : 0);
        } else if (arg == "--product-id") {
            const auto id = ParseNumber(*v, 0xFFFF);
            if (!id) {
                std::cerr << "bad product ID " << *v << "\n";
                return 2;
            }
            options.productId = static_cast<std::uint16_t>(*id);
        } else {
            const auto dot = v->find('.');
            const auto major = ParseNumber(v->substr(0, dot), 255);
            const auto minor = dot == std::string::npos ? std::optional<unsigned>(0)
                                                        : ParseNumber(v->substr(dot + 1), 255);
            if (!major || !minor) {
                std::cerr << "bad firmware version " << *v << " (MAJOR.MINOR)\n";
                return 2;
            }
            options.firmwareMajor = static_cast<std::uint8_t>(*major);
            options.firmwareMinor = static_cast<std::uint8_t>(*minor);
        }
    }
    if (socketPath.empty()) {
        std::cerr << "--socket is required\n" << kUsage;
        return 2;
    }

    std::ofstream log;
    if (!logPath.empty()) {
        log.open(logPath, std::ios::trunc);
        if (!log) {
            std::cerr << "cannot write the log " << logPath << "\n";
            return 1;
        }
    }

    std::mutex stderrMutex;
    tavrin::SteadyClock clock;
    tavrin::VirtualKeyboard keyboard(clock, options);
    if (!keyboard.stateFileError().empty()) {
        std::cerr << "state file: " << keyboard.stateFileError() << "\n";
    }
    keyboard.setBreachListener([&](const std::string& text) {
        std::lock_guard lock(stderrMutex);
        std::cerr << "breach: " << text << std::endl;
    });
    tavrin::VirtualHidLinkServer server(keyboard, socketPath, logPath.empty() ? nullptr : &log);
    std::string error;
    if (!server.start(error)) {
        std::cerr << error << "\n";
        return 1;
    }
    std::cout << "listening on " << socketPath << std::endl;

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command.empty()) {
            continue;
        }
        if (command == "quit") {
            break;
        }
        if (command == "unplug") {
            keyboard.unplug();
        } else if (command == "plug") {
            keyboard.plug();
        } else if (command == "press") {
            std::string code;
            words >> code;
            const auto vk = ParseNumber(code, 255);
            if (!vk) {
                std::lock_guard lock(stderrMutex);
                std::cerr << "press needs a virtual-key code 0..255\n";
                continue;
            }
            keyboard.press(static_cast<std::uint8_t>(*vk));
        } else {
            std::lock_guard lock(stderrMutex);
            std::cerr << "unknown command " << command << " (press <vk>, unplug, plug, quit)\n";
            continue;
        }
        std::cout << "ok " << command << std::endl;
    }
    server.stop();
    if (!keyboard.stateFileError().empty()) {
        std::cerr << "state file: " << keyboard.stateFileError() << "\n";
        return 1;
    }
    return 0;
}
