#include "settings/settings_table.h"

#include <algorithm>
#include <utility>

namespace kob {

namespace {

SettingKey integerKey(const std::string& section, const std::string& key, int def, int min, int max) {
    return {section, key, SettingType::Integer, def, {}, min, max};
}

SettingKey booleanKey(const std::string& section, const std::string& key, bool def) {
    return {section, key, SettingType::Boolean, def ? 1 : 0, {}, 0, 1};
}

std::vector<int> identityOrder(std::size_t n) {
    std::vector<int> order(n);
    for (std::size_t i = 0; i < n; ++i) order[i] = int(i);
    return order;
}

WindowSettings mainWindow() {
    WindowSettings w;
    w.window = "TForm1";
    w.keys.push_back({"Skin", "SkinName", SettingType::String, 0, "Aluminium (internal)", 0, 0});
    w.writeOrder = identityOrder(w.keys.size());
    return w;
}

// Addition, subtraction (buttons RB2..RB6) and multiplication, division
// (also RB7..RB10 and RBV): a time-limit section and a number-choice section.
WindowSettings arithmeticWindow(const std::string& window, const std::string& prefix, bool tables) {
    WindowSettings w;
    w.window = window;
    w.keys.push_back(integerKey(prefix + "Timer", "IdoScroll", 30, 1, 120));
    const std::string radio = prefix + "RadioButtonok";
    std::vector<std::string> buttons = {"RB2", "RB3", "RB4", "RB5", "RB6"};
    if (tables) buttons.insert(buttons.end(), {"RB7", "RB8", "RB9", "RB10", "RBV"});
    for (const std::string& b : buttons) w.keys.push_back(booleanKey(radio, b, b == "RB2"));
    w.writeOrder = identityOrder(w.keys.size());
    return w;
}

// The spin boxes' upper bounds of one conversion window, row 1 and row 5
// (rows 2 to 4 and the ha row are the same in every window).
struct ConversionBounds {
    int kmMax;
    int mmMax;
};

// A conversion window: time limit, spin boxes, switches, choices. The area
// window has the extra ha row after row 1. The spin boxes are written with
// SpinNcm before SpinNdm.
WindowSettings conversionWindow(const std::string& window, const std::string& prefix, bool haRow,
                                ConversionBounds bounds) {
    WindowSettings w;
    w.window = window;
    w.keys.push_back(integerKey(prefix + "Timer", "IdoScroll", 30, 1, 120));

    const std::string spin = prefix + "Spinek";
    w.keys.push_back(integerKey(spin, "SpinKm", 50, 0, bounds.kmMax));
    if (haRow) w.keys.push_back(integerKey(spin, "SpinHa", 5000, 0, 5000));
    w.keys.push_back(integerKey(spin, "SpinNm", 500000, 0, 5000000));
    const int ndm = int(w.keys.size());
    w.keys.push_back(integerKey(spin, "SpinNdm", 5000000, 0, 5000000));
    const int ncm = int(w.keys.size());
    w.keys.push_back(integerKey(spin, "SpinNcm", 5000000, 0, 5000000));
    w.keys.push_back(integerKey(spin, "SpinNmm", 5000000, 0, bounds.mmMax));

    const std::string check = prefix + "CheckBoxok";
    const std::string radio = prefix + "RadioButtonok";
    const std::vector<std::string> rows = haRow ? std::vector<std::string>{"Nkm", "Ha", "Nm", "Ndm", "Ncm", "Nmm"}
                                                : std::vector<std::string>{"Nkm", "Nm", "Ndm", "Ncm", "Nmm"};
    for (const std::string& r : rows) w.keys.push_back(booleanKey(check, "C" + r, true));
    for (const std::string& r : rows) w.keys.push_back(booleanKey(radio, "RB" + r, false));

    w.writeOrder = identityOrder(w.keys.size());
    std::swap(w.writeOrder[std::size_t(ndm)], w.writeOrder[std::size_t(ncm)]);
    return w;
}

std::vector<WindowSettings> buildTable() {
    std::vector<WindowSettings> t;
    t.push_back(mainWindow());
    t.push_back(arithmeticWindow("TOsszeadForm", "Ossze", false));
    t.push_back(arithmeticWindow("TKivonForm", "Kivon", false));
    t.push_back(arithmeticWindow("TSzorzasForm", "Szoroz", true));
    t.push_back(arithmeticWindow("TOsztasForm", "Oszt", true));
    t.push_back(conversionWindow("TTeruletForm", "Terulet", true, {100, 5000000}));
    t.push_back(conversionWindow("THosszuForm", "Hosszu", false, {1000, 50000000}));
    t.push_back(conversionWindow("TTerfogatForm", "Terfogat", false, {100, 50000000}));
    t.push_back(conversionWindow("TTomegForm", "Tomeg", false, {100, 50000000}));
    return t;
}

SettingValue defaultValue(const SettingKey& k) {
    SettingValue v;
    v.key = &k;
    v.intValue = k.defaultInt;
    v.stringValue = k.defaultString;
    return v;
}

// The value given for key `index` of `w`.
const SettingValue* valueFor(const std::vector<SettingValue>& values, const WindowSettings& w,
                             std::size_t index) {
    const SettingKey& k = w.keys[index];
    for (const SettingValue& v : values)
        if (v.key == &k) return &v;
    for (const SettingValue& v : values)
        if (v.key && v.key->section == k.section && v.key->key == k.key) return &v;
    if (index < values.size() && !values[index].key) return &values[index];
    return nullptr;
}

}  // namespace

const std::vector<WindowSettings>& settingsTable() {
    static const std::vector<WindowSettings> table = buildTable();
    return table;
}

const WindowSettings& windowSettings(const std::string& windowClass) {
    for (const WindowSettings& w : settingsTable())
        if (w.window == windowClass) return w;
    static const WindowSettings none;
    return none;
}

std::vector<SettingValue> loadWindowSettings(const SettingsFile& file, const WindowSettings& w) {
    const SettingsFile::Reader reader = file.read();
    std::vector<SettingValue> values;
    values.reserve(w.keys.size());
    for (const SettingKey& k : w.keys) {
        SettingValue v = defaultValue(k);
        switch (k.type) {
        case SettingType::String:
            v.stringValue = reader.readString(k.section, k.key, k.defaultString);
            break;
        case SettingType::Integer:
            v.intValue = std::clamp(reader.readInt(k.section, k.key, k.defaultInt), k.min, k.max);
            break;
        case SettingType::Boolean:
            v.intValue = reader.readBool(k.section, k.key, k.defaultInt != 0) ? 1 : 0;
            break;
        }
        values.push_back(std::move(v));
    }
    return values;
}

WriteResult storeWindowSettings(const SettingsFile& file, const WindowSettings& w,
                                const std::vector<SettingValue>& values) {
    std::vector<IniEntry> entries;
    entries.reserve(w.writeOrder.size());
    for (int index : w.writeOrder) {
        const SettingKey& k = w.keys[std::size_t(index)];
        const SettingValue* given = valueFor(values, w, std::size_t(index));
        const SettingValue v = given ? *given : defaultValue(k);
        std::string text;
        switch (k.type) {
        case SettingType::String: text = v.stringValue; break;
        case SettingType::Integer: text = std::to_string(v.intValue); break;
        case SettingType::Boolean: text = v.intValue != 0 ? "1" : "0"; break;
        }
        entries.push_back({k.section, k.key, std::move(text)});
    }
    return file.write(entries);
}

const SettingValue* findSetting(const std::vector<SettingValue>& values, std::string_view key) {
    for (const SettingValue& v : values)
        if (v.key && v.key->key == key) return &v;
    return nullptr;
}

SettingValue* findSetting(std::vector<SettingValue>& values, std::string_view key) {
    return const_cast<SettingValue*>(findSetting(std::as_const(values), key));
}

std::vector<SettingValue> defaultSettings(const WindowSettings& w) {
    std::vector<SettingValue> values;
    values.reserve(w.keys.size());
    for (const SettingKey& k : w.keys) values.push_back(defaultValue(k));
    return values;
}

}  // namespace kob
