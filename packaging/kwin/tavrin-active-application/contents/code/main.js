// KWin script (Plasma 6): on every change of the active window, tells the Tavrin Gaming Keyboard
// program the window's class over D-Bus. A KWin script cannot read /proc, so the executable is
// left empty: rules by window class, and "while running" rules by process, work with it.
//
// Install:  kpackagetool6 --type=KWin/Script --install packaging/kwin/tavrin-active-application
// Enable:   System Settings > Window Management > KWin Scripts > "Tavrin active application"
//           (or: kwriteconfig6 --file kwinrc --group Plugins \
//                --key tavrin-active-applicationEnabled true && qdbus org.kde.KWin /KWin reconfigure)

function report(window) {
    const windowClass = window ? String(window.resourceClass || window.resourceName || "") : "";
    // The program may not run: the call then fails quietly, and the next activation tries again.
    callDBus("org.tavrin.GamingKeyboard", "/org/tavrin/GamingKeyboard",
             "org.tavrin.GamingKeyboard1", "SetActiveApplication", "", windowClass);
}

workspace.windowActivated.connect(report);
report(workspace.activeWindow);
