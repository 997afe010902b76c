#include "ui/rules/RulesStyle.h"

namespace tavrin {

QString RulesStyleSheet() {
    // The skins' colours: window #131518, panels #1c1f24, controls #2b3037 (#343a42 under the
    // pointer), borders #343941, texts #e6eaef and #8b939e, accent #1ed2ff on #0b5566.
    return QStringLiteral(R"(
QDialog { background: #131518; color: #e6eaef; }
QLabel { color: #e6eaef; background: transparent; }
QLabel#hint, QLabel#pickStatus { color: #8b939e; }
QLabel#loadError {
    color: #ffd7db; background: #3a1a1f; border: 1px solid #ff3b4f; border-radius: 3px;
    padding: 6px;
}
QTreeWidget, QListWidget {
    background: #1c1f24; alternate-background-color: #191c20; color: #e6eaef;
    border: 1px solid #343941; border-radius: 3px; outline: 0;
}
QTreeView::item, QListView::item { padding: 3px 4px; border: none; background: transparent; }
QTreeView::item:selected, QListView::item:selected { background: #0b5566; color: #ffffff; }
QTreeView::item:hover:!selected, QListView::item:hover:!selected { background: #23272d; }
QHeaderView::section {
    background: #23272d; color: #8b939e; border: none; border-right: 1px solid #343941;
    padding: 4px 6px;
}
QPushButton {
    background: #2b3037; color: #e6eaef; border: 1px solid #343941; border-radius: 3px;
    padding: 5px 14px; min-width: 64px;
}
QPushButton:hover { background: #343a42; border-color: #1ed2ff; }
QPushButton:pressed { background: #0b5566; }
QPushButton:default { border-color: #1ed2ff; }
QPushButton:disabled { color: #5b626c; border-color: #262a30; background: #1c1f24; }
QLineEdit, QComboBox {
    background: #2b3037; color: #e6eaef; border: 1px solid #343941; border-radius: 3px;
    padding: 4px 6px; selection-background-color: #0b5566;
}
QLineEdit:focus, QComboBox:focus { border-color: #1ed2ff; }
QComboBox:disabled, QLineEdit:disabled { color: #5b626c; background: #1c1f24; }
QComboBox QAbstractItemView {
    background: #1c1f24; color: #e6eaef; border: 1px solid #343941;
    selection-background-color: #0b5566;
}
QCheckBox { color: #e6eaef; spacing: 8px; }
QCheckBox::indicator {
    width: 14px; height: 14px; border: 1px solid #343941; border-radius: 2px; background: #2b3037;
}
QCheckBox::indicator:checked { background: #1ed2ff; border-color: #1ed2ff; }
QCheckBox::indicator:hover { border-color: #1ed2ff; }
)");
}

}  // namespace tavrin
