#pragma once

// Every picture the windows read from the skin folders, with the size its window's layout implies,
// and every bitmap resource and the icon compiled into the application. The generator draws
// exactly these files; the tests check the generated folders against this table and against the
// layout rectangles.
//
// Sizes: an image drawn at a fixed point is as large as the click rectangle it stands for (union
// of the drawing point and the rectangle). Names that differ only in letter case ("Disable.png" and
// "disable.png", "MacroButton3.png" and "macroButton3.png") are one file, because the windows look
// names up without regard to case.

#include <array>
#include <string>
#include <string_view>

namespace tavrin::skin {

enum class Folder { Main, Config, Custom, MacroManagement };

// The folder below "png/<language>/" that holds a picture.
inline constexpr std::string_view SubFolderName(Folder folder) {
    switch (folder) {
        case Folder::Main:
            return "";
        case Folder::Config:
            return "Config";
        case Folder::Custom:
            return "Custom";
        case Folder::MacroManagement:
            return "MacroManagement";
    }
    return "";
}

// What a picture shows; the artist has one drawing per kind.
enum class Art {
    MainBackground,
    TitleHelp,
    TitleMinimise,
    TitleClose,
    Logo,
    Keyboard104,
    Keyboard87,
    BottomButton,
    ProfileButton,
    HelpWindow,
    SectionHeader,      // closed header, chevron pointing right
    SectionHeaderOpen,  // header of an open section, chevron down
    LightHeader,        // the Light header, the same open or closed
    LightBody,          // the open Light section below its header
    SpeedBackdrop,      // freq.png: the speed area of the open Light section
    ComboBox,           // effect box and response box
    DirectionUp,
    DirectionDown,
    DirectionRight,
    DirectionLeft,
    Radio,
    MacroSection,
    MacroButton,
    GameModeOpen,
    ResponseTimeOpen,
    ReportRateOpen,
    Thumb,
    SliderPlate,
    RateLabels,
    Splash,
    KeyDialogBackground,
    DialogClose,
    Tab,
    TabBand,
    TabMarker,
    SmallButton,
    LaunchPanel,
    PathField,
    BrowseButton,
    MacroDialogBackground,
    RecordButton,
    Tick,
    MediumButton,
    ProfileDialogBackground,
    NewTile,
    DeleteTile,
    // Bitmap resources and the icon.
    ArrowDown,
    ArrowUp,
    Clock,
    PlusSign,
    MinusSign,
    TrackEmpty,
    TrackFilled,
    ListPanel,
    AppIcon,
};

struct SkinImage {
    Folder folder;
    std::string_view name;
    int width;
    int height;
    Art art;
    bool active;  // the hover, pressed, ticked or highlighted variant
    std::string_view shows;
};

// Main window geometry that several pictures share.
inline constexpr int kMainWidth = 1000;
inline constexpr int kMainHeight = 645;
inline constexpr int kKeyboardWidth = 705;   // covers every key rectangle of both layouts
inline constexpr int kKeyboardHeight = 450;  // room for the reflection below the case
inline constexpr int kPanelWidth = 243;      // left-panel sections, x 19..261

// clang-format off
inline constexpr std::array kSkinImages = std::to_array<SkinImage>({
    // Main window, drawn at the positions of its layout.
    {Folder::Main, "main.png", kMainWidth, kMainHeight, Art::MainBackground, false, "window background: title bar, left panel, keyboard card, bottom bar"},
    {Folder::Main, "button-help-normal.png", 17, 16, Art::TitleHelp, false, "help title button at (936,5), click (936,5)-(952,20)"},
    {Folder::Main, "button-help-over.png", 17, 16, Art::TitleHelp, true, "help title button, pointer over it"},
    {Folder::Main, "button-min-normal.png", 17, 16, Art::TitleMinimise, false, "minimise title button at (957,5)"},
    {Folder::Main, "button-min-over.png", 17, 16, Art::TitleMinimise, true, "minimise title button, pointer over it"},
    {Folder::Main, "button-close-normal.png", 17, 16, Art::TitleClose, false, "close title button at (978,5)"},
    {Folder::Main, "button-close-over.png", 17, 16, Art::TitleClose, true, "close title button, pointer over it"},
    {Folder::Main, "logo.png", kPanelWidth, 68, Art::Logo, false, "brand mark at (19,35), logo area (19,32)-(261,102)"},
    {Folder::Main, "kb_BK.png", kKeyboardWidth, kKeyboardHeight, Art::Keyboard104, false, "104-key keyboard at (275,85), a cap on every key rectangle"},
    {Folder::Main, "kb_hl.png", kKeyboardWidth, kKeyboardHeight, Art::Keyboard104, true, "104-key keyboard with every key highlighted"},
    {Folder::Main, "kb_BK_87.png", kKeyboardWidth, kKeyboardHeight, Art::Keyboard87, false, "87-key keyboard at (275,85)"},
    {Folder::Main, "kb_hl_87.png", kKeyboardWidth, kKeyboardHeight, Art::Keyboard87, true, "87-key keyboard with every key highlighted"},
    {Folder::Main, "button-cancel-normal.png", 58, 36, Art::BottomButton, false, "Return, Cancel and Save buttons at (800,600), (862,600), (924,600); click rectangles 58 x 31 from y 605"},
    {Folder::Main, "button-cancel-over.png", 58, 36, Art::BottomButton, true, "bottom button, pointer over it"},
    {Folder::Main, "button-save-normal.png", 58, 36, Art::BottomButton, false, "Save button of the button table, (923,605)-(980,635)"},
    {Folder::Main, "button-save-over.png", 58, 36, Art::BottomButton, true, "Save button of the button table, pointer over it"},
    {Folder::Main, "Config.png", 73, 31, Art::ProfileButton, false, "Profile button at (17,603), click (19,605)-(89,633); caption drawn at run time"},
    {Folder::Main, "HelpWindow.png", 167, 78, Art::HelpWindow, false, "help pop-up at (830,22), rows of 25 pixels, click area (830,22)-(996,99)"},
    {Folder::Main, "itemBK.png", kPanelWidth, 21, Art::LightHeader, false, "Light header at (19,110), click (19,110)-(261,130)"},
    {Folder::Main, "light_BK.png", 242, 18, Art::LightHeader, false, "Light header of the button table, (19,110)-(260,127)"},
    {Folder::Main, "LEDEffect_open.png", kPanelWidth, 196, Art::LightBody, false, "open Light section body at (19,130), down to y 325"},
    {Folder::Main, "freq.png", kPanelWidth, 81, Art::SpeedBackdrop, false, "brightness and speed area at (19,245) for effects 1..49"},
    {Folder::Main, "Light_Item.png", 221, 17, Art::ComboBox, false, "effect box at (28,158) and response box at (28,yR+28), click 221 x 16 and 221 x 17"},
    {Folder::Main, "Direction-T-Disable.png", 36, 16, Art::DirectionUp, false, "Wave direction T at (29,197), click (29,197)-(64,212)"},
    {Folder::Main, "Direction-T-Enable.png", 36, 16, Art::DirectionUp, true, "Wave direction T, chosen"},
    {Folder::Main, "Direction-B-Disable.png", 36, 16, Art::DirectionDown, false, "Wave direction B at (79,197)"},
    {Folder::Main, "Direction-B-Enable.png", 36, 16, Art::DirectionDown, true, "Wave direction B, chosen"},
    {Folder::Main, "Direction-R-Disable.png", 36, 16, Art::DirectionRight, false, "Wave direction R at (129,197)"},
    {Folder::Main, "Direction-R-Enable.png", 36, 16, Art::DirectionRight, true, "Wave direction R, chosen"},
    {Folder::Main, "Direction-L-Disable.png", 36, 16, Art::DirectionLeft, false, "Wave direction L at (179,197)"},
    {Folder::Main, "Direction-L-Enable.png", 36, 16, Art::DirectionLeft, true, "Wave direction L, chosen"},
    {Folder::Main, "Disable.png", 11, 10, Art::Radio, false, "radio not chosen: Game Mode, Win Lock (34,yG+33)-(44,yG+42), Keymap and DIY at (28,199)"},
    {Folder::Main, "Enable.png", 11, 10, Art::Radio, true, "radio chosen"},
    {Folder::Main, "MacroManagementBK.png", kPanelWidth, 46, Art::MacroSection, false, "Macro Management section at (19,yM)"},
    {Folder::Main, "MacroButton3.png", 241, 19, Art::MacroButton, false, "Macro Management button at (19,yM+10), click (19,yM+10)-(259,yM+28)"},
    {Folder::Main, "gamemode_Close.png", kPanelWidth, 21, Art::SectionHeader, false, "closed Game Mode header at (19,yG), click to yG+20"},
    {Folder::Main, "gamemode_open.png", kPanelWidth, 46, Art::GameModeOpen, false, "open Game Mode section: header with Win Lock half, radio row at yG+33"},
    {Folder::Main, "responsetime_close.png", kPanelWidth, 21, Art::SectionHeader, false, "closed Response Time header at (19,yR)"},
    {Folder::Main, "responsetime_open.png", kPanelWidth, 56, Art::ResponseTimeOpen, false, "open Response Time section, response box at (28,yR+28)"},
    {Folder::Main, "reportrate_Close.png", kPanelWidth, 21, Art::SectionHeader, false, "closed USB Report Rate header at (19,yU)"},
    {Folder::Main, "reportrate_Open.png", kPanelWidth, 56, Art::ReportRateOpen, false, "open USB Report Rate section, slider at (28,yU+23) with its rate labels"},
    {Folder::Main, "Thumb.png", 15, 14, Art::Thumb, false, "slider thumb, drawn at (l+tx, t+ty+1)"},
    {Folder::Main, "1.png", 218, 23, Art::SliderPlate, false, "slider plate of the button table, (28,258)-(245,280)"},
    {Folder::Main, "125Hz.png", 213, 10, Art::RateLabels, false, "report-rate labels of the button table, (35,534)-(247,543)"},
    {Folder::Main, "SplashScreen.png", 480, 270, Art::Splash, false, "splash screen shown while the main window starts"},

    // Key assignment dialog, png/<language>/Custom/.
    {Folder::Custom, "Custom_BK.png", 326, 276, Art::KeyDialogBackground, false, "key assignment dialog background; its bottom row is 0x232323 like the tick-box redraw"},
    {Folder::Custom, "button-close-normal.png", 16, 16, Art::DialogClose, false, "close button, (303,2)-(318,17)"},
    {Folder::Custom, "button-close-over.png", 16, 16, Art::DialogClose, true, "close button, pointer over it"},
    {Folder::Custom, "large_button.png", 82, 27, Art::Tab, false, "tab, (0,31)-(81,57) and the three beside it; each overlaps the next by a pixel"},
    {Folder::Custom, "single_combine_option.png", 326, 7, Art::TabBand, false, "band over the tabs, (0,30)-(325,36)"},
    {Folder::Custom, "cursor.png", 10, 7, Art::TabMarker, false, "active-tab marker at x 35, 115, 200 or 280, y 30"},
    {Folder::Custom, "Disable.png", 11, 10, Art::Radio, false, "Disable tick box (19,251)-(29,260) unticked; launch-row radio (15,y0+4)-(25,y0+13)"},
    {Folder::Custom, "Enable.png", 11, 10, Art::Radio, true, "tick box ticked; launch-row radio chosen"},
    {Folder::Custom, "button-cancel-normal.png", 42, 23, Art::SmallButton, false, "Default and Cancel buttons, (156,246)-(197,268) and (210,246)-(251,268)"},
    {Folder::Custom, "button-cancel-over.png", 42, 23, Art::SmallButton, true, "Default or Cancel, pointer over it"},
    {Folder::Custom, "button-save-normal.png", 42, 23, Art::SmallButton, false, "Save button, (264,246)-(305,268)"},
    {Folder::Custom, "button-save-over.png", 42, 23, Art::SmallButton, true, "Save button, pointer over it"},
    {Folder::Custom, "Macro_BK.png", 290, 118, Art::LaunchPanel, false, "launch panel at (15,66) behind the four rows y0 = 68 + 30 r"},
    {Folder::Custom, "Advanced.png", 159, 16, Art::PathField, false, "path field at (85,y0), path cell (83,y0)-(243,y0+15)"},
    {Folder::Custom, "view.png", 47, 16, Art::BrowseButton, false, "browse button at (256,y0), click (256,y0)-(302,y0+15)"},
    {Folder::Custom, "view02.png", 47, 16, Art::BrowseButton, true, "browse button, pointer over it"},

    // Macro manager, png/<language>/MacroManagement/.
    {Folder::MacroManagement, "MacroManagement.png", 412, 436, Art::MacroDialogBackground, false, "macro manager background with the two list panels and the options panel"},
    {Folder::MacroManagement, "Record-normal.png", 90, 25, Art::RecordButton, false, "record button, (290,100)-(379,124); caption drawn at run time"},
    {Folder::MacroManagement, "Record-over.png", 90, 25, Art::RecordButton, true, "record button, pointer over it"},
    {Folder::MacroManagement, "Pane.png", 15, 15, Art::Tick, false, "tick box off, (368,168)-(382,182) and (296,315)-(310,329)"},
    {Folder::MacroManagement, "PaneMakingTick.png", 15, 15, Art::Tick, true, "tick box on"},
    {Folder::MacroManagement, "button-new-normal.png", 58, 25, Art::MediumButton, false, "New, Delete, OK, Cancel, e.g. (20,368)-(77,392)"},
    {Folder::MacroManagement, "button-new-over.png", 58, 25, Art::MediumButton, true, "New, Delete, OK, Cancel, pointer over it"},

    // Profile manager, png/<language>/Config/.
    {Folder::Config, "Config.png", 264, 632, Art::ProfileDialogBackground, false, "profile manager background, list area (1,34) 260 x 540"},
    {Folder::Config, "button-close-normal.png", 16, 16, Art::DialogClose, false, "close button at (247,10), click (248,11)-(262,24)"},
    {Folder::Config, "New.png", 67, 50, Art::NewTile, false, "New button at (13,575), click (14,576)-(79,624); caption at run time"},
    {Folder::Config, "Delete.png", 67, 50, Art::DeleteTile, false, "Delete button at (183,575), click (184,576)-(249,624)"},
});

struct ResourceImage {
    std::string_view path;  // inside the resource root, e.g. "bitmaps/131.png" is ":/bitmaps/131.png"
    int id;
    int width;
    int height;
    Art art;
    std::string_view shows;
};

inline constexpr std::array kResourceImages = std::to_array<ResourceImage>({
    {"bitmaps/131.png", 131, 10, 14, Art::ArrowDown, "red arrow down: key-press line icon; also the tree's background bitmap"},
    {"bitmaps/133.png", 133, 9, 9, Art::PlusSign, "tree expand sign"},
    {"bitmaps/134.png", 134, 9, 9, Art::MinusSign, "tree collapse sign"},
    {"bitmaps/137.png", 137, 14, 14, Art::Clock, "cyan clock face: delay line icon"},
    {"bitmaps/138.png", 138, 10, 14, Art::ArrowUp, "red arrow up: key-release line icon"},
    {"bitmaps/139.png", 139, 220, 17, Art::TrackEmpty, "slider track right of the thumb"},
    {"bitmaps/140.png", 140, 220, 17, Art::TrackFilled, "slider track left of the thumb"},
    {"bitmaps/141.png", 141, 15, 14, Art::Thumb, "slider thumb"},
    {"bitmaps/145.png", 145, 127, 305, Art::ListPanel, "list panel with rounded frame and header band; lists use it from (7,22)"},
    {"icons/154.png", 154, 16, 16, Art::AppIcon, "program icon, 16 x 16 (window, notification area, tree)"},
    {"icons/154-32.png", 154, 32, 32, Art::AppIcon, "program icon, 32 x 32"},
    {"icons/154-48.png", 154, 48, 48, Art::AppIcon, "program icon, 48 x 48"},
    {"icons/154-256.png", 154, 256, 256, Art::AppIcon, "program icon, 256 x 256"},
});
// clang-format on

// High-density screens: beside every skin picture "name.png" and every bitmap "bitmaps/<id>.png"
// lies "name@2x.png", twice the width and height. The icons come in their own sizes instead.
inline constexpr int kHighDensityScale = 2;

inline bool HasHighDensityTwin(const ResourceImage& resource) {
    return resource.path.starts_with("bitmaps/");
}

// "bitmaps/139.png" -> "bitmaps/139@2x.png"; a name without ".png" gets the suffix at its end.
inline std::string HighDensityName(std::string_view name) {
    std::string twin(name);
    const std::string_view extension = ".png";
    const std::size_t at = name.ends_with(extension) ? name.size() - extension.size() : name.size();
    twin.insert(at, "@2x");
    return twin;
}

}  // namespace tavrin::skin
