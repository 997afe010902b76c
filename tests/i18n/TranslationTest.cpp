// The Chinese translation against the texts the windows must show, and against the code: every
// text the code marks for translation has a finished Chinese form, and the file holds no text
// the code no longer has.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <tuple>

namespace {

struct Expected {
    const char* context;
    const char* source;
    const char* comment;
    const char* chinese;
};

// The texts as the windows must show them in Chinese.
// clang-format off
const Expected kExpected[] = {
    {"tavrin::COstraDlg", "Profile", nullptr, "配置"},
    {"tavrin::COstraDlg", "Return", nullptr, "恢复"},
    {"tavrin::COstraDlg", "Cancel", nullptr, "取消"},
    {"tavrin::COstraDlg", "Save", nullptr, "保存"},
    {"tavrin::COstraDlg", "Update Firmware", nullptr, "驱动更新"},
    {"tavrin::COstraDlg", "Light", nullptr, "灯光"},
    {"tavrin::COstraDlg", "Effect", nullptr, "效果"},
    {"tavrin::COstraDlg", "Speed", nullptr, "速度"},
    {"tavrin::COstraDlg", "Slow", nullptr, "慢"},
    {"tavrin::COstraDlg", "Fast", nullptr, "快"},
    {"tavrin::COstraDlg", "Brightness", nullptr, "亮度"},
    {"tavrin::COstraDlg", "Dark", nullptr, "黑"},
    {"tavrin::COstraDlg", "Bright", nullptr, "亮"},
    {"tavrin::COstraDlg", "Direction", nullptr, "方向"},
    {"tavrin::COstraDlg", "Macro Management", nullptr, "宏管理器"},
    {"tavrin::COstraDlg", "Game Mode", nullptr, "游戏模式"},
    {"tavrin::COstraDlg", "Win Lock", nullptr, "Win Lock模式"},
    {"tavrin::COstraDlg", "ON", nullptr, "开启"},
    {"tavrin::COstraDlg", "OFF", nullptr, "关闭"},
    {"tavrin::COstraDlg", "Response Time", nullptr, "按键响应时间"},
    {"tavrin::COstraDlg", "USB Report Rate", nullptr, "USB报告率"},
    {"tavrin::AppCommands", "Confirm to return Factory Setting?", nullptr, "确认恢复至出厂设置吗？"},
    {"tavrin::AppCommands", "Factory Setting", nullptr, "出厂设置"},
    {"tavrin::AppCommands", "Firmware Update", nullptr, "固件更新"},
    {"tavrin::AppCommands", "Update new firmware？", nullptr, "更新到新的固件吗？"},
    {"tavrin::AppCommands", "Update new firmware?", nullptr, "更新到新的固件吗？"},
    {"tavrin::TrayController", "Exit", nullptr, "退出"},
    {"tavrin::CKeyMap", "Current Key:", nullptr, "当前按键:"},
    {"tavrin::CKeyMap", "Disable", nullptr, "禁用按钮"},
    {"tavrin::CKeyMap", "Default", nullptr, "初始值"},
    {"tavrin::CKeyMap", "Cancel", nullptr, "取消"},
    {"tavrin::CKeyMap", "Save", nullptr, "保存"},
    {"tavrin::CKeyMap", "Single/Combine", nullptr, "单键/组合键"},
    {"tavrin::CKeyMap", "Macro", nullptr, "宏"},
    {"tavrin::CKeyMap", "Basic", nullptr, "基本功能"},
    {"tavrin::CKeyMap", "Advance", nullptr, "高级功能"},
    {"tavrin::CKeyMap", "Single", nullptr, "单键"},
    {"tavrin::CKeyMap", "Combine", nullptr, "组合键"},
    {"tavrin::CKeyMap", "Media", nullptr, "多媒体"},
    {"tavrin::CKeyMap", "Shortcut", nullptr, "快捷健"},
    {"tavrin::CKeyMap", "Please select Sub item", nullptr, "请选择子项"},
    {"tavrin::LaunchPanel", "Play Sound", nullptr, "播放声音"},
    {"tavrin::LaunchPanel", "Startup", nullptr, "启动程序"},
    {"tavrin::LaunchPanel", "Open File", nullptr, "打开文件"},
    {"tavrin::LaunchPanel", "Open Folder", nullptr, "打开目录"},
    {"tavrin::LaunchPanel", "Please select a folder\n", nullptr, "请选择文件夹\n"},
    {"tavrin::CMacroRecordDlg", "Macro Manager", nullptr, "宏管理器"},
    {"tavrin::CMacroRecordDlg", "Macro Manager", "message caption", "宏管理"},
    {"tavrin::CMacroRecordDlg", "Select Macro", nullptr, "选择宏"},
    {"tavrin::CMacroRecordDlg", "Keystrobe Sequence", nullptr, "按键系列"},
    {"tavrin::CMacroRecordDlg", "Options", nullptr, "录制选项"},
    {"tavrin::CMacroRecordDlg", "Record Delay\nbetween\nkeystrokes", nullptr, "记录按键动作\n间的延迟"},
    {"tavrin::CMacroRecordDlg", "Number of Loops", nullptr, "循环次数"},
    {"tavrin::CMacroRecordDlg", "Start Recording", nullptr, "开始录制"},
    {"tavrin::CMacroRecordDlg", "Stop Recording", nullptr, "停止录制"},
    {"tavrin::CMacroRecordDlg", "New", nullptr, "新建"},
    {"tavrin::CMacroRecordDlg", "Delete", nullptr, "删除"},
    {"tavrin::CMacroRecordDlg", "OK", nullptr, "确定"},
    {"tavrin::CMacroRecordDlg", "Cancel", nullptr, "取消"},
    {"tavrin::CMacroRecordDlg", "Please select a Macro file to record \n", nullptr, "请选择一个宏指令文件录制\n"},
    {"tavrin::CMacroRecordDlg", "Confirm to delete?", nullptr, "确认删除吗？"},
    {"tavrin::CMacroRecordDlg", "Please select a Macro file to delete\n", nullptr, "请选择一个宏指令文件删除\n"},
    {"tavrin::CMacroRecordDlg", "Please edit current delay\n", nullptr, "请编辑当前延时\n"},
    {"tavrin::CMacroRecordDlg", "Insert Before", nullptr, "在之前开始录入"},
    {"tavrin::CMacroRecordDlg", "Insert After", nullptr, "在之后开始录入"},
    {"tavrin::CMacroRecordDlg", "Insert Mouse Key", nullptr, "插入鼠标按键"},
    {"tavrin::CMacroRecordDlg", "Left", nullptr, "左键"},
    {"tavrin::CMacroRecordDlg", "Right", nullptr, "右键"},
    {"tavrin::CMacroRecordDlg", "Middle", nullptr, "中健"},
    {"tavrin::CMacroRecordDlg", "Down", nullptr, "压下"},
    {"tavrin::CMacroRecordDlg", "Up", nullptr, "释放"},
    {"tavrin::CMacroRecordDlg", "Click", nullptr, "单击"},
    {"tavrin::CMacroRecordDlg", "Insert Delay", nullptr, "插入延迟"},
    {"tavrin::CConfigureDlg", "New", nullptr, "新建"},
    {"tavrin::CConfigureDlg", "Copy", nullptr, "复制"},
    {"tavrin::CConfigureDlg", "Save", nullptr, "保存"},
    {"tavrin::CConfigureDlg", "Load", nullptr, "加载"},
    {"tavrin::CConfigureDlg", "Delete", nullptr, "删除"},
    {"tavrin::CConfigureDlg", "Profile", "message caption", "配置管理"},
    {"tavrin::CConfigureDlg", "Only Create Six Profile mostly\n", nullptr, "最多可以存储6个配置\n"},
    {"tavrin::CConfigureDlg", "Please select a profile to copy\n", nullptr, "请选择一个配置拷贝"},
    {"tavrin::CConfigureDlg", "Please select a profile to Save\n", nullptr, "请选择一个配置存储"},
    {"tavrin::CConfigureDlg", "Please select a profile to Open\n", nullptr, "请选择一个配置打开"},
    {"tavrin::CConfigureDlg", "Please keep a profile\n", nullptr, "请至少保留一个配置文件"},
    {"tavrin::CConfigureDlg", "Please select a profile to delete\n", nullptr, "请选择一个配置删除"},
    {"tavrin::CConfigureDlg", "Delete current profile ?", nullptr, "删除当前配置文件吗"},
};
// clang-format on

TEST(ChineseTranslation, GivesEveryRequiredTextExactly) {
    QTranslator translator;
    ASSERT_TRUE(translator.load(QStringLiteral(":/i18n/tavrin_chinese.qm")));
    ASSERT_TRUE(QCoreApplication::installTranslator(&translator));
    for (const Expected& e : kExpected) {
        EXPECT_EQ(QCoreApplication::translate(e.context, e.source, e.comment).toStdString(),
                  e.chinese)
            << e.context << " \"" << e.source << '"' << (e.comment ? " / " : "")
            << (e.comment ? e.comment : "");
    }
    QCoreApplication::removeTranslator(&translator);
}

// One message of a .ts file.
using Key = std::tuple<QString, QString, QString>;  // context, source, comment
struct Entry {
    QString translation;
    QString type;  // "unfinished", "vanished", "obsolete" or empty for a finished one
};

QMap<Key, Entry> ReadTs(const QString& path, QString& error) {
    QMap<Key, Entry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot open ") + path;
        return entries;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Key key;
    Entry entry;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            continue;
        }
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            key = {context, QString(), QString()};
            entry = {};
        } else if (name == QLatin1String("source")) {
            std::get<1>(key) = xml.readElementText();
        } else if (name == QLatin1String("comment")) {
            std::get<2>(key) = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            entry.type = xml.attributes().value(QLatin1String("type")).toString();
            entry.translation = xml.readElementText();
            entries.insert(key, entry);
        }
    }
    if (xml.hasError()) {
        error = path + QStringLiteral(": ") + xml.errorString();
    }
    return entries;
}

QString Describe(const Key& key) {
    return std::get<0>(key) + QStringLiteral(" \"") + std::get<1>(key) + QLatin1Char('"') +
           (std::get<2>(key).isEmpty() ? QString() : QStringLiteral(" / ") + std::get<2>(key));
}

TEST(ChineseTranslation, CoversEveryTextOfTheCodeAndNoOther) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString source = QStringLiteral(TAVRIN_SOURCE_DIR);
    const QString scanned = dir.filePath(QStringLiteral("scanned.ts"));
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(TAVRIN_LUPDATE),
                  {QStringLiteral("-locations"), QStringLiteral("none"), QStringLiteral("-I"),
                   source + QStringLiteral("/src"), QStringLiteral("-I"),
                   source + QStringLiteral("/tools/skin"), source + QStringLiteral("/src"),
                   source + QStringLiteral("/tools"), QStringLiteral("-ts"), scanned});
    ASSERT_TRUE(lupdate.waitForFinished(120000));
    const QString log = QString::fromLocal8Bit(lupdate.readAll());
    ASSERT_EQ(lupdate.exitCode(), 0) << log.toStdString();
    // A class lupdate cannot resolve gives its texts a context the program does not use.
    EXPECT_FALSE(log.contains(QLatin1String("Qualifying with unknown"))) << log.toStdString();

    QString error;
    const QMap<Key, Entry> code = ReadTs(scanned, error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_FALSE(code.isEmpty());
    const QMap<Key, Entry> committed = ReadTs(QStringLiteral(TAVRIN_CHINESE_TS), error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();

    for (auto it = code.cbegin(); it != code.cend(); ++it) {
        const auto found = committed.constFind(it.key());
        if (found == committed.cend()) {
            ADD_FAILURE() << "no Chinese for " << Describe(it.key()).toStdString();
        } else if (!found->type.isEmpty() || found->translation.isEmpty()) {
            ADD_FAILURE() << "the Chinese is not finished for " << Describe(it.key()).toStdString();
        }
    }
    for (auto it = committed.cbegin(); it != committed.cend(); ++it) {
        EXPECT_TRUE(code.contains(it.key()))
            << "the code no longer has " << Describe(it.key()).toStdString();
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
