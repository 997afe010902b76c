#pragma once

// One macro as a JSON document, version 1, for exchange between users and scripts:
//   {"format": "tavrin-gaming-keyboard-macro", "version": 1, "name": "Burst", "loop_count": 1,
//    "record_delay": false, "events": [{"key": "A", "vk": 65, "action": "press",
//    "delay_ms": 1}, ...]}
// A document that is read fills a record completely or not at all.

#include <QByteArray>
#include <QString>

#include "model/MacroTable.h"

namespace tavrin {

inline constexpr int kMacroFormVersion = 1;
inline constexpr int kMaxMacroLoops = 999;  // what the macro manager's loop field holds

QByteArray MacroToJson(ConstMacroRecord record);

// Fills `record` (all of it) from `json`; false with `error` set, and `record` untouched, when the
// document is not a macro of this form: bad JSON, another format or version, no name or one
// longer than 255 characters, a loop count out of 0..999, more than 127 events, an unknown
// key, an action other than "press" or "release", a delay out of 0..60000.
bool MacroFromJson(const QByteArray& json, MacroRecord record, QString& error);

}  // namespace tavrin
