#include <gtest/gtest.h>

#include <chrono>

#include "settings/IniDocument.h"
#include "SettingsTestSupport.h"

namespace {

std::string Lines(const TIniDocument& Doc, std::string_view Section)
{
    const std::vector<std::string>* lines = Doc.SectionLines(Section);
    if (!lines)
        return "<none>";
    std::string out;
    for (const std::string& line : *lines)
        out += line + "|";
    return out;
}

} // namespace

TEST(IniDocument, NamesAndKeysIgnoreLetterCase)
{
    TIniDocument doc;
    doc.WriteString("frmMorvane", "ShowCmd", "1");
    EXPECT_EQ(doc.ReadString("FRMMORVANE", "showcmd", "x"), "1");
    doc.WriteString("FrmMorvane", "SHOWCMD", "3");
    EXPECT_EQ(doc.SectionCount(), 1u);
    EXPECT_EQ(Lines(doc, "frmmorvane"), "SHOWCMD=3|");   // replaced in place, key as last written
    EXPECT_EQ(doc.ReadString("frmMorvane", "Missing", "dflt"), "dflt");
    EXPECT_EQ(doc.ReadString("Missing", "ShowCmd", "dflt"), "dflt");
}

TEST(IniDocument, WriteReplacesInPlaceOrAppendsAtTheEnd)
{
    TIniDocument doc;
    doc.Load("[A]\na=1\nplain line\nb=2\n[B]\nc=3\n");
    doc.WriteString("A", "a", "10");
    doc.WriteString("A", "new", "x");
    doc.WriteString("C", "k", "v");
    EXPECT_EQ(doc.Save(), "[A]\r\na=10\r\nplain line\r\nb=2\r\nnew=x\r\n\r\n[B]\r\nc=3\r\n\r\n[C]\r\nk=v\r\n\r\n");
}

TEST(IniDocument, FirstOfDuplicateKeysAndSectionsIsReadAndWritten)
{
    TIniDocument doc;
    doc.Load("[s]\nk=1\nK=2\n[S]\nk=3\n");
    EXPECT_EQ(doc.ReadString("s", "k", ""), "1");
    doc.WriteString("s", "k", "9");
    EXPECT_EQ(doc.Save(), "[s]\r\nk=9\r\nK=2\r\n\r\n[S]\r\nk=3\r\n\r\n");
}

TEST(IniDocument, ExistenceRules)
{
    TIniDocument doc;
    doc.Load("[empty]\n[words]\nno equals sign\n[values]\nk=\n=v\n");
    EXPECT_FALSE(doc.SectionExists("empty"));   // no line
    EXPECT_TRUE(doc.SectionExists("words"));
    EXPECT_FALSE(doc.SectionExists("missing"));
    EXPECT_FALSE(doc.ValueExists("words", "no equals sign"));
    EXPECT_TRUE(doc.ValueExists("values", "K"));   // an empty value exists
    EXPECT_EQ(doc.ReadString("values", "k", "dflt"), "");
    EXPECT_TRUE(doc.ValueExists("values", ""));   // "=v" is the empty key
    EXPECT_EQ(doc.ReadString("values", "", ""), "v");
    EXPECT_FALSE(doc.ValueExists("values", "k="));   // a key holding '=' matches nothing
}

TEST(IniDocument, PrefixEraseComparesWithLetterCase)
{
    TIniDocument doc;
    for (const char* name : {"X", "A\\B", "A\\B\\Item0", "a\\b\\Item1", "A\\BC", "Y"})
        doc.WriteString(name, "k", "v");
    EXPECT_EQ(doc.EraseSectionsWithPrefix("A\\B"), 3u);
    EXPECT_EQ(doc.SectionNames(), (std::vector<std::string>{"X", "a\\b\\Item1", "Y"}));
    EXPECT_EQ(doc.ReadString("A\\B\\ITEM1", "k", ""), "v");   // the index follows the erase
    doc.WriteString("A\\B", "Count", "1");
    EXPECT_EQ(doc.SectionNames().back(), "A\\B");
}

TEST(IniDocument, LoadTrimsSkipsAndDropsWhatIsNotKept)
{
    TIniDocument doc;
    doc.Load("stray=1\r\n; comment\r\n[  Main ]\r\n\t Width = 300 \r\n\r\n;x=1\r\n  lone word  \r\n"
             "[Unknown]\r\nkey=value with  inner  blanks\r\nx=a=b\r\n");
    EXPECT_EQ(doc.ReadString("Main", "Width", ""), "300");
    EXPECT_EQ(doc.ReadString("Unknown", "x", ""), "a=b");
    EXPECT_EQ(doc.Save(), "[Main]\r\nWidth=300\r\nlone word\r\n\r\n"
                          "[Unknown]\r\nkey=value with  inner  blanks\r\nx=a=b\r\n\r\n");
}

TEST(IniDocument, LineEndsOfEveryKind)
{
    const std::string expected = "[s]\r\na=1\r\nb=2\r\n\r\n[t]\r\nc=3\r\n\r\n";
    for (const char* text : {"[s]\ra=1\rb=2\r[t]\rc=3", "[s]\na=1\nb=2\n[t]\nc=3\n", "[s]\r\na=1\n\rb=2\r\r\n[t]\r\nc=3",
                             "\xEF\xBB\xBF\n[s]\na=1\nb=2\n[t]\nc=3\n\n\n",
                             // an editor's byte-order mark before the first section: read past, not written
                             "\xEF\xBB\xBF[s]\r\na=1\r\nb=2\r\n[t]\r\nc=3\r\n"}) {
        TIniDocument doc;
        doc.Load(text);
        EXPECT_EQ(doc.Save(), expected) << text;
    }
}

TEST(IniDocument, NulBytesAndHighBytesStayInside)
{
    TIniDocument doc;
    static const char text[] = "[a\0b]\n\0k\xA0=\0v\0x\0\n";
    doc.Load(std::string_view(text, sizeof text - 1));
    // NUL is trimmed at the ends like any control character; 0xA0 is not a blank.
    EXPECT_EQ(doc.SectionNames(), std::vector<std::string>{std::string("a\0b", 3)});
    EXPECT_EQ(doc.ReadString(std::string_view("a\0b", 3), "k\xA0", ""), std::string("v\0x", 3));
}

TEST(IniDocument, ExampleFileFromWritesInOrder)
{
    TIniDocument doc;
    for (auto [key, value] : {std::pair{"FormVersion", "0"}, {"ShowCmd", "1"}, {"Flags", "0"}, {"PixelsPerInch", "96"},
                              {"MinMaxPos(1024x768)", "-1,-1,-4,-4"}, {"MinMaxPos", "-1,-1,-4,-4"},
                              {"NormPos(1024x768)", "190,148,834,620"}, {"NormPos", "190,148,834,620"}})
        doc.WriteString("frmMorvane", key, value);
    const std::string columns = "frmMorvane\\CacheListView_Columns";
    doc.WriteString(columns, "Count", "5");
    const struct { const char* Caption; const char* MinWidth; const char* Width; } items[] = {
        {"Name", "100", "300"}, {"Last Access", "50", "100"}, {"Hit rate", "50", "50"}, {"Size", "50", "50"},
        {"File Name", "100", "200"}};
    for (int i = 0; i < 5; ++i) {
        std::string section = columns + "\\Item" + std::to_string(i);
        for (auto [key, value] : {std::pair{"Alignment", "taLeftJustify"}, {"AutoSize", "FALSE"},
                                  {"Caption", items[i].Caption}, {"ImageIndex", "-1"}, {"MaxWidth", "0"},
                                  {"MinWidth", items[i].MinWidth}, {"Tag", "0"}, {"Width", items[i].Width}})
            doc.WriteString(section, key, value);
    }
    const std::string saved = doc.Save();
    EXPECT_EQ(saved, ExampleSettingsFile());
    ASSERT_GE(saved.size(), 4u);
    EXPECT_EQ(saved.substr(saved.size() - 4), "\r\n\r\n");
    TIniDocument again;
    again.Load(saved);
    EXPECT_EQ(again.Save(), saved);
}

TEST(IniDocument, ManySectionsAndMegabyteLinesLoadInLinearTime)
{
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "[Section" + std::to_string(i) + "]\nKey=" + std::to_string(i) + "\n";
    const std::string big(1 << 20, 'x');
    text += "[Big]\nValue=" + big + "\n" + big + "\n[" + big + "]\nk=v\n";
    auto start = std::chrono::steady_clock::now();
    TIniDocument doc;
    doc.Load(text);
    int found = 0;
    for (int i = 0; i < 20000; ++i)
        found += doc.ReadString("SECTION" + std::to_string(i), "key", "") == std::to_string(i);
    for (int i = 0; i < 20000; i += 2)
        doc.WriteString("Section" + std::to_string(i), "Key", "w");
    std::string saved = doc.Save();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(found, 20000);
    EXPECT_EQ(doc.SectionCount(), 20002u);
    EXPECT_EQ(doc.ReadString("Big", "Value", "").size(), big.size());
    EXPECT_EQ(doc.ReadString(big, "k", ""), "v");
    EXPECT_LT(seconds, 3.0);   // about 0.1 s; a quadratic look-up takes minutes
    RecordProperty("seconds", std::to_string(seconds));
}
