// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The ini reader and the in-memory editing of the settings file.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "settings/byte_text.h"
#include "settings/settings_file.h"
#include "support/files.h"

namespace {

using filekit::slurp;

using kob::IniDocument;
using kob::SettingsFile;

struct TempDir {
    TempDir() {
        std::string tmpl = ::testing::TempDir() + "kobaltfa-settings-XXXXXX";
        path = ::mkdtemp(tmpl.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string file(const std::string& name) const { return path + "/" + name; }
    std::vector<std::string> entries() const { return filekit::entriesOf(path); }
    std::string path;
};

void spit(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(IniPath, ExtensionOfTheFileNameIsReplacedOrAppended) {
    const struct {
        const char* exe;
        const char* ini;
    } cases[] = {
        {"kobaltfa", "kobaltfa.ini"},
        {"/usr/local/bin/kobaltfa", "/usr/local/bin/kobaltfa.ini"},
        {"/a.b/kobaltfa", "/a.b/kobaltfa.ini"},
        {"x.exe", "x.ini"},
        {"/opt/k.tar.gz", "/opt/k.tar.ini"},
        {"/opt/.kobaltfa", "/opt/.kobaltfa.ini"},
        {"/opt/kobaltfa.", "/opt/kobaltfa.ini"},
    };
    for (const auto& c : cases) EXPECT_EQ(kob::iniPathForExecutable(c.exe), c.ini) << c.exe;
}

TEST(ProfileInt, AcceptsDecimalAndBothHexFormsAndRejectsEverythingElse) {
    constexpr int kDef = -77;
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"30", 30},
        {"-5", -5},
        {"+7", 7},
        {"007", 7},
        {" 42\t", 42},
        {"$1E", 30},
        {"$1e", 30},
        // every lower-case hex digit, alone and mixed with upper case
        {"$1f", 31},
        {"$ff", 255},
        {"$fF", 255},
        {"$abcdef", 0xABCDEF},
        {"$aBcDeF", 0xABCDEF},
        {"0x1f", 31},
        {"0Xff", 255},
        {"$ffffffff", -1},
        {"0x1E", 30},
        {"0X1e", 30},
        {"0x0", 0},
        {"$FFFFFFFF", -1},
        {"0x7FFFFFFF", INT_MAX},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        // not integers
        {"", kDef},
        {"   ", kDef},
        {"0x", kDef},
        {"0X", kDef},
        {"$", kDef},
        {"-", kDef},
        {"30abc", kDef},
        {"abc", kDef},
        {"3 0", kDef},
        {"1.5", kDef},
        {"$1G", kDef},
        {"0x1G", kDef},
        {"-0x1E", kDef},
        {"x1E", kDef},
        {"2147483648", kDef},
        {"-2147483649", kDef},
        {"99999999999999999999999", kDef},
        {"$100000000", kDef},
    };
    for (const auto& c : cases) EXPECT_EQ(kob::parseProfileInt(c.text, kDef), c.expected) << '"' << c.text << '"';
    EXPECT_EQ(kob::parseProfileInt(std::string("1\0", 2), kDef), kDef);
}

TEST(IniRead, LookupTable) {
    const std::string megabyte(1 << 20, 'q');
    const std::string nul("a\0b", 3);
    const struct {
        const char* name;
        std::string text;
        const char* section;
        const char* key;
        std::optional<std::string> expected;
    } cases[] = {
        {"plain", "[Skin]\nSkinName=Vista (internal)\n", "Skin", "SkinName", "Vista (internal)"},
        {"names ignore case", "[sKIN]\nskinNAME=x\n", "Skin", "SkinName", "x"},
        {"crlf", "[A]\r\nK=v\r\nL=w\r\n", "A", "K", "v"},
        {"crlf last key", "[A]\r\nK=v\r\nL=w\r\n", "A", "L", "w"},
        {"bom", "\xEF\xBB\xBF[A]\nK=v\n", "A", "K", "v"},
        {"no final line end", "[A]\nK=v", "A", "K", "v"},
        {"final carriage return", "[A]\r\nK=v\r", "A", "K", "v"},
        {"lone carriage return ends a line", "[A]\nK=v\rw\n", "A", "K", "v"},
        {"carriage returns only", "[A]\rK=v\rL=w\r", "A", "L", "w"},
        {"carriage returns only, no final one", "[B]\r[A]\rK=v", "A", "K", "v"},
        {"mixed line ends", "[A]\rK=1\r\n[B]\nK=2\r[C]\r\nK=3", "B", "K", "2"},
        {"blank lines of each kind", "[A]\r\r\n\n\rK=v\n", "A", "K", "v"},
        {"blanks and tabs", "  [ A ]\t \n \tK \t=  \t v w \t \n", "A", "K", "v w"},
        {"double quotes", "[A]\nK= \"  v \" \n", "A", "K", "  v "},
        {"single quotes", "[A]\nK='v'\n", "A", "K", "v"},
        {"one pair only", "[A]\nK=\"\"v\"\"\n", "A", "K", "\"v\""},
        {"unmatched quotes", "[A]\nK=\"v'\n", "A", "K", "\"v'"},
        {"lone quote", "[A]\nK=\"\n", "A", "K", "\""},
        {"empty value", "[A]\nK=\n", "A", "K", ""},
        {"equals in value", "[A]\nK=a=b\n", "A", "K", "a=b"},
        {"nul in value", "[A]\nK=" + nul + "\n", "A", "K", nul},
        {"first section wins", "[A]\nK=1\n[a]\nK=2\nL=3\n", "A", "K", "1"},
        {"later duplicate section unseen", "[A]\nK=1\n[a]\nK=2\nL=3\n", "A", "L", std::nullopt},
        {"first key wins", "[A]\nK=1\nk=2\n", "A", "K", "1"},
        {"key of another section", "[A]\nK=1\n[B]\n", "B", "K", std::nullopt},
        {"key before any section", "K=1\n[A]\n", "A", "K", std::nullopt},
        {"missing section", "[A]\nK=1\n", "Z", "K", std::nullopt},
        {"comment", "[A]\n;K=1\nK=2\n", "A", "K", "2"},
        {"text after header", "[A] ; x\nK=1\n", "A", "K", "1"},
        {"header without bracket stays in section", "[A]\n[B\nK=1\n", "A", "K", "1"},
        {"header without bracket opens nothing", "[A]\n[B\nK=1\n", "B", "K", std::nullopt},
        {"bracketed key line is no key", "[A]\n[K=1\n", "A", "[K", std::nullopt},
        {"key without equals", "[A]\nK\nK=2\n", "A", "K", "2"},
        {"megabyte line", "[A]\n" + megabyte + "\nK=v\n", "A", "K", "v"},
        {"megabyte value cut", "[A]\nK=" + megabyte + "\n", "A", "K", std::string(2047, 'q')},
        {"2047 kept", "[A]\nK=" + std::string(2047, 'z') + "\n", "A", "K", std::string(2047, 'z')},
        {"cut after quotes dropped", "[A]\nK=\"" + std::string(2047, 'z') + "\"\n", "A", "K",
         std::string(2047, 'z')},
        {"nul and garbage around", std::string("\0\xff\xfe\n[A]\n\x01\x02\n", 11) + "K=v\n\xc3", "A", "K", "v"},
    };
    for (const auto& c : cases) {
        const IniDocument doc = IniDocument::parse(c.text);
        EXPECT_EQ(doc.value(c.section, c.key), c.expected) << c.name;
        EXPECT_EQ(doc.serialize(), c.text) << c.name << ": parsing must keep every byte";
    }
}

TEST(IniRead, RandomBytesNeverUpsetTheParser) {
    std::mt19937 rng(20240601);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(rng() % 4096, '\0');
        for (char& c : bytes) {
            // Lean on the characters that carry structure.
            static const char kStructure[] = "[]=;\"'\r\n \t";
            c = (rng() % 3 == 0) ? kStructure[rng() % (sizeof kStructure - 1)] : char(rng() % 256);
        }
        IniDocument doc = IniDocument::parse(bytes);
        ASSERT_EQ(doc.serialize(), bytes);
        doc.set("Fuzz", "Key", "42");
        const IniDocument again = IniDocument::parse(doc.serialize());
        ASSERT_EQ(again.value("Fuzz", "Key"), "42") << "round " << round;
    }
}

TEST(SettingsReader, TypedReadsFallBackToTheirDefaults) {
    TempDir dir;
    const std::string path = dir.file("k.ini");
    spit(path,
         "[T]\nIdoScroll=0x1E\nBad=30abc\nEmpty=\nYes=1\nNo=0\nTwo=2\nMinus=-1\nWord=yes\n"
         "Name=\"Smoky (internal)\"\n");
    const SettingsFile file(path);
    const auto r = file.read();
    EXPECT_EQ(r.readInt("t", "idoscroll", 30), 30);
    EXPECT_EQ(r.readInt("T", "Bad", 30), 30);
    EXPECT_EQ(r.readInt("T", "Empty", 7), 7);
    EXPECT_EQ(r.readInt("T", "Absent", -3), -3);
    EXPECT_TRUE(r.readBool("T", "Yes", false));
    EXPECT_FALSE(r.readBool("T", "No", true));
    EXPECT_TRUE(r.readBool("T", "Two", false));
    EXPECT_TRUE(r.readBool("T", "Minus", false));
    EXPECT_TRUE(r.readBool("T", "Word", true));
    EXPECT_FALSE(r.readBool("T", "Word", false));
    EXPECT_FALSE(r.readBool("T", "Absent", false));
    EXPECT_EQ(r.readString("T", "Name", "x"), "Smoky (internal)");
    EXPECT_EQ(r.readString("T", "Absent", "Aluminium (internal)"), "Aluminium (internal)");

    // The snapshot stays as it was when the file changes afterwards.
    spit(path, "[T]\nYes=0\n");
    EXPECT_TRUE(r.readBool("T", "Yes", false));
    EXPECT_FALSE(file.read().readBool("T", "Yes", true));
}

TEST(SettingsReader, MissingOrUnreadableFileReadsAsEmpty) {
    TempDir dir;
    const auto missing = SettingsFile(dir.file("none.ini")).read();
    EXPECT_EQ(missing.readInt("A", "K", 9), 9);
    ::mkdir(dir.file("dir.ini").c_str(), 0755);
    const auto directory = SettingsFile(dir.file("dir.ini")).read();
    EXPECT_EQ(directory.readString("A", "K", "d"), "d");
}

// Edits in memory: what set() makes of a given text.
TEST(IniEdit, PlacementTable) {
    const struct {
        const char* name;
        std::string before;
        const char* section;
        const char* key;
        const char* value;
        std::string after;
    } cases[] = {
        {"replace in place keeps spelling and position", "[A]\n  idoSCROLL = 5\nX=1\n", "a", "IdoScroll", "60",
         "[A]\n  idoSCROLL =60\nX=1\n"},
        {"replace keeps crlf", "[A]\r\nK=1\r\n", "A", "K", "2", "[A]\r\nK=2\r\n"},
        {"new key after the last key, before blank lines", "[A]\nK=1\n\n\n[B]\nL=2\n", "A", "M", "3",
         "[A]\nK=1\nM=3\n\n\n[B]\nL=2\n"},
        {"new key after a trailing comment", "[A]\nK=1\n; end of A\n\n[B]\n", "A", "M", "3",
         "[A]\nK=1\n; end of A\nM=3\n\n[B]\n"},
        {"new key in an empty section", "[A]\n[B]\n", "A", "K", "v", "[A]\nK=v\n[B]\n"},
        {"new key in the last section without line end", "[A]\nK=1", "A", "L", "2", "[A]\nK=1\nL=2"},
        {"new section at the end", "[A]\nK=1\n\n", "B", "L", "2", "[A]\nK=1\n\n[B]\nL=2\n"},
        {"new section without final line end", "[A]\nK=1", "B", "L", "2", "[A]\nK=1\n[B]\nL=2"},
        {"new key after a final carriage return", "[A]\r\nK=1\r", "A", "L", "2", "[A]\r\nK=1\rL=2\r\n"},
        {"carriage-return file gets carriage-return lines", "[A]\rK=1\r\r[B]\rX=2\r", "A", "L", "2",
         "[A]\rK=1\rL=2\r\r[B]\rX=2\r"},
        {"new section in a carriage-return file", "[A]\rK=1", "B", "L", "2", "[A]\rK=1\r[B]\rL=2"},
        {"replace in a carriage-return file", "[A]\rK=1\rL=2\r", "A", "L", "3", "[A]\rK=1\rL=3\r"},
        {"each line keeps its own ending", "[A]\rK=1\r\nL=2\n[B]\r\nM=3\r", "A", "K", "9",
         "[A]\rK=9\r\nL=2\n[B]\r\nM=3\r"},
        {"carriage returns dominant", "[A]\rK=1\rL=2\n", "A", "M", "3", "[A]\rK=1\rL=2\nM=3\r"},
        {"replace before a final carriage return", "[A]\r\nK=1\r", "A", "K", "2", "[A]\r\nK=2\r"},
        {"new section in an empty file", "", "S", "K", "v", "[S]\nK=v\n"},
        {"crlf file gets crlf lines", "[A]\r\nK=1\r\n", "B", "L", "2", "[A]\r\nK=1\r\n[B]\r\nL=2\r\n"},
        {"dominant line end wins", "[A]\r\nK=1\r\nX=2\nY=3\r\n", "A", "Z", "4",
         "[A]\r\nK=1\r\nX=2\nY=3\r\nZ=4\r\n"},
        {"lf dominant", "[A]\nK=1\nX=2\r\n", "B", "Z", "4", "[A]\nK=1\nX=2\r\n[B]\nZ=4\n"},
        {"bom kept", "\xEF\xBB\xBF[A]\nK=1\n", "A", "K", "2", "\xEF\xBB\xBF[A]\nK=2\n"},
        {"first of duplicated sections", "[A]\nK=1\n[A]\nK=9\n", "A", "L", "2", "[A]\nK=1\nL=2\n[A]\nK=9\n"},
        {"first of duplicated keys", "[A]\nK=1\nK=9\n", "A", "K", "2", "[A]\nK=2\nK=9\n"},
        {"broken header is no section", "[B\nL=1\n", "B", "L", "2", "[B\nL=1\n[B]\nL=2\n"},
        {"line breaks in a value are dropped", "[A]\n", "A", "K", "a\r\nb\n", "[A]\nK=ab\n"},
        {"foreign bytes untouched",
         "; kobaltfa\r\n\r\n[Other]\r\nUnknown = \"q\" \r\n[A]\r\nK=1\r\n\r\n[Z]\r\nzz=\t\r\n",
         "A", "K", "2",
         "; kobaltfa\r\n\r\n[Other]\r\nUnknown = \"q\" \r\n[A]\r\nK=2\r\n\r\n[Z]\r\nzz=\t\r\n"},
    };
    for (const auto& c : cases) {
        IniDocument doc = IniDocument::parse(c.before);
        doc.set(c.section, c.key, c.value);
        EXPECT_EQ(doc.serialize(), c.after) << c.name;
    }
}

TEST(SettingsWriter, CreatesTheFileAndAppliesEntriesInOrder) {
    TempDir dir;
    const std::string path = dir.file("kobaltfa.ini");
    const SettingsFile file(path);
    const kob::WriteResult r = file.write({{"OsszeTimer", "IdoScroll", "45"},
                                           {"OsszeRadioButtonok", "RB2", "0"},
                                           {"OsszeRadioButtonok", "RB4", "1"},
                                           {"OsszeRadioButtonok", "rb2", "1"}});
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.message, "");
    EXPECT_EQ(slurp(path), "[OsszeTimer]\nIdoScroll=45\n[OsszeRadioButtonok]\nRB2=1\nRB4=1\n");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"kobaltfa.ini"}) << "nothing else is left beside it";
}

TEST(SettingsWriter, KeepsForeignContentAndTheFileMode) {
    TempDir dir;
    const std::string path = dir.file("kobaltfa.ini");
    const std::string before =
        "\xEF\xBB\xBF; written by hand\r\n[Skin]\r\nSkinName=Vista (internal)\r\nOwn=1\r\n\r\n[Mine]\r\nx = 'y'\r\n";
    spit(path, before);
    ::chmod(path.c_str(), 0640);
    const SettingsFile file(path);
    ASSERT_TRUE(file.write({{"Skin", "SkinName", "WEB (internal)"}, {"New", "K", "v"}}).ok);
    EXPECT_EQ(slurp(path),
              "\xEF\xBB\xBF; written by hand\r\n[Skin]\r\nSkinName=WEB (internal)\r\nOwn=1\r\n\r\n[Mine]\r\n"
              "x = 'y'\r\n[New]\r\nK=v\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(file.read().readString("skin", "skinname", ""), "WEB (internal)");
}

TEST(SettingsWriter, WritesThroughASymbolicLink) {
    TempDir dir;
    spit(dir.file("real.ini"), "[A]\nK=1\n");
    ASSERT_EQ(::symlink("real.ini", dir.file("kobaltfa.ini").c_str()), 0);
    ASSERT_TRUE(SettingsFile(dir.file("kobaltfa.ini")).write({{"A", "K", "2"}}).ok);
    struct stat st {};
    ASSERT_EQ(::lstat(dir.file("kobaltfa.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(slurp(dir.file("real.ini")), "[A]\nK=2\n");
}

// A plain line-by-line reading, the way the format is defined, to hold the
// indexed lookups against.
std::optional<std::string> referenceValue(const std::string& text, const std::string& section, const std::string& key) {
    auto lower = [](std::string x) {
        for (char& c : x) c = char(std::tolower(static_cast<unsigned char>(c)));
        return x;
    };
    auto trimmed = [](std::string x) {
        const auto b = x.find_first_not_of(" \t");
        if (b == std::string::npos) return std::string();
        return x.substr(b, x.find_last_not_of(" \t") - b + 1);
    };
    std::vector<std::string> lines;
    std::string cur;
    std::size_t i = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(cur);
            cur.clear();
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            cur.push_back(text[i]);
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    bool inSection = false, seen = false;
    for (const std::string& l : lines) {
        const std::string t = trimmed(l);
        if (!t.empty() && t[0] == '[' && t.find(']') != std::string::npos) {
            if (inSection) return std::nullopt;
            const std::string name = trimmed(t.substr(1, t.find(']') - 1));
            inSection = !seen && lower(name) == lower(section);
            seen = seen || inSection;
            continue;
        }
        if (!inSection || t.empty() || t[0] == ';' || l.find('=') == std::string::npos) continue;
        if (lower(trimmed(l.substr(0, l.find('=')))) != lower(key)) continue;
        std::string v = trimmed(l.substr(l.find('=') + 1));
        if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
        return v.substr(0, 2047);
    }
    return std::nullopt;
}

TEST(IniIndex, LookupsAndEditsAgreeWithALineByLineReading) {
    std::mt19937 rng(99);
    // Blanks around a name in the file are not part of it.
    const char* names[] = {"A", "a", "B", "Skin", "SKIN", " spaced ", "x y", "Long_Name_7", "Q", "q"};
    const char* asked[] = {"A", "a", "B", "Skin", "SKIN", "spaced", "x y", "Long_Name_7", "Q", "q"};
    const char* ends[] = {"\n", "\r\n", "\r"};
    for (int round = 0; round < 40; ++round) {
        std::string text = round % 5 == 0 ? "\xEF\xBB\xBF" : "";
        const int lines = 50 + int(rng() % 2000);
        for (int l = 0; l < lines; ++l) {
            const int kind = int(rng() % 10);
            const char* n = names[rng() % 10];
            if (kind == 0) text += std::string("[") + n + "]";
            else if (kind == 1) text += std::string("[") + n;  // broken header
            else if (kind == 2) text += std::string("; ") + n + "=c";
            else if (kind == 3) text += "";
            else text += std::string(n) + (rng() % 2 ? " = " : "=") + std::to_string(rng() % 1000);
            if (l + 1 < lines || rng() % 2) text += ends[round % 4 == 3 ? rng() % 3 : round % 3];
        }
        IniDocument doc = IniDocument::parse(text);
        ASSERT_EQ(doc.serialize(), text);
        for (const char* sec : asked)
            for (const char* key : asked)
                ASSERT_EQ(doc.value(sec, key), referenceValue(text, sec, key)) << round << " [" << sec << "] " << key;

        // A batch of edits, read back before and after a save.
        std::vector<std::pair<std::string, std::string>> set;
        for (int e = 0; e < 12; ++e) {
            const std::string sec = e % 4 == 0 ? "New" + std::to_string(e % 3) : asked[rng() % 10];
            const std::string key = e % 3 == 0 ? "Fresh" + std::to_string(e % 2) : asked[rng() % 10];
            const std::string v = "v" + std::to_string(e);
            doc.set(sec, key, v);
            ASSERT_EQ(doc.value(sec, key), v);
            set.push_back({sec, key});
        }
        const std::string saved = doc.serialize();
        ASSERT_EQ(doc.serializedSize(), saved.size());
        const IniDocument again = IniDocument::parse(saved);
        for (const auto& [sec, key] : set) {
            ASSERT_EQ(again.value(sec, key), doc.value(sec, key)) << round << " [" << sec << "] " << key;
            ASSERT_EQ(referenceValue(saved, sec, key), doc.value(sec, key)) << round;
        }
        for (const char* sec : asked)
            for (const char* key : asked) ASSERT_EQ(again.value(sec, key), referenceValue(saved, sec, key));
    }
}

TEST(IniIndex, SectionWithAHundredThousandKeysFindsEachFirstOccurrence) {
    std::string text = "[Big]\n";
    for (int i = 0; i < 100000; ++i) text += "k" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    text += "K5=dup\n[big]\nk7=second\n";
    IniDocument doc = IniDocument::parse(text);
    for (int i : {0, 5, 7, 4242, 99999}) EXPECT_EQ(doc.value("BIG", "K" + std::to_string(i)), std::to_string(i));
    EXPECT_EQ(doc.value("Big", "k100000"), std::nullopt);
    doc.set("Big", "k99999", "last");
    doc.set("Big", "new", "1");
    const std::string saved = doc.serialize();
    const std::string end = "\nk99999=last\nK5=dup\nnew=1\n[big]\nk7=second\n";
    EXPECT_EQ(saved.substr(saved.size() - end.size()), end);
}

TEST(ByteText, AnyBytesSurviveTheWayThroughUtf16) {
    const std::string cases[] = {
        "Aluminium (internal)",
        "Árvíztűrő tükörfúrógép",
        "emoji \xF0\x9F\x98\x80 end",
        "latin-1 \xE1rv\xEDzt\xFBr\xF5",                 // not UTF-8
        "cut \xC3",                                      // a sequence cut at the end
        "overlong \xC0\xAF and \xE0\x80\xAF",
        "surrogate \xED\xA0\x80 encoded",
        "beyond \xF4\x90\x80\x80",
        std::string("nul \0 inside", 12),
        "\xFF\xFE\x80\xBF",
    };
    for (const std::string& bytes : cases) {
        const std::u16string text = kob::utf16FromBytes(bytes);
        EXPECT_EQ(kob::bytesFromUtf16(text), bytes);
    }
    // Valid text decodes as itself.
    EXPECT_EQ(kob::utf16FromBytes("\xC3\xA1\xF0\x9F\x98\x80"), (std::u16string{0xE1, 0xD83D, 0xDE00}));
    EXPECT_EQ(kob::utf16FromBytes("a\xE1"), (std::u16string{u'a', 0xDCE1}));
    // A lone surrogate that no decoding makes becomes U+FFFD.
    EXPECT_EQ(kob::bytesFromUtf16(std::u16string{0xD800, u'x'}), "\xEF\xBF\xBDx");
    std::mt19937 rng(3);
    for (int i = 0; i < 2000; ++i) {
        std::string bytes(rng() % 12, '\0');
        for (char& c : bytes) c = char(rng() % 256);
        ASSERT_EQ(kob::bytesFromUtf16(kob::utf16FromBytes(bytes)), bytes);
    }
}

}  // namespace
