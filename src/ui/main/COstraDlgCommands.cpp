// Region actions of the main window and the two drop-down lists.

#include "model/KeyTables.h"
#include "model/LightingRules.h"
#include "model/LocalFiles.h"
#include "ui/controls/CBitSlider.h"
#include "ui/main/COstraDlg.h"

namespace tavrin {

void COstraDlg::onRegionClicked(Region region) {
    SettingsBlock& s = model_.settings;
    switch (region) {
        case Region::Help:
            state_.helpOpen = !state_.helpOpen;
            break;
        case Region::Minimise:
            hideAsMinimise();
            break;
        case Region::Close:
            closeProgram();
            break;
        case Region::LightHeader:
            state_.panel.lightCollapsed = !state_.panel.lightCollapsed;
            break;
        case Region::EffectBox:
            if (!state_.panel.lightCollapsed) {
                state_.effectListOpen = true;
                for (int id : {kSpeedSliderId, kBrightnessSliderId}) {
                    if (CBitSlider* sl = slider(id)) {
                        sl->hide();
                    }
                }
            }
            break;
        case Region::DirectionT:
            s.setDirectionCode(3);
            break;
        case Region::DirectionB:
            s.setDirectionCode(2);
            break;
        case Region::DirectionR:
            s.setDirectionCode(1);
            break;
        case Region::DirectionL:
            s.setDirectionCode(0);
            break;
        case Region::KeymapRadio:
            state_.diyView = false;
            break;
        case Region::DiyRadio:
            state_.diyView = true;
            break;
        case Region::GameModeHeader:
            state_.panel.gameCollapsed = !state_.panel.gameCollapsed;
            break;
        case Region::GameModeOn:
            s.setGameMode(1);
            break;
        case Region::GameModeOff:
            s.setGameMode(0);
            break;
        case Region::WinLockOn:
            s.setWinLock(1);
            break;
        case Region::WinLockOff:
            s.setWinLock(0);
            break;
        case Region::ResponseHeader:
            state_.panel.responseCollapsed = !state_.panel.responseCollapsed;
            break;
        case Region::ResponseBox:
            state_.responseListOpen = true;
            break;
        case Region::ReportHeader:
            state_.panel.reportCollapsed = !state_.panel.reportCollapsed;
            paintAll();
            break;
        case Region::MacroManagement:
        case Region::Profile:
        case Region::Return:
        case Region::Cancel:
        case Region::Save:
            emit commandRequested(region);
            break;
        case Region::Logo:
            break;
    }
}

void COstraDlg::effectListClick(int x, int y) {
    state_.effectListOpen = false;
    if (const auto row = EffectListRowAt(x, y)) {
        chooseEffectRow(*row);
    }
}

void COstraDlg::chooseEffectRow(std::uint8_t row) {
    state_.effectListOpen = false;
    state_.effectListRow = row;
    if (ChooseEffect(model_.settings, row)) {
        state_.diyView = model_.settings.effectCode() >= kFirstDiyEffect;
    }
}

void COstraDlg::responseListClick(int x, int y) {
    state_.responseListOpen = false;
    if (const auto row = ResponseListRowAt(LayoutSections(state_.panel), x, y)) {
        chooseResponseRow(*row);
    }
}

void COstraDlg::chooseResponseRow(std::uint8_t row) {
    state_.responseListOpen = false;
    state_.responseListRow = row;
    model_.settings.setResponseTime(static_cast<std::uint8_t>(row + 1));
}

void COstraDlg::applyModelRules() {
    // Once the lighting is shown, a colour the panel has no use for (the keyboard may report one)
    // becomes the nearest one it has. This happens when the model changes, never while painting.
    SettingsBlock& s = model_.settings;
    if (state_.panel.lightCollapsed || s.effectCode() >= kFirstDiyEffect) {
        return;
    }
    if (s.colourIndex() == 0) {
        s.setColourIndex(1);
    } else if (s.colourIndex() > 8) {
        s.setColourIndex(8);
    }
}

void COstraDlg::helpClick(int x, int y) {
    state_.helpOpen = false;
    if (830 <= x && x <= 996 && 22 <= y && y <= 99) {
        helpRow((y - 22) / 25);
    }
}

void COstraDlg::helpRow(int row) {
    state_.helpOpen = false;
    if (row == 0) {
        emit homePageRequested();
    } else if (row == 1) {
        emit updaterRequested();
    }
}

void COstraDlg::hideAsMinimise() {
    if (minimiseHides_) {
        hide();
    } else {
        showMinimized();
    }
}

void COstraDlg::closeProgram() {
    // Edits that never reached the keyboard are dropped from the file.
    lastWrite_ = WriteKeymapFromSaved(paths_.dataDir, model_);
    emit closeRequested();
}

}  // namespace tavrin
