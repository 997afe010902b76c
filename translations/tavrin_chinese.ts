<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>tavrin::AccessDeniedNotice</name>
    <message>
        <source>Keyboard Access</source>
        <translation>无法访问键盘</translation>
    </message>
    <message>
        <source>The Gaming Keyboard is connected, but this user may not open it. Run this command in a terminal to install its access rule:

</source>
        <translation>已连接游戏键盘，但当前用户没有打开它的权限。请在终端中运行下面这条命令以安装访问规则：

</translation>
    </message>
</context>
<context>
    <name>tavrin::AppCommands</name>
    <message>
        <source>No keyboard is connected. Connect the keyboard, then try again.</source>
        <translation>未检测到键盘。请连接键盘后再试一次。</translation>
    </message>
    <message>
        <source>The keyboard is busy. Try again in a moment.</source>
        <translation>键盘正忙，请稍后再试。</translation>
    </message>
    <message>
        <source>Saving to the keyboard...</source>
        <translation>正在保存到键盘……</translation>
    </message>
    <message>
        <source>Restoring the factory settings...</source>
        <translation>正在恢复出厂设置……</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>The settings did not reach the keyboard. Check that the keyboard is connected, then press Save again.</source>
        <translation>设置没有保存到键盘。请检查键盘是否已连接，然后再次点击“保存”。</translation>
    </message>
    <message>
        <source>Factory Setting</source>
        <translation>出厂设置</translation>
    </message>
    <message>
        <source>Confirm to return Factory Setting?</source>
        <translation>确认恢复至出厂设置吗？</translation>
    </message>
    <message>
        <source>The factory settings could not be restored. Check that the keyboard is connected, then try again.</source>
        <translation>无法恢复出厂设置。请检查键盘是否已连接，然后再试一次。</translation>
    </message>
    <message>
        <source>The macros could not be saved to a file:
</source>
        <translation>宏无法保存到文件：
</translation>
    </message>
    <message>
        <source>The firmware updater could not be started:
</source>
        <translation>找不到固件更新程序，无法启动：
</translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation>固件更新</translation>
    </message>
    <message>
        <source>The keyboard did not answer, so its settings were not read. The program goes on with the settings it had; unplug the keyboard and plug it in again to read it.</source>
        <translation>键盘没有响应，未能读取其设置。程序继续使用原有的设置；请重新插拔键盘以再次读取。</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>键盘</translation>
    </message>
    <message>
        <source>A file could not be read and was left as it is:
</source>
        <translation>无法读取文件，文件保持原样：
</translation>
    </message>
    <message>
        <source>A file could not be created:
</source>
        <translation>无法创建文件：
</translation>
    </message>
    <message>
        <source>A file could not be written:
</source>
        <translation>无法写入文件：
</translation>
    </message>
    <message>
        <source>Update new firmware？</source>
        <translation>更新到新的固件吗？</translation>
    </message>
    <message>
        <source>Update new firmware?</source>
        <translation>更新到新的固件吗？</translation>
    </message>
</context>
<context>
    <name>tavrin::CAboutDlg</name>
    <message>
        <source>About Tavrin Gaming Keyboard</source>
        <translation>关于 Tavrin Gaming Keyboard</translation>
    </message>
    <message>
        <source>Tavrin Gaming Keyboard, Version 1.0</source>
        <translation>Tavrin Gaming Keyboard，版本 1.0</translation>
    </message>
    <message>
        <source>Settings for the Tavrin gaming keyboard</source>
        <translation>Tavrin 游戏键盘的设置程序</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>tavrin::CConfigureDlg</name>
    <message>
        <source>Profile</source>
        <translation>配置</translation>
    </message>
    <message>
        <source>The default profile could not be created:
</source>
        <translation>无法创建默认配置文件：
</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>The profile could not be read.
</source>
        <translation>无法读取该配置文件
</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>加载</translation>
    </message>
    <message>
        <source>Edit rules...</source>
        <translation>编辑规则...</translation>
    </message>
    <message>
        <source>Profile</source>
        <comment>message caption</comment>
        <translation>配置管理</translation>
    </message>
    <message>
        <source>The profile file could not be written.
</source>
        <translation>无法写入配置文件
</translation>
    </message>
    <message>
        <source>Only Create Six Profile mostly
</source>
        <translation>最多可以存储6个配置
</translation>
    </message>
    <message>
        <source>Please select a profile to copy
</source>
        <translation>请选择一个配置拷贝</translation>
    </message>
    <message>
        <source>Please select a profile to Save
</source>
        <translation>请选择一个配置存储</translation>
    </message>
    <message>
        <source>Please select a profile to Open
</source>
        <translation>请选择一个配置打开</translation>
    </message>
    <message>
        <source>The file cannot be opened:
</source>
        <translation>无法打开文件：
</translation>
    </message>
    <message>
        <source>This file is not a profile:
</source>
        <translation>此文件不是配置文件：
</translation>
    </message>
    <message>
        <source>Please keep a profile
</source>
        <translation>请至少保留一个配置文件</translation>
    </message>
    <message>
        <source>Please select a profile to delete
</source>
        <translation>请选择一个配置删除</translation>
    </message>
    <message>
        <source>Delete current profile ?</source>
        <translation>删除当前配置文件吗</translation>
    </message>
    <message>
        <source>The profile file could not be deleted.
</source>
        <translation>无法删除配置文件
</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Applies the selected profile</source>
        <translation>应用所选配置</translation>
    </message>
</context>
<context>
    <name>tavrin::CKeyMap</name>
    <message>
        <source>Media</source>
        <translation>多媒体</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>快捷健</translation>
    </message>
    <message>
        <source>Windows</source>
        <translation>Windows</translation>
    </message>
    <message>
        <source>Please select Sub item</source>
        <translation>请选择子项</translation>
    </message>
    <message>
        <source>Single/Combine</source>
        <translation>单键/组合键</translation>
    </message>
    <message>
        <source>Macro</source>
        <translation>宏</translation>
    </message>
    <message>
        <source>Basic</source>
        <translation>基本功能</translation>
    </message>
    <message>
        <source>Advance</source>
        <translation>高级功能</translation>
    </message>
    <message>
        <source>Current Key:</source>
        <translation>当前按键:</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>禁用按钮</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>初始值</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Single</source>
        <translation>单键</translation>
    </message>
    <message>
        <source>Combine</source>
        <translation>组合键</translation>
    </message>
    <message>
        <source>Press Enter, then the key to take</source>
        <translation>按回车键，然后按要设置的键</translation>
    </message>
    <message>
        <source>Browse %1</source>
        <translation>浏览 %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>tavrin::CMacroRecordDlg</name>
    <message>
        <source>Macro Manager</source>
        <translation>宏管理器</translation>
    </message>
    <message>
        <source>Select Macro</source>
        <translation>选择宏</translation>
    </message>
    <message>
        <source>Keystrobe Sequence</source>
        <translation>按键系列</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>录制选项</translation>
    </message>
    <message>
        <source>Stop Recording</source>
        <translation>停止录制</translation>
    </message>
    <message>
        <source>Start Recording</source>
        <translation>开始录制</translation>
    </message>
    <message>
        <source>Record Delay
between
keystrokes</source>
        <translation>记录按键动作
间的延迟</translation>
    </message>
    <message>
        <source>Number of Loops</source>
        <translation>循环次数</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Confirm to delete?</source>
        <translation>确认删除吗？</translation>
    </message>
    <message>
        <source>Macro Manager</source>
        <comment>message caption</comment>
        <translation>宏管理</translation>
    </message>
    <message>
        <source>Please select a Macro file to delete
</source>
        <translation>请选择一个宏指令文件删除
</translation>
    </message>
    <message>
        <source>Insert Before</source>
        <translation>在之前开始录入</translation>
    </message>
    <message>
        <source>Insert After</source>
        <translation>在之后开始录入</translation>
    </message>
    <message>
        <source>Insert Mouse Key</source>
        <translation>插入鼠标按键</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>左键</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>右键</translation>
    </message>
    <message>
        <source>Middle</source>
        <translation>中健</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>压下</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>释放</translation>
    </message>
    <message>
        <source>Click</source>
        <translation>单击</translation>
    </message>
    <message>
        <source>Insert Delay</source>
        <translation>插入延迟</translation>
    </message>
    <message>
        <source>Please edit current delay
</source>
        <translation>请编辑当前延时
</translation>
    </message>
    <message>
        <source>Please select a Macro file to record 
</source>
        <translation>请选择一个宏指令文件录制
</translation>
    </message>
</context>
<context>
    <name>tavrin::COstraApp</name>
    <message>
        <source>The profile %1 was not applied:
%2</source>
        <translation>未能应用配置 %1：
%2</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>配置管理</translation>
    </message>
    <message>
        <source>Profile %1 waits: save or cancel your changes first.</source>
        <translation>配置文件“%1”等待中：请先保存或取消更改。</translation>
    </message>
    <message>
        <source>Automatic profiles did not switch:
%1</source>
        <translation>自动配置未切换：
%1</translation>
    </message>
</context>
<context>
    <name>tavrin::COstraDlg</name>
    <message>
        <source>Profile</source>
        <translation>配置</translation>
    </message>
    <message>
        <source>Return</source>
        <translation>恢复</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Update Firmware</source>
        <translation>驱动更新</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>灯光</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>效果</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>速度</translation>
    </message>
    <message>
        <source>Slow</source>
        <translation>慢</translation>
    </message>
    <message>
        <source>Fast</source>
        <translation>快</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>亮度</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>黑</translation>
    </message>
    <message>
        <source>Bright</source>
        <translation>亮</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>Macro Management</source>
        <translation>宏管理器</translation>
    </message>
    <message>
        <source>Game Mode</source>
        <translation>游戏模式</translation>
    </message>
    <message>
        <source>Win Lock</source>
        <translation>Win Lock模式</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>开启</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Response Time</source>
        <translation>按键响应时间</translation>
    </message>
    <message>
        <source>USB Report Rate</source>
        <translation>USB报告率</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>已禁用</translation>
    </message>
    <message>
        <source>Macro %1</source>
        <translation>宏 %1</translation>
    </message>
    <message>
        <source>Play Sound: %1</source>
        <translation>播放声音: %1</translation>
    </message>
    <message>
        <source>Launch: %1</source>
        <translation>启动: %1</translation>
    </message>
    <message>
        <source>Open File: %1</source>
        <translation>打开文件: %1</translation>
    </message>
    <message>
        <source>Open Folder: %1</source>
        <translation>打开文件夹: %1</translation>
    </message>
    <message>
        <source>Lit</source>
        <translation>亮</translation>
    </message>
    <message>
        <source>Not lit</source>
        <translation>不亮</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>键盘</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>上</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>下</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>右</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>左</translation>
    </message>
</context>
<context>
    <name>tavrin::CliRequest</name>
    <message>
        <source>%1 has no option --%2.</source>
        <translation>%1 没有选项 --%2。</translation>
    </message>
    <message>
        <source>--%1 is given twice.</source>
        <translation>--%1 出现了两次。</translation>
    </message>
    <message>
        <source>--%1 takes no value.</source>
        <translation>--%1 不带值。</translation>
    </message>
    <message>
        <source>--%1 needs a value.</source>
        <translation>--%1 需要一个值。</translation>
    </message>
    <message>
        <source>--%1 needs at least one key.</source>
        <translation>--%1 至少需要一个按键。</translation>
    </message>
    <message>
        <source>Wrong number of arguments. Usage: tavrinctl %1</source>
        <translation>参数个数不对。用法：tavrinctl %1</translation>
    </message>
    <message>
        <source>%1 must be a whole number, not &quot;%2&quot;.</source>
        <translation>%1 必须是整数，而不是“%2”。</translation>
    </message>
    <message>
        <source>Say on or off, not &quot;%1&quot;.</source>
        <translation>请输入 on 或 off，而不是“%1”。</translation>
    </message>
    <message>
        <source>%1 needs a value.</source>
        <translation>%1 需要一个值。</translation>
    </message>
    <message>
        <source>No command given.
</source>
        <translation>没有给出命令。
</translation>
    </message>
    <message>
        <source>Unknown command &quot;%1&quot;.
</source>
        <translation>未知的命令“%1”。
</translation>
    </message>
    <message>
        <source>Give --colour once.</source>
        <translation>--colour 只能给一次。</translation>
    </message>
    <message>
        <source>Give exactly one of --key, --combo, --macro, --function, --program, --file, --folder, --sound, --disable, --default.</source>
        <translation>请只给出 --key、--combo、--macro、--function、--program、--file、--folder、--sound、--disable、--default 之一。</translation>
    </message>
    <message>
        <source>Give exactly one of --on, --off, --clear, --all.</source>
        <translation>请只给出 --on、--off、--clear、--all 之一。</translation>
    </message>
    <message>
        <source>Give one of --process NAME and --window-class CLASS.</source>
        <translation>请给出 --process NAME 或 --window-class CLASS 之一。</translation>
    </message>
    <message>
        <source>--while is running or focused, not &quot;%1&quot;.</source>
        <translation>--while 应为 running 或 focused，而不是“%1”。</translation>
    </message>
    <message>
        <source>A window class has no process: use --while focused, or --process NAME.</source>
        <translation>窗口类没有对应的进程：请使用 --while focused 或 --process NAME。</translation>
    </message>
    <message>
        <source>reset needs --factory: it restores the keyboard&apos;s factory settings.</source>
        <translation>reset 需要 --factory：它将键盘恢复出厂设置。</translation>
    </message>
    <message>
        <source>Give one of --allow-launch and --drop-launch, not both.</source>
        <translation>--allow-launch 和 --drop-launch 只能给出其中一个。</translation>
    </message>
    <message>
        <source>--allow-launch and --drop-launch go with profile apply and profile import.</source>
        <translation>--allow-launch 和 --drop-launch 只用于 profile apply 和 profile import。</translation>
    </message>
</context>
<context>
    <name>tavrin::KeyboardScripting</name>
    <message>
        <source>Unknown method %1.</source>
        <translation>未知的方法 %1。</translation>
    </message>
    <message>
        <source>%1 takes the arguments (%2).</source>
        <translation>%1 的参数应为 (%2)。</translation>
    </message>
    <message>
        <source>A file could not be written: %1</source>
        <translation>无法写入文件：%1</translation>
    </message>
    <message>
        <source>No keyboard is connected.</source>
        <translation>未检测到键盘。</translation>
    </message>
    <message>
        <source>The keyboard is connected, but this user may not open it. Install the udev rule (see the README).</source>
        <translation>已连接键盘，但当前用户无权打开它。请安装 udev 规则（见 README）。</translation>
    </message>
    <message>
        <source>A window of the program is editing the configuration. Close it, then try again.</source>
        <translation>程序的窗口正在编辑配置。请关闭该窗口后再试一次。</translation>
    </message>
    <message>
        <source>The keyboard is busy. Try again in a moment.</source>
        <translation>键盘正忙，请稍后再试。</translation>
    </message>
    <message>
        <source>The keyboard did not take the change: %1</source>
        <translation>键盘没有接受更改：%1</translation>
    </message>
    <message>
        <source>The factory settings could not be restored: %1</source>
        <translation>无法恢复出厂设置：%1</translation>
    </message>
    <message>
        <source>Unknown effect &quot;%1&quot;. The effects are Static, Breathing, Wave, Reactive, Sidewinder, Ripple, Instant-on, RainDropo, Horse Race, Scatter, Single Ripple, Character, Radar and DIY1 to DIY5, or 0 to 17.</source>
        <translation>未知的灯效“%1”。</translation>
    </message>
    <message>
        <source>The speed and the brightness go from 0 to 4.</source>
        <translation>速度和亮度的范围是 0 到 4。</translation>
    </message>
    <message>
        <source>Unknown direction &quot;%1&quot;: up, down, left or right.</source>
        <translation>未知的方向“%1”：up、down、left 或 right。</translation>
    </message>
    <message>
        <source>The colour goes from 1 to 8.</source>
        <translation>颜色的范围是 1 到 8。</translation>
    </message>
    <message>
        <source>The response time is 2 to 20 ms in steps of 2; %1 is not.</source>
        <translation>响应时间为 2 到 20 毫秒，步长为 2；%1 不在其中。</translation>
    </message>
    <message>
        <source>Unknown report rate &quot;%1&quot;: a position 0 to 3, or 125, 250, 500 or 1000 Hz.</source>
        <translation>未知的回报率“%1”：位置 0 到 3，或 125、250、500、1000 Hz。</translation>
    </message>
    <message>
        <source>Unknown key &quot;%1&quot;.</source>
        <translation>未知的按键“%1”。</translation>
    </message>
    <message>
        <source>This keyboard has no key &quot;%1&quot;.</source>
        <translation>此键盘没有按键“%1”。</translation>
    </message>
    <message>
        <source>A combination has two or three keys joined by &quot;+&quot;.</source>
        <translation>组合键由两个或三个按键以“+”连接。</translation>
    </message>
    <message>
        <source>There is no macro %1; macros 1 to %2 exist.</source>
        <translation>没有宏 %1；现有宏 1 到 %2。</translation>
    </message>
    <message>
        <source>Unknown function &quot;%1&quot;.</source>
        <translation>未知的功能“%1”。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a folder.</source>
        <translation>“%1”不是文件夹。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a file.</source>
        <translation>“%1”不是文件。</translation>
    </message>
    <message>
        <source>A key holds a path of at most 255 characters.</source>
        <translation>按键最多保存 255 个字符的路径。</translation>
    </message>
    <message>
        <source>Unknown assignment &quot;%1&quot;: key, combo, macro, function, program, file, folder, sound, disable or default.</source>
        <translation>未知的分配方式“%1”。</translation>
    </message>
    <message>
        <source>The assignment was refused.</source>
        <translation>分配被拒绝。</translation>
    </message>
    <message>
        <source>The DIY layers are 1 to 5.</source>
        <translation>DIY 层为 1 到 5。</translation>
    </message>
    <message>
        <source>Unknown DIY action &quot;%1&quot;: on, off, clear or all.</source>
        <translation>未知的 DIY 操作“%1”。</translation>
    </message>
    <message>
        <source>Name the keys to switch.</source>
        <translation>请指定要切换的按键。</translation>
    </message>
    <message>
        <source>--clear and --all take no keys.</source>
        <translation>--clear 和 --all 不带按键。</translation>
    </message>
    <message>
        <source>Unknown key &quot;%1&quot;, or one without a light.</source>
        <translation>未知的按键“%1”，或该键没有灯。</translation>
    </message>
    <message>
        <source>There is no macro %1.</source>
        <translation>没有宏 %1。</translation>
    </message>
    <message>
        <source>Macro %1 cannot be imported: macros 1 to %2 exist, so the number is 1 to %3.</source>
        <translation>无法导入宏 %1：现有宏 1 到 %2，编号应为 1 到 %3。</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>无法读取 %1：%2</translation>
    </message>
    <message>
        <source>%1 is not a macro file: %2</source>
        <translation>%1 不是宏文件：%2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be a profile name: it must be 1 to 95 characters without &quot;/&quot;, &quot;\&quot; or &quot;..&quot;.</source>
        <translation>“%1”不能作为配置文件名：须为 1 到 95 个字符，且不含“/”、“\”或“..”。</translation>
    </message>
    <message>
        <source>There are six profiles already.</source>
        <translation>已有六个配置文件。</translation>
    </message>
    <message>
        <source>There is no profile &quot;%1&quot;.</source>
        <translation>没有配置文件“%1”。</translation>
    </message>
    <message>
        <source>The profile could not be read: %1</source>
        <translation>无法读取配置文件：%1</translation>
    </message>
    <message>
        <source>The profile could not be created: %1</source>
        <translation>无法创建配置文件：%1</translation>
    </message>
    <message>
        <source>The profile could not be copied: %1</source>
        <translation>无法复制配置文件：%1</translation>
    </message>
    <message>
        <source>There is a profile &quot;%1&quot; already.</source>
        <translation>已有配置文件“%1”。</translation>
    </message>
    <message>
        <source>The profile could not be renamed: %1</source>
        <translation>无法重命名配置文件：%1</translation>
    </message>
    <message>
        <source>The last profile cannot be deleted.</source>
        <translation>不能删除最后一个配置文件。</translation>
    </message>
    <message>
        <source>The profile could not be deleted: %1</source>
        <translation>无法删除配置文件：%1</translation>
    </message>
    <message>
        <source>Cannot read %1.</source>
        <translation>无法读取 %1。</translation>
    </message>
    <message>
        <source>%1 is not a profile: it is too short.</source>
        <translation>%1 不是配置文件：文件太短。</translation>
    </message>
    <message>
        <source>A file that is not a listed profile is in the way: %1</source>
        <translation>有一个未列出的文件占用了该名称：%1</translation>
    </message>
    <message>
        <source>The profile &quot;%1&quot; makes keys open programs, files or folders that were not accepted before:
%2Choose whether to keep them or to take the profile without them.</source>
        <translation>配置“%1”会让按键打开以下尚未被接受的程序、文件或目录：
%2请选择保留它们，或者不带它们载入该配置。</translation>
    </message>
    <message>
        <source>Unknown choice &quot;%1&quot; for the launch actions: keep, drop or refuse.</source>
        <translation>未知的按键动作选择“%1”：应为 keep、drop 或 refuse。</translation>
    </message>
</context>
<context>
    <name>tavrin::LanguageName</name>
    <message>
        <source>English</source>
        <comment>The name of this translation&apos;s language, in itself</comment>
        <translation>中文</translation>
    </message>
</context>
<context>
    <name>tavrin::LaunchActionTexts</name>
    <message>
        <source>Play Sound</source>
        <translation>播放声音</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>启动程序</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>打开目录</translation>
    </message>
    <message>
        <source> (not a full path: it is never opened)</source>
        <translation>（不是完整路径：不会被打开）</translation>
    </message>
    <message>
        <source> (not found)</source>
        <translation>（找不到）</translation>
    </message>
    <message>
        <source>The key %1 did not open &quot;%2&quot;: it is not a full path.</source>
        <translation>按键 %1 未打开“%2”：它不是完整路径。</translation>
    </message>
    <message>
        <source>The key %1 did not open &quot;%2&quot;: nothing is there any more.</source>
        <translation>按键 %1 未打开“%2”：该路径已不存在。</translation>
    </message>
    <message>
        <source>The key %1 could not open &quot;%2&quot;.</source>
        <translation>按键 %1 无法打开“%2”。</translation>
    </message>
</context>
<context>
    <name>tavrin::LaunchActionsQuestion</name>
    <message>
        <source>This profile makes keys open these programs, files or folders:
</source>
        <translation>此配置会让按键打开以下程序、文件或目录：
</translation>
    </message>
    <message>
        <source>
Keep them, or take the profile without them? Without them those keys get their own meaning back.</source>
        <translation>
保留它们，还是不带它们载入该配置？不带它们时，这些按键恢复原有功能。</translation>
    </message>
    <message>
        <source>Keep them</source>
        <translation>保留</translation>
    </message>
    <message>
        <source>Without them</source>
        <translation>不保留</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>tavrin::LaunchPanel</name>
    <message>
        <source>Play Sound</source>
        <translation>播放声音</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>启动程序</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>打开目录</translation>
    </message>
    <message>
        <source>Please select a folder
</source>
        <translation>请选择文件夹
</translation>
    </message>
    <message>
        <source>The chosen path is longer than 255 characters and cannot be used.
Please choose a file or folder with a shorter path.</source>
        <translation>所选路径超过 255 个字符，无法使用。
请选择路径较短的文件或文件夹。</translation>
    </message>
</context>
<context>
    <name>tavrin::ProfileRulesDialog</name>
    <message>
        <source>Automatic profiles</source>
        <translation>自动切换配置</translation>
    </message>
    <message>
        <source>The rules file could not be read:
%1
It is kept as it is, and this window will not save over it. Correct or remove the file, then open this window again.</source>
        <translation>无法读取规则文件：
%1
该文件保持不变，此窗口不会覆盖它。请修正或删除该文件，然后重新打开此窗口。</translation>
    </message>
    <message>
        <source>Switch profiles automatically</source>
        <translation>自动切换配置</translation>
    </message>
    <message>
        <source>The first rule that matches chooses the profile.</source>
        <translation>按顺序使用第一条匹配的规则所指定的配置。</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>应用程序</translation>
    </message>
    <message>
        <source>Match by</source>
        <translation>匹配方式</translation>
    </message>
    <message>
        <source>Applies</source>
        <translation>生效条件</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>配置</translation>
    </message>
    <message>
        <source>Add...</source>
        <translation>添加...</translation>
    </message>
    <message>
        <source>Edit...</source>
        <translation>编辑...</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>上移</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>下移</translation>
    </message>
    <message>
        <source>When no rule matches:</source>
        <translation>没有规则匹配时：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>The rules were not saved: the rules file could not be read when this window opened, and it is kept as it is.</source>
        <translation>规则未保存：打开此窗口时无法读取规则文件，该文件保持不变。</translation>
    </message>
    <message>
        <source>The rules file was changed elsewhere while this window was open. Replace it with the rules shown here?</source>
        <translation>此窗口打开期间，规则文件已被其他程序修改。要用此处显示的规则替换它吗？</translation>
    </message>
    <message>
        <source>The rules could not be saved:
%1</source>
        <translation>无法保存规则：
%1</translation>
    </message>
</context>
<context>
    <name>tavrin::ProfileSwitcher</name>
    <message>
        <source>The profile %1 makes keys open programs, files or folders that were not accepted. Choose it once in the profile manager or the icon&apos;s menu to keep them or leave them out.</source>
        <translation>配置 %1 会让按键打开尚未被接受的程序、文件或目录。请在配置管理器或图标菜单中选择一次该配置，以决定保留或去掉它们。</translation>
    </message>
</context>
<context>
    <name>tavrin::RuleEditDialog</name>
    <message>
        <source>Rule</source>
        <translation>规则</translation>
    </message>
    <message>
        <source>Running applications...</source>
        <translation>运行中的应用程序...</translation>
    </message>
    <message>
        <source>Click a window...</source>
        <translation>点击窗口...</translation>
    </message>
    <message>
        <source>Windows can be clicked on X11 only.</source>
        <translation>只有在 X11 下才能点击窗口选择。</translation>
    </message>
    <message>
        <source>Match by:</source>
        <translation>匹配方式：</translation>
    </message>
    <message>
        <source>Application:</source>
        <translation>应用程序：</translation>
    </message>
    <message>
        <source>Applies:</source>
        <translation>生效条件：</translation>
    </message>
    <message>
        <source>Profile:</source>
        <translation>配置：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>A window class applies while its window is in front.</source>
        <translation>窗口类只在其窗口位于前台时生效。</translation>
    </message>
    <message>
        <source>for example: steam</source>
        <translation>例如：steam</translation>
    </message>
    <message>
        <source>for example: hl2_linux</source>
        <translation>例如：hl2_linux</translation>
    </message>
    <message>
        <source>No window can be picked: %1</source>
        <translation>无法选择窗口：%1</translation>
    </message>
    <message>
        <source>Click the application&apos;s window; any other button or a key cancels.</source>
        <translation>请点击应用程序的窗口；按其他鼠标键或任意键取消。</translation>
    </message>
    <message>
        <source>Window class %1 (instance %2).</source>
        <translation>窗口类 %1（实例 %2）。</translation>
    </message>
    <message>
        <source>That window does not name its application; try another, or choose a running application.</source>
        <translation>该窗口没有提供应用程序名称；请换一个窗口，或从运行中的应用程序中选择。</translation>
    </message>
</context>
<context>
    <name>tavrin::RulesTexts</name>
    <message>
        <source>Process name</source>
        <translation>进程名</translation>
    </message>
    <message>
        <source>Window class</source>
        <translation>窗口类</translation>
    </message>
    <message>
        <source>while focused</source>
        <translation>在前台时</translation>
    </message>
    <message>
        <source>while running</source>
        <translation>运行时</translation>
    </message>
    <message>
        <source>%1 (missing)</source>
        <translation>%1（不存在）</translation>
    </message>
    <message>
        <source>None: leave the keyboard as it is</source>
        <translation>无：保持键盘当前的设置</translation>
    </message>
</context>
<context>
    <name>tavrin::RunningProcessDialog</name>
    <message>
        <source>Running applications</source>
        <translation>运行中的应用程序</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>筛选</translation>
    </message>
    <message>
        <source>Start the application first if it is not listed.</source>
        <translation>如果列表中没有该应用程序，请先启动它。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>tavrin::TrayController</name>
    <message>
        <source>No Gaming Keyboard Detected!</source>
        <translation>No Gaming Keyboard Detected!</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>About Ostra...</source>
        <translation>About Ostra...</translation>
    </message>
    <message>
        <source>No profiles</source>
        <translation>没有配置</translation>
    </message>
    <message>
        <source>Automatic profiles</source>
        <translation>自动切换配置</translation>
    </message>
    <message>
        <source>Edit rules...</source>
        <translation>编辑规则...</translation>
    </message>
    <message>
        <source>Start at login</source>
        <translation>登录时启动</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source> (at the next start)</source>
        <translation>（下次启动时生效）</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Automatic profiles could not be turned on.</source>
        <translation>无法开启自动切换配置。</translation>
    </message>
    <message>
        <source>Automatic profiles could not be turned off.</source>
        <translation>无法关闭自动切换配置。</translation>
    </message>
    <message>
        <source>Start at login could not be turned on.</source>
        <translation>无法设置登录时启动。</translation>
    </message>
    <message>
        <source>Start at login could not be turned off.</source>
        <translation>无法取消登录时启动。</translation>
    </message>
    <message>
        <source>The language could not be stored.</source>
        <translation>无法保存语言设置。</translation>
    </message>
    <message>
        <source>The new language is used from the next start.</source>
        <translation>新的界面语言将在下次启动时使用。</translation>
    </message>
</context>
<context>
    <name>tavrin::skin::SkinArtist</name>
    <message>
        <source>Liberation Sans</source>
        <comment>The font family of this language&apos;s words in the skin pictures</comment>
        <translation>Noto Sans CJK SC</translation>
    </message>
    <message>
        <source>Gaming Keyboard Control Center</source>
        <translation>游戏键盘控制中心</translation>
    </message>
    <message>
        <source>Default key</source>
        <translation>默认按键</translation>
    </message>
    <message>
        <source>Pointed at or reassigned</source>
        <translation>当前指向或已重新分配</translation>
    </message>
    <message>
        <source>Lit in DIY</source>
        <translation>DIY 点亮</translation>
    </message>
    <message>
        <source>Click a key to change what it does</source>
        <translation>点击按键即可重新分配功能</translation>
    </message>
    <message>
        <source>GAMING KEYBOARD</source>
        <translation>游戏键盘</translation>
    </message>
    <message>
        <source>Record and edit up to five macros</source>
        <translation>录制和编辑最多五个宏</translation>
    </message>
    <message>
        <source>Starting, looking for the keyboard…</source>
        <translation>正在启动，正在查找键盘…</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>浏览</translation>
    </message>
</context>
<context>
    <name>tavrin::tavrinctl</name>
    <message>
        <source>Another tavrinctl is using the keyboard. Try again in a moment.</source>
        <translation>另一个 tavrinctl 正在使用键盘，请稍后再试。</translation>
    </message>
    <message>
        <source>The keyboard did not finish its start-up read.</source>
        <translation>键盘没有完成启动读取。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be a profile name.</source>
        <translation>“%1”不能作为配置文件名。</translation>
    </message>
    <message>
        <source>The name to match is empty.</source>
        <translation>要匹配的名称为空。</translation>
    </message>
    <message>
        <source>There is no rule %1; there are %2.</source>
        <translation>没有规则 %1；共有 %2 条。</translation>
    </message>
    <message>
        <source>The program runs and keeps its own keyboard and files; --virtual-device and --data-dir are not used.</source>
        <translation>程序正在运行并使用它自己的键盘和文件；--virtual-device 和 --data-dir 不起作用。</translation>
    </message>
    <message>
        <source>--no-save stages edits in the running program, and it does not run. Start tavrin-gaming-keyboard, or leave --no-save out.</source>
        <translation>--no-save 用于在运行中的程序里暂存更改，但程序没有运行。请启动 tavrin-gaming-keyboard，或去掉 --no-save。</translation>
    </message>
    <message>
        <source>Give --allow-launch to keep them, or --drop-launch to take the profile without them.</source>
        <translation>使用 --allow-launch 保留它们，或使用 --drop-launch 不带它们载入该配置。</translation>
    </message>
</context>
</TS>
