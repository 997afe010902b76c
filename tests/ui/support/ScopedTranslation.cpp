#include "ui/support/ScopedTranslation.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "model/Model.h"

namespace tavrin::test {

ScopedTranslation::ScopedTranslation(std::uint16_t languageId) {
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

ScopedTranslation::~ScopedTranslation() {
    if (installed_) {
        QCoreApplication::removeTranslator(&translator_);
    }
}

}  // namespace tavrin::test
