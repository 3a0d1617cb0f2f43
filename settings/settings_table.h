// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A window's keys in the settings file and their reading and writing: the
// key types, defaults and ranges, a window's keys in its reading order with
// its writing order, loading (integers clamped to their range) and storing
// in one write; and a window's settings declared once, each key with the
// member of the window's record it binds to (RecordSettings). Each window
// family declares its own and names its own sections from its own tables
// (drill/drill_state: the time limit and the radio buttons' section;
// arith/arith_settings; measure/conversion_settings); the whole file is
// app/settings_layout.
// Plain C++, no toolkit.
#pragma once

#include <cstddef>
#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "settings/settings_file.h"

namespace kob {

enum class SettingType { String, Integer, Boolean };

struct SettingKey {
    std::string section;
    std::string key;
    SettingType type;
    int defaultInt = 0;            // integer default, or 0/1 for booleans
    std::string defaultString;     // string default
    int min = 0;                   // integer range (clamped on load); 0..1 for booleans
    int max = 0;
};

SettingKey stringKey(std::string section, std::string key, std::string def);
SettingKey integerKey(std::string section, std::string key, int def, int min, int max);
SettingKey booleanKey(std::string section, std::string key, bool def);

// The keys of one window, in the order it reads them, and the order it
// writes them (indices into `keys`).
struct WindowSettings {
    std::string window;            // class name, e.g. "TOsszeadForm"
    std::vector<SettingKey> keys;  // reading order
    std::vector<int> writeOrder;   // writing order

    // Appends a key to both orders; returns its index.
    std::size_t add(SettingKey key);

    // Writes the keys `indices` in the order given, in the places of the
    // writing order they hold between them; the other keys keep theirs.
    void writeInOrder(const std::vector<std::size_t>& indices);
};

// One value of a window, for the key at the same index.
struct SettingValue {
    int intValue = 0;              // integers and booleans (0/1)
    std::string stringValue;       // strings
};

// Reads the window's keys in reading order from one snapshot of the file:
// one value per key, at the key's index; integers clamped to their range.
std::vector<SettingValue> loadWindowSettings(const SettingsFile& file, const WindowSettings& w);

// Writes the values (value i for key i) in the window's writing order, in
// one atomic write: integers in decimal, booleans as "1" or "0", strings as
// they are. Keys beyond the values given are written with their defaults.
// Values are written as given, not clamped.
WriteResult storeWindowSettings(const SettingsFile& file, const WindowSettings& w,
                                const std::vector<SettingValue>& values);

// One value per key of `w`, each holding its default.
std::vector<SettingValue> defaultSettings(const WindowSettings& w);

// The value a key holds when nothing else is known.
SettingValue defaultValue(const SettingKey& key);

// How one key binds to a member of a window's record: the value to write
// from the record, and where a read value goes.
template <class Record>
struct Binding {
    std::function<SettingValue(const Record&, const SettingKey&)> get;
    std::function<void(Record&, const SettingValue&)> set;
};

// A window's settings, declared once: each key with the record member it
// binds to. Loading starts from `blank` and hands every key's value to its
// member in reading order; storing writes every key in writing order.
template <class Record>
class RecordSettings {
public:
    RecordSettings(std::string window, Record blank) : blank_(std::move(blank)) { keys_.window = std::move(window); }

    // Declares a key and its member; returns the key's index.
    std::size_t add(SettingKey key, Binding<Record> binding) {
        bindings_.push_back(std::move(binding));
        return keys_.add(std::move(key));
    }
    void writeInOrder(const std::vector<std::size_t>& indices) { keys_.writeInOrder(indices); }

    const WindowSettings& keys() const { return keys_; }

    Record load(const SettingsFile& file) const {
        const std::vector<SettingValue> values = loadWindowSettings(file, keys_);
        Record r = blank_;
        for (std::size_t i = 0; i < values.size(); ++i) bindings_[i].set(r, values[i]);
        return r;
    }

    WriteResult store(const SettingsFile& file, const Record& r) const {
        std::vector<SettingValue> values;
        values.reserve(bindings_.size());
        for (std::size_t i = 0; i < bindings_.size(); ++i) values.push_back(bindings_[i].get(r, keys_.keys[i]));
        return storeWindowSettings(file, keys_, values);
    }

private:
    WindowSettings keys_;
    std::vector<Binding<Record>> bindings_;
    Record blank_;
};

namespace settings_detail {
template <class T>
SettingValue valueOf(const T& v) {
    SettingValue s;
    if constexpr (std::is_same_v<T, std::string>) s.stringValue = v;
    else s.intValue = int(v);
    return s;
}
template <class T>
T fromValue(const SettingValue& v) {
    if constexpr (std::is_same_v<T, std::string>) return v.stringValue;
    else if constexpr (std::is_same_v<T, bool>) return v.intValue != 0;
    else return T(v.intValue);
}
}  // namespace settings_detail

// A key bound to a member (an integer, a boolean or a string).
template <class Record, class T>
Binding<Record> member(T Record::*m) {
    return {[m](const Record& r, const SettingKey&) { return settings_detail::valueOf<T>(r.*m); },
            [m](Record& r, const SettingValue& v) { r.*m = settings_detail::fromValue<T>(v); }};
}

// A key bound to element `i` of a list member; a list too short for it
// writes the key's default, and a read value grows it.
template <class Record, class T>
Binding<Record> element(std::vector<T> Record::*m, std::size_t i) {
    return {[m, i](const Record& r, const SettingKey& k) {
                return i < (r.*m).size() ? settings_detail::valueOf<T>((r.*m)[i]) : defaultValue(k);
            },
            [m, i](Record& r, const SettingValue& v) {
                if ((r.*m).size() <= i) (r.*m).resize(i + 1);
                (r.*m)[i] = settings_detail::fromValue<T>(v);
            }};
}

// A key that says whether choice `i` is the one chosen: written "1" for the
// chosen one, "0" for the others; read as the window applies it, where a
// chosen one makes itself the choice and a "0" changes nothing, so the last
// one stored as chosen wins and there is none when all are "0" (a blank
// record chooses none).
template <class Record>
Binding<Record> choice(std::optional<std::size_t> Record::*m, std::size_t i) {
    return {[m, i](const Record& r, const SettingKey&) { return settings_detail::valueOf<bool>(r.*m == i); },
            [m, i](Record& r, const SettingValue& v) {
                if (v.intValue != 0) r.*m = i;
            }};
}

}  // namespace kob

namespace kob {

// The declaration `declare(source)` makes, made once per source object (a
// window's description, which lives as long as the program) and kept.
template <class Record, class Source, class Declare>
const RecordSettings<Record>& declaredOnce(const Source& source, Declare declare) {
    static std::mutex guard;
    static std::list<std::pair<const Source*, RecordSettings<Record>>> made;
    const std::lock_guard lock(guard);
    for (const auto& [from, w] : made)
        if (from == &source) return w;
    return made.emplace_back(&source, declare(source)).second;
}

}  // namespace kob
