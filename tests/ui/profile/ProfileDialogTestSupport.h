#pragma once

// A fixture for the profile manager's tests: a temporary program folder with its "Configure"
// folder, skin pictures of known colours, scripted message boxes and file choosers, settings in
// memory, and the rename's pauses recorded instead of slept.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/Model.h"
#include "model/ProfileFile.h"
#include "model/ProgramDirectory.h"
#include "model/SettingsStore.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "ui/controls/CTransparentListBox.h"
#include "ui/profile/CConfigureDlg.h"
#include "ui/support/UiTestSupport.h"

namespace tavrin::test {

inline const QColor kConfigBackground(40, 44, 52);
inline const QColor kCloseColour(200, 30, 30);
inline const QColor kNewColour(30, 120, 200);
inline const QColor kDeleteColour(200, 120, 30);

// A profile whose whole file is one byte value, so that tests can tell profiles apart.
inline ProfileFile FilledProfile(std::uint8_t value) {
    Model model;
    model.settings.bytes.fill(value);
    model.assignments.bytes.fill(value);
    model.macros.bytes.fill(value);
    return ProfileFile::FromModel(model);
}

class ProfileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* language : {"english", "chinese"}) {
            const auto folder = programDir.path() / "png" / language / "Config";
            WritePng(folder / "Config.png", SolidImage({264, 632}, kConfigBackground));
            WritePng(folder / "button-close-normal.png", SolidImage({16, 16}, kCloseColour));
            WritePng(folder / "New.png", SolidImage({67, 50}, kNewColour));
            WritePng(folder / "Delete.png", SolidImage({67, 50}, kDeleteColour));
        }
        skins = std::make_unique<SkinLookup>(std::vector<std::filesystem::path>{programDir.path()});
        std::filesystem::create_directory(configure());
    }

    void TearDown() override { dialog.reset(); }

    std::filesystem::path configure() const { return programDir.path() / "Configure"; }
    std::filesystem::path profilePath(const std::string& name) const {
        return configure() / (name + ".bin");
    }
    void putProfile(const std::string& name, std::uint8_t value = 0) {
        ASSERT_TRUE(FilledProfile(value).write(profilePath(name)).ok);
    }

    void makeDialog() {
        dialog = std::make_unique<CConfigureDlg>(model, settings, prompts, chooser, *skins,
                                                 programDir.path());
        dialog->setWait([this](int ms, std::function<void()> then) {
            waits.push_back(ms);
            then();
        });
    }
    void open() {
        if (!dialog) {
            makeDialog();
        }
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        ParkMouse(*dialog);
    }

    CTransparentListBox& list() const { return *dialog->profileList(); }
    QStringList lines() const {
        QStringList result;
        for (int i = 0; i < list().count(); ++i) {
            result << list().lineText(i);
        }
        return result;
    }
    void select(const QString& name) {
        const QStringList all = lines();
        ASSERT_TRUE(all.contains(name)) << name.toStdString();
        list().setSelectedLine(static_cast<int>(all.indexOf(name)));
    }
    std::vector<std::string> filesInFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(configure())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::u16string> shownTexts() const {
        std::vector<std::u16string> texts;
        for (const auto& shown : prompts.shown()) {
            texts.push_back(shown.text);
        }
        return texts;
    }

    void click(const QRect& area) {
        QTest::mouseClick(dialog.get(), Qt::LeftButton, {}, area.center());
    }

    // Renames line `line` through the list's in-place editor, as the user does it.
    void renameThroughEditor(int line, const QString& text) {
        const QPoint at = list().lineRect(line).center();
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, at);
        ASSERT_NE(list().editor(), nullptr);
        list().editor()->setText(text);
        QTest::keyRelease(list().editor(), Qt::Key_Return);
        QCoreApplication::processEvents();  // the list posts its WM_LIST_EDIT_END
    }

    TempDir programDir;
    std::unique_ptr<SkinLookup> skins;
    Model model;
    MemorySettingsStore settings;
    ScriptedPrompts prompts;
    ScriptedFileChooser chooser;
    std::vector<int> waits;
    std::unique_ptr<CConfigureDlg> dialog;
};

}  // namespace tavrin::test
