// The main window's settings: restored when it is first shown, saved when it
// closes, written when it is destroyed. The file lives in memory (fixture).
#include "MainFormFixture.h"

#include <chrono>

#include "settings/IniDocument.h"

namespace {

const std::wstring IniName = L"C:\\app\\morvane.ini";

class FormStorageTest : public MainFormTest {
protected:
    void SetIni(std::string Text) { Files.Files[IniName] = std::move(Text); }
    std::string Ini() const
    {
        auto it = Files.Files.find(IniName);
        return it == Files.Files.end() ? std::string() : it->second;
    }
    // The window as its first show notification leaves it, just before it
    // would be positioned and made visible. (The tests keep it invisible:
    // under Wine without a window manager, taking down a visible window
    // costs two seconds. The real program's show and close are tested end to end.)
    TfrmMorvane& Open()
    {
        TfrmMorvane& form = Create();
        form.DoShow();
        return form;
    }
    // The close query that closing runs, then destruction (the file is written).
    void CloseAndDestroy()
    {
        Form->CloseQuery();
        Form.reset();
    }
    // No stored placement applied: the show goes on to centre the design size.
    bool WillBeCentred() const
    {
        return Form->Position() == poDesktopCenter && Form->Width() == 644 && Form->Height() == 472;
    }
    RECT NormalBounds() const
    {
        WINDOWPLACEMENT p{};
        p.length = sizeof p;
        ::GetWindowPlacement(Form->Handle(), &p);
        return p.rcNormalPosition;
    }
    std::vector<std::string> ColumnCaptions() const
    {
        std::vector<std::string> out;
        const TListColumns& columns = Form->CacheListView.Columns();
        for (int i = 0; i < columns.Count(); ++i)
            out.push_back(columns[i].Caption());
        return out;
    }
    int HeaderColumns() const
    {
        HWND header = ListView_GetHeader(Form->CacheListView.Handle());
        return header ? Header_GetItemCount(header) : -1;
    }
};

std::vector<int> Bounds(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

// The keys of a section of a written file, in order.
std::vector<std::string> Keys(const std::string& File, const std::string& Section)
{
    TIniDocument document;
    document.Load(File);
    std::vector<std::string> keys;
    if (const std::vector<std::string>* lines = document.SectionLines(Section))
        for (const std::string& line : *lines)
            keys.push_back(line.substr(0, line.find('=')));
    return keys;
}

} // namespace

TEST_F(FormStorageTest, AScreenSizeSavedBeforeUsesItsOwnKeysAndAnUnseenOneThePlainKeys)
{
    const std::string current = ScreenSizeSuffix();
    const std::string other = current == "(800x600)" ? "(640x480)" : "(800x600)";
    SetIni("[frmMorvane]\r\nNormPos" + other + "=1,2,300,400\r\nNormPos=10,20,654,492\r\n");
    Open();
    EXPECT_EQ(Bounds(NormalBounds()), (std::vector<int>{10, 20, 654, 492}));
    EXPECT_EQ(Form->Position(), poDesigned);
    CloseAndDestroy();
    // The keys of the new size come after those of the earlier one, which stay.
    EXPECT_EQ(Keys(Ini(), "frmMorvane"),
              (std::vector<std::string>{"NormPos" + other, "NormPos", "FormVersion", "ShowCmd", "Flags", "PixelsPerInch",
                                        "MinMaxPos" + current, "MinMaxPos", "NormPos" + current}));
    EXPECT_NE(Ini().find("NormPos" + other + "=1,2,300,400\r\n"), std::string::npos);
    EXPECT_NE(Ini().find("NormPos" + current + "=10,20,654,492\r\n"), std::string::npos);

    // Its own keys win over the plain ones, whatever the last run used.
    SetIni("[frmMorvane]\r\nNormPos" + current + "=30,40,674,512\r\nNormPos=1,2,300,400\r\n");
    Open();
    EXPECT_EQ(Bounds(NormalBounds()), (std::vector<int>{30, 40, 674, 512}));
}

TEST_F(FormStorageTest, AnotherPixelsPerInchOpensCentredAtDesignSizeInTheStoredStateWithScaledColumns)
{
    const std::string columns = "[frmMorvane\\CacheListView_Columns]\r\nCount=1\r\n"
                                "[frmMorvane\\CacheListView_Columns\\Item0]\r\nCaption=Only\r\nMaxWidth=400\r\n"
                                "MinWidth=100\r\nWidth=120\r\n";
    SetIni("[frmMorvane]\r\nShowCmd=3\r\nPixelsPerInch=120\r\nNormPos=10,20,654,492\r\n" + columns);
    Open();
    EXPECT_EQ(Form->WindowState(), wsMaximized);
    EXPECT_TRUE(WillBeCentred());
    EXPECT_EQ(ColumnCaptions(), std::vector<std::string>{"Only"});
    CloseAndDestroy();   // saved at 120, shown at 96: the widths and their limits by 96 / 120
    EXPECT_NE(Ini().find("\r\nPixelsPerInch=96\r\n"), std::string::npos);
    EXPECT_NE(Ini().find("\r\nMaxWidth=320\r\nMinWidth=80\r\nTag=0\r\nWidth=96\r\n"), std::string::npos) << Ini();

    SetIni("[frmMorvane]\r\nPixelsPerInch=9600\r\n" + columns);   // no screen has that: nothing scaled
    Open();
    EXPECT_EQ(Form->CacheListView.Columns()[0].Width(), 120);
}

TEST_F(FormStorageTest, AnOlderFormVersionRestoresNothingAndTheNextSaveWritesZero)
{
    SetIni("[frmMorvane]\r\nFormVersion=-1\r\nShowCmd=3\r\nNormPos=10,20,654,492\r\n"
           "[frmMorvane\\CacheListView_Columns]\r\nCount=1\r\n");
    Open();
    EXPECT_EQ(Form->WindowState(), wsNormal);
    EXPECT_TRUE(WillBeCentred());
    EXPECT_EQ(ColumnCaptions().size(), 5u);
    CloseAndDestroy();
    EXPECT_EQ(Ini().rfind("[frmMorvane]\r\nFormVersion=0\r\nShowCmd=1\r\n", 0), 0u) << Ini();
    EXPECT_NE(Ini().find("[frmMorvane\\CacheListView_Columns]\r\nCount=5\r\n"), std::string::npos);
}

TEST_F(FormStorageTest, StoredColumnsAreRebuiltUnderTheColumnRulesAndWrittenBackNormalized)
{
    SetIni("[frmMorvane\\CacheListView_Columns]\r\nCount=3\r\n"
           "[frmMorvane\\CacheListView_Columns\\Item0]\r\nAlignment=taCenter\r\nCaption=First\r\nMinWidth=80\r\n"
           "Width=20\r\n"
           "[frmMorvane\\CacheListView_Columns\\Item1]\r\nAlignment=TACENTER\r\nCaption=Another text\r\n"
           " Width = 300 \r\nTag=7\r\nAutoSize=yes\r\n");
    Open();
    ASSERT_EQ(ColumnCaptions(), (std::vector<std::string>{"First", "Another text", ""}));
    EXPECT_EQ(HeaderColumns(), 3);
    const TListColumns& columns = Form->CacheListView.Columns();
    EXPECT_EQ(columns[0].Alignment(), taLeftJustify);   // the first column stays left
    EXPECT_EQ(columns[0].Width(), 80);                 // raised to its minimum
    EXPECT_EQ(columns[1].Alignment(), taCenter);
    EXPECT_EQ(columns[1].Width(), 300);
    EXPECT_EQ(columns[1].Tag(), 7);
    EXPECT_TRUE(columns[1].AutoSize());
    // No section of its own: the values of a new column.
    EXPECT_EQ(columns[2].Width(), 50);
    EXPECT_EQ(columns[2].ImageIndex(), -1);
    EXPECT_EQ(columns[2].MinWidth(), 0);
    CloseAndDestroy();
    EXPECT_NE(Ini().find("[frmMorvane\\CacheListView_Columns\\Item1]\r\nAlignment=taCenter\r\nAutoSize=TRUE\r\n"
                         "Caption=Another text\r\nImageIndex=-1\r\nMaxWidth=0\r\nMinWidth=0\r\nTag=7\r\nWidth=300\r\n"),
              std::string::npos)
        << Ini();
    EXPECT_EQ(Keys(Ini(), "frmMorvane\\CacheListView_Columns\\Item3"), std::vector<std::string>{});
}

TEST_F(FormStorageTest, ColumnErrorsAreAbsorbedAndAnImpossibleCountKeepsTheDesignColumns)
{
    // A count that is no integer ends with no column; one that no list can have
    // (negative, or above the guard) leaves the design columns, and they are saved.
    const std::vector<std::string> design = {"Name", "Last Access", "Hit rate", "Size", "File Name"};
    struct Case {
        const char* Count;
        bool Design;
    };
    for (const Case& c : {Case{"0", false}, Case{"abc", false}, Case{"99999999999999999999", false},
                          Case{"-5", true}, Case{"1001", true}, Case{"1000000", true}, Case{"2147483647", true}}) {
        SCOPED_TRACE(c.Count);
        SetIni(std::string("[frmMorvane\\CacheListView_Columns]\r\nCount=") + c.Count +
               "\r\n[frmMorvane\\CacheListView_Columns\\Item0]\r\nCaption=A\r\n");
        auto start = std::chrono::steady_clock::now();
        Open();
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
        EXPECT_EQ(ColumnCaptions(), c.Design ? design : std::vector<std::string>{});
        EXPECT_EQ(HeaderColumns(), c.Design ? 5 : 0);
        CloseAndDestroy();
        EXPECT_NE(Ini().find(std::string("[frmMorvane\\CacheListView_Columns]\r\nCount=") + (c.Design ? "5" : "0") +
                             "\r\n"),
                  std::string::npos);
    }
    // A bad value ends its column only; the keys before it stay applied.
    SetIni("[frmMorvane\\CacheListView_Columns]\r\nCount=2\r\n"
           "[frmMorvane\\CacheListView_Columns\\Item0]\r\nCaption=A\r\nImageIndex=x\r\nWidth=200\r\n"
           "[frmMorvane\\CacheListView_Columns\\Item1]\r\nWidth=120\r\n");
    Open();
    ASSERT_EQ(ColumnCaptions(), (std::vector<std::string>{"A", ""}));
    EXPECT_EQ(Form->CacheListView.Columns()[0].Width(), 50);
    EXPECT_EQ(Form->CacheListView.Columns()[1].Width(), 120);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(FormStorageTest, CommentsAndStrayLinesGoWhileUnknownSectionsAndKeysSurvive)
{
    SetIni("stray=1\r\n; a comment\r\n\r\n[Mine]\r\n Key = v \r\n;another\r\n[frmMorvane]\r\nExtra=1\r\n");
    Open();
    CloseAndDestroy();
    const std::string text = Ini();
    EXPECT_EQ(text.rfind("[Mine]\r\nKey=v\r\n\r\n[frmMorvane]\r\nExtra=1\r\nFormVersion=0\r\n", 0), 0u) << text;
    EXPECT_EQ(text.find("stray"), std::string::npos);
    EXPECT_EQ(text.find(';'), std::string::npos);
}

TEST_F(FormStorageTest, AReadOnlyFileIsRestoredButNeverChanged)
{
    const std::string original = "; mine\n[frmMorvane]\nNormPos=10,20,654,492\n";
    SetIni(original);
    Files.ReadOnlyFiles[IniName] = true;
    Open();
    EXPECT_EQ(Bounds(NormalBounds()), (std::vector<int>{10, 20, 654, 492}));
    Form->CloseQuery();
    EXPECT_EQ(Form->JvAppIniFileStorage1.Document().Save(), "[frmMorvane]\r\nNormPos=10,20,654,492\r\n\r\n");
    Form.reset();
    EXPECT_EQ(Ini(), original);
    EXPECT_EQ(Files.Files.size(), 1u);
}

TEST_F(FormStorageTest, AValueThatIsNotAnIntegerIsReportedAndTheWindowStillOpens)
{
    struct Case {
        const char* Line;
        const char* Box;
        bool Placed;   // the error came after the placement was applied
    };
    for (const Case& c : {Case{"FormVersion=abc", "'abc' is not a valid integer value.", false},
                          Case{"PixelsPerInch=96dpi", "'96dpi' is not a valid integer value.", false},
                          Case{"ShowCmd= 3x", "'3x' is not a valid integer value.", true}}) {
        SCOPED_TRACE(c.Line);
        Boxes.clear();
        SetIni(std::string("[frmMorvane]\r\n") + c.Line + "\r\nNormPos=10,20,654,492\r\n"
               "[frmMorvane\\CacheListView_Columns]\r\nCount=1\r\n");
        Open();   // the show goes on after the box
        EXPECT_EQ(Boxes, std::vector<std::string>{c.Box});
        if (c.Placed)
            EXPECT_EQ(Bounds(NormalBounds()), (std::vector<int>{10, 20, 654, 492}));
        else
            EXPECT_TRUE(WillBeCentred());
        EXPECT_EQ(ColumnCaptions().size(), 5u);   // the restore ended there
        CloseAndDestroy();
    }
}
