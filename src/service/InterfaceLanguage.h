#pragma once

// The interface languages, of the windows, tavrinctl and the D-Bus replies alike. English is the
// language of every text in the code; each other language is a translation compiled into the
// program and tavrinctl as ":/i18n/tavrin_<name>.qm". Its name is the value of the "Language"
// setting that selects it and the skin folder "png/<name>" drawn for it, so a new language needs
// no change here.

#include <QString>
#include <QStringList>
#include <QTranslator>
#include <memory>
#include <string_view>

namespace tavrin {

class SettingsStore;
struct Model;

inline constexpr const char* kEnglishLanguage = "english";
inline constexpr const char* kChineseLanguage = "chinese";

// The names of the compiled-in translations, sorted.
QStringList TranslationNames();

// A name that may stand in a resource path and a folder name: 1 to 32 letters a-z.
bool IsLanguageName(QStringView name);

// The interface language: Chinese wherever LanguageId is 4 (the value "chinese", or no value
// and a "zh" locale); else a translation among `available` that the stored value names exactly;
// else English.
QString ChooseLanguage(SettingsStore& settings, std::string_view localeName,
                       const QStringList& available);

// Sets LanguageId and the translation in the model for `language`.
void SetModelLanguage(Model& model, const QString& language);

// The language the model was set to: the inverse of SetModelLanguage.
QString ModelLanguage(const Model& model);

// The translation of `language`, loaded; nullptr for English or a translation that cannot load.
std::unique_ptr<QTranslator> LoadTranslation(const QString& language);

// The translation of `language`, loaded and installed for every text made from now on; it stays
// in use while `translator` lives. `failed` when a language other than English has none.
struct InstalledTranslation {
    std::unique_ptr<QTranslator> translator;
    bool failed = false;
};
InstalledTranslation InstallTranslation(const QString& language);

// The language's name in itself, for the language menu ("English", "中文").
QString LanguageOwnName(const QString& language);

}  // namespace tavrin
