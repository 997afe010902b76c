// tavrin-skin: draws the skin pictures and the bitmap resources into a program directory.
//
//   tavrin-skin OUTPUT_DIR [TRANSLATION.qm...]
//
// English is always drawn, into png/english. Each translation, named tavrin_<name>.qm, gives
// the words of png/<name>. Needs a Qt platform for the fonts; the build runs it with
// QT_QPA_PLATFORM=offscreen.

#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTranslator>
#include <cstdio>
#include <memory>

#include "SkinWriter.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tavrin-skin OUTPUT_DIR [TRANSLATION.qm...]\n");
        return 2;
    }
    const std::filesystem::path output = argv[1];
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    // The name becomes a folder name: letters a-z only.
    const QRegularExpression qmName(QStringLiteral("^tavrin_([a-z]{1,32})\\.qm$"));
    std::vector<std::unique_ptr<QTranslator>> translators;
    std::vector<tavrin::skin::SkinLanguage> languages;
    for (int i = 2; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        const QRegularExpressionMatch name = qmName.match(QFileInfo(path).fileName());
        auto translator = std::make_unique<QTranslator>();
        if (!name.hasMatch() || !translator->load(path)) {
            std::fprintf(stderr, "tavrin-skin: %s is not a translation named tavrin_<name>.qm\n",
                         argv[i]);
            return 1;
        }
        languages.push_back({name.captured(1).toStdString(), translator.get()});
        translators.push_back(std::move(translator));
    }

    // Missing fonts still give pictures, with fallback glyphs; say so rather than fail.
    for (const char* family : {"Liberation Sans", "Noto Sans CJK SC"}) {
        if (!QFontInfo(QFont(family)).family().startsWith(QString::fromLatin1(family).left(10))) {
            std::fprintf(stderr, "tavrin-skin: warning: font \"%s\" not found, using %s\n", family,
                         qPrintable(QFontInfo(QFont(family)).family()));
        }
    }
    tavrin::skin::SkinWriter writer(output, languages);
    if (!writer.writeAll()) {
        for (const std::string& error : writer.errors()) {
            std::fprintf(stderr, "tavrin-skin: %s\n", error.c_str());
        }
        return 1;
    }
    std::printf("tavrin-skin: %d files in %s\n", writer.filesWritten(), output.string().c_str());
    return 0;
}
