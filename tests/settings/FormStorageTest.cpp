// The form storage on a bare form: the form's own handlers around the
// settings steps, the save mark, binding the stored properties, position texts.
#include <gtest/gtest.h>

#include "settings/FormStorage.h"
#include "ui/ListView.h"
#include "SettingsTestSupport.h"

namespace {

const std::wstring IniName = L"C:\\app\\morvane.ini";

// A form that keeps its settings as the main window does, with the pair
// declared the other way round: the order of the members decides nothing.
class TStoredForm : public TForm {
public:
    TStoredForm(const TFormKey& Key, TMemoryFileSystem& Files, std::vector<std::string> StoredProps)
        : TForm(Key, nullptr, "frmTest", "TFormStorageTestForm"),
          Store(*this, "Store", Storage, "%FORM_NAME%", std::move(StoredProps)), Storage(this, "Storage", &Files)
    {
        SetBounds(0, 0, 400, 300);
        List.SetParent(this);
        List.Columns().Add().SetCaption("One");
        HandleNeeded();
        Store.Loaded();
    }

    TListView List{this, "List"};
    TJvFormStorage Store;
    TJvAppIniFileStorage Storage;
};

class FormStorage : public ::testing::Test {
protected:
    TStoredForm& Make(std::vector<std::string> StoredProps = {"List.Columns"})
    {
        Form = MakeForm<TStoredForm>(Files, std::move(StoredProps));
        return *Form;
    }
    std::string Value(const std::string& Section, const std::string& Key)
    {
        return Form->Storage.Document().ReadString(Section, Key, "<none>");
    }
    std::vector<int> NormalBounds() const
    {
        WINDOWPLACEMENT p{};
        p.length = sizeof p;
        ::GetWindowPlacement(Form->Handle(), &p);
        const RECT& r = p.rcNormalPosition;
        return {r.left, r.top, r.right, r.bottom};
    }

    TMemoryFileSystem Files;
    TFormPtr<TStoredForm> Form;
};

} // namespace

TEST_F(FormStorage, TheFormsOwnHandlersRunAroundTheSettingsStepsWhenEverAssigned)
{
    TStoredForm& form = Make();
    form.Storage.WriteString("frmTest\\NormPos", "10,20,410,320");
    // Assigned after the storage began to watch the form.
    std::vector<std::string> calls;
    bool allow = false;
    auto version = [&] { return form.Storage.Document().ReadString("frmTest", "FormVersion", "<none>"); };
    form.OnShow = [&](TForm&) { calls.push_back(NormalBounds()[0] == 10 ? "show restored" : "show"); };
    form.OnCloseQuery = [&](TForm&, bool& canClose) {
        calls.push_back("query " + version());
        canClose = allow;
    };
    form.OnDestroy = [&](TForm&) { calls.push_back("destroy " + version()); };   // Form is null by then

    form.DoShow();
    EXPECT_FALSE(form.CloseQuery());   // refused: nothing saved
    EXPECT_EQ(version(), "<none>");
    allow = true;
    EXPECT_TRUE(form.CloseQuery());
    EXPECT_EQ(Value("frmTest", "NormPos"), "10,20,410,320");

    form.Storage.Document().Clear();
    form.DoShow();   // a restore clears the mark: destruction saves again
    Form.reset();
    EXPECT_EQ(calls, (std::vector<std::string>{"show restored", "query <none>", "query <none>", "show restored",
                                               "destroy 0"}));
    // The file, written as the storage went, holds that last save.
    TIniDocument written;
    written.Load(Files.Files[IniName]);
    EXPECT_EQ(written.ReadString("frmTest", "FormVersion", ""), "0");
    EXPECT_EQ(written.ReadString("frmTest\\List_Columns\\Item0", "Caption", ""), "One");

    // The end of the session: the form's handler, then the save and the file.
    Files.Files.clear();
    Make().OnEndSession = [&](TForm&) { calls.push_back(Files.Files.empty() ? "end, no file yet" : "end"); };
    ::SendMessageA(Form->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(calls.back(), "end, no file yet");
    EXPECT_NE(Files.Files[IniName].find("FormVersion=0"), std::string::npos);
}

TEST_F(FormStorage, StoredPropsBindToMembersByNameAndUnknownOnesAreDropped)
{
    TStoredForm& form = Make({" list . columns ", "Nobody.Columns", ".Columns", "List.", "NoDot", "List.Items"});
    form.Store.SaveWindowSettings();
    // The path takes the component's name and the property's declared name.
    EXPECT_EQ(Value("frmTest\\List_Columns", "Count"), "1");
    EXPECT_EQ(Value("frmTest\\List_Columns\\Item0", "Caption"), "One");
    EXPECT_EQ(form.Storage.Document().SectionNames(),
              (std::vector<std::string>{"frmTest", "frmTest\\List_Columns", "frmTest\\List_Columns\\Item0"}));

    // A second save writes the list anew at the end.
    form.Storage.WriteString("frmTest\\List_ColumnsOld\\Item9\\Width", "1");
    form.Storage.WriteString("frmTest\\list_columns\\Item9\\Width", "1");
    form.Store.SaveWindowSettings();
    EXPECT_EQ(form.Storage.Document().SectionNames(),
              (std::vector<std::string>{"frmTest", "frmTest\\list_columns\\Item9", "frmTest\\List_Columns",
                                        "frmTest\\List_Columns\\Item0"}));
}

TEST_F(FormStorage, PositionWordsAreSeparatedByCommasOrBlanksWithDefaultsForMissingOnes)
{
    TStoredForm& form = Make();
    auto restored = [&](const std::string& norm) {
        form.Storage.WriteString("frmTest\\NormPos", norm);
        form.SetBounds(0, 0, 400, 300);
        form.Store.RestoreWindowSettings();
        return NormalBounds();
    };
    EXPECT_EQ(restored("10 , 20,,654 492"), (std::vector<int>{10, 20, 654, 492}));
    EXPECT_EQ(restored("5,x"), (std::vector<int>{5, 0, 400, 300}));
    EXPECT_EQ(restored("700,x"), (std::vector<int>{0, 0, 400, 300}));   // right not beyond left: not applied
    EXPECT_FALSE(::IsWindowVisible(form.Handle()));   // applying a placement never shows the window
}
