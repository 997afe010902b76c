// tavrin-skin: draws the skin pictures and the bitmap resources into a program directory.
//
//   tavrin-skin OUTPUT_DIR
//
// Needs a Qt platform for the fonts; the build runs it with QT_QPA_PLATFORM=offscreen.

#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <cstdio>

#include "SkinWriter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavrin-skin OUTPUT_DIR\n");
        return 2;
    }
    const std::filesystem::path output = argv[1];
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    // Missing fonts still give pictures, with fallback glyphs; say so rather than fail.
    for (const char* family : {"Liberation Sans", "Noto Sans CJK SC"}) {
        if (!QFontInfo(QFont(family)).family().startsWith(QString::fromLatin1(family).left(10))) {
            std::fprintf(stderr, "tavrin-skin: warning: font \"%s\" not found, using %s\n", family,
                         qPrintable(QFontInfo(QFont(family)).family()));
        }
    }
    tavrin::skin::SkinWriter writer(output);
    if (!writer.writeAll()) {
        for (const std::string& error : writer.errors()) {
            std::fprintf(stderr, "tavrin-skin: %s\n", error.c_str());
        }
        return 1;
    }
    std::printf("tavrin-skin: %d files in %s\n", writer.filesWritten(), output.string().c_str());
    return 0;
}
