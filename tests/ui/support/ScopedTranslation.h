#pragma once

// The program's translation for a test: installs the compiled-in Chinese translation for
// LanguageId 4, as the program does at start-up, and nothing for English. Removed again when the
// object goes, so the next test starts in English.

#include <QTranslator>
#include <cstdint>

namespace tavrin::test {

class ScopedTranslation {
public:
    explicit ScopedTranslation(std::uint16_t languageId);
    ~ScopedTranslation();
    ScopedTranslation(const ScopedTranslation&) = delete;
    ScopedTranslation& operator=(const ScopedTranslation&) = delete;

private:
    QTranslator translator_;
    bool installed_ = false;
};

}  // namespace tavrin::test
