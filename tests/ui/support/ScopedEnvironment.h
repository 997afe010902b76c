#pragma once

// Environment variables set or removed for one test, and put back as they were afterwards.

#include <QByteArray>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QtGlobal>

namespace tavrin::test {

class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) {
                qputenv(it->first.c_str(), *it->second);
            } else {
                qunsetenv(it->first.c_str());
            }
        }
    }

    void set(const char* name, const QByteArray& value) {
        save(name);
        qputenv(name, value);
    }
    void unset(const char* name) {
        save(name);
        qunsetenv(name);
    }

private:
    void save(const char* name) {
        saved_.emplace_back(name, qEnvironmentVariableIsSet(name)
                                      ? std::optional<QByteArray>(qgetenv(name))
                                      : std::nullopt);
    }

    std::vector<std::pair<std::string, std::optional<QByteArray>>> saved_;
};

}  // namespace tavrin::test
