#include "service/InterfaceLanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <algorithm>

#include "model/Model.h"
#include "model/SettingsStore.h"

namespace tavrin {

namespace {

constexpr qsizetype kLongestName = 32;
const QString kResourceFolder = QStringLiteral(":/i18n");
const QString kPrefix = QStringLiteral("tavrin_");
const QString kSuffix = QStringLiteral(".qm");

// Each translation gives its language's own name as the translation of this text.
struct OwnNameText {
    const char* source;
    const char* comment;
};
constexpr const char* kOwnNameContext = "tavrin::LanguageName";
constexpr OwnNameText kOwnName = QT_TRANSLATE_NOOP3(
    "tavrin::LanguageName", "English", "The name of this translation's language, in itself");

QString ResourcePath(const QString& language) {
    return kResourceFolder + QLatin1Char('/') + kPrefix + language + kSuffix;
}

}  // namespace

QStringList TranslationNames() {
    QStringList names;
    const QStringList files =
        QDir(kResourceFolder).entryList({kPrefix + QLatin1Char('*') + kSuffix}, QDir::Files);
    for (const QString& file : files) {
        const QString name =
            file.mid(kPrefix.size(), file.size() - kPrefix.size() - kSuffix.size());
        if (IsLanguageName(name) && name != QLatin1String(kEnglishLanguage)) {
            names << name;
        }
    }
    names.sort();
    return names;
}

bool IsLanguageName(QStringView name) {
    return !name.isEmpty() && name.size() <= kLongestName &&
           std::all_of(name.begin(), name.end(),
                       [](QChar c) { return c >= QLatin1Char('a') && c <= QLatin1Char('z'); });
}

QString ChooseLanguage(SettingsStore& settings, std::string_view localeName,
                       const QStringList& available) {
    // Chinese exactly where LanguageId is 4, so that the core's tables and the texts agree.
    if (ReadLanguageId(settings, localeName) == kLanguageChinese) {
        return QString::fromLatin1(kChineseLanguage);
    }
    const auto stored = settings.readString(kLanguageKey, kLanguageValue);
    if (!stored) {
        return QString::fromLatin1(kEnglishLanguage);
    }
    const QString name = QString::fromStdU16String(*stored);
    return IsLanguageName(name) && available.contains(name) ? name
                                                            : QString::fromLatin1(kEnglishLanguage);
}

void SetModelLanguage(Model& model, const QString& language) {
    const bool chinese = language == QLatin1String(kChineseLanguage);
    model.languageId = chinese ? kLanguageChinese : kLanguageEnglish;
    model.translation = chinese || language == QLatin1String(kEnglishLanguage)
                            ? std::string()
                            : language.toStdString();
}

QString ModelLanguage(const Model& model) {
    if (!model.translation.empty()) {
        return QString::fromStdString(model.translation);
    }
    return QString::fromLatin1(model.chinese() ? kChineseLanguage : kEnglishLanguage);
}

std::unique_ptr<QTranslator> LoadTranslation(const QString& language) {
    if (!IsLanguageName(language) || language == QLatin1String(kEnglishLanguage)) {
        return nullptr;
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(ResourcePath(language))) {
        return nullptr;
    }
    return translator;
}

InstalledTranslation InstallTranslation(const QString& language) {
    InstalledTranslation installed{LoadTranslation(language)};
    if (installed.translator && !QCoreApplication::installTranslator(installed.translator.get())) {
        installed.translator.reset();
    }
    installed.failed = !installed.translator && language != QLatin1String(kEnglishLanguage);
    return installed;
}

QString LanguageOwnName(const QString& language) {
    const auto translator = LoadTranslation(language);
    const QString name =
        translator ? translator->translate(kOwnNameContext, kOwnName.source, kOwnName.comment)
                   : QString();
    return name.isEmpty() ? QString::fromLatin1(kOwnName.source) : name;
}

}  // namespace tavrin
