#pragma once

// The program's translation for a test: installs the compiled-in Chinese translation for
// LanguageId 4, as the program and tavrinctl do at start-up, and nothing for English. Removed
// again when the object goes, so the next test starts in English. QtCore only, and defined here:
// the support library links no Qt, and only tests that link the translations include this.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>
#include <cstdint>

#include "model/Model.h"

namespace tavrin::test {

class ScopedTranslation {
public:
    explicit ScopedTranslation(std::uint16_t languageId) {
        if (languageId != kLanguageChinese) {
            return;
        }
        if (!translator_.load(QStringLiteral(":/i18n/tavrin_chinese.qm"))) {
            ADD_FAILURE() << "the Chinese translation is not compiled in";
            return;
        }
        installed_ = QCoreApplication::installTranslator(&translator_);
        EXPECT_TRUE(installed_);
    }
    ~ScopedTranslation() {
        if (installed_) {
            QCoreApplication::removeTranslator(&translator_);
        }
    }
    ScopedTranslation(const ScopedTranslation&) = delete;
    ScopedTranslation& operator=(const ScopedTranslation&) = delete;

private:
    QTranslator translator_;
    bool installed_ = false;
};

}  // namespace tavrin::test
