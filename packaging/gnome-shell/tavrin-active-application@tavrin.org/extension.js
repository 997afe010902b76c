// GNOME Shell extension (GNOME 45 and later): on every change of the focused window, tells the
// Tavrin Gaming Keyboard program the window's executable (from /proc/PID/comm) and class over
// D-Bus, for its automatic profiles.
//
// Install:  cp -r packaging/gnome-shell/tavrin-active-application@tavrin.org \
//               ~/.local/share/gnome-shell/extensions/
//           then log out and in (Wayland), and:
//           gnome-extensions enable tavrin-active-application@tavrin.org

import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

export default class TavrinActiveApplication extends Extension {
    enable() {
        this._focusId = global.display.connect('notify::focus-window', () => this._report());
        this._report();
    }

    disable() {
        if (this._focusId) {
            global.display.disconnect(this._focusId);
            this._focusId = null;
        }
    }

    _report() {
        const window = global.display.focus_window;
        const windowClass = window ? (window.get_wm_class() ?? '') : '';
        let exe = '';
        const pid = window ? window.get_pid() : -1;
        if (pid > 0) {
            try {
                const [ok, bytes] = GLib.file_get_contents(`/proc/${pid}/comm`);
                if (ok)
                    exe = new TextDecoder().decode(bytes).trim();
            } catch (e) {
                // A process of another user, or one that ended: the class alone then.
            }
        }
        // NO_AUTO_START: when the program does not run, the call fails quietly.
        Gio.DBus.session.call('org.tavrin.GamingKeyboard', '/org/tavrin/GamingKeyboard',
            'org.tavrin.GamingKeyboard1', 'SetActiveApplication',
            new GLib.Variant('(ss)', [exe, windowClass]), null,
            Gio.DBusCallFlags.NO_AUTO_START, -1, null, null);
    }
}
