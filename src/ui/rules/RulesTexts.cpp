#include "ui/rules/RulesTexts.h"

namespace tavrin {

QString RulesTexts::matchName(ProfileRule::Match match) const {
    return match == ProfileRule::Match::Process ? (*this)(u"Process name", u"进程名")
                                                : (*this)(u"Window class", u"窗口类");
}

QString RulesTexts::kindName(ProfileRule::Kind kind) const {
    return kind == ProfileRule::Kind::WhileFocused ? (*this)(u"while focused", u"在前台时")
                                                   : (*this)(u"while running", u"运行时");
}

QString RulesTexts::missingProfile(const QString& name) const {
    return (*this)(u"%1 (missing)", u"%1（不存在）").arg(name);
}

QString RulesTexts::noDefaultProfile() const {
    return (*this)(u"None: leave the keyboard as it is", u"无：保持键盘当前的设置");
}

}  // namespace tavrin
