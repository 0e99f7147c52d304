// The form storage on a bare form: taking over and chaining the form's
// notifications, the save mark, binding the stored properties, position texts.
#include <gtest/gtest.h>

#include "settings/FormStorage.h"
#include "SettingsTestSupport.h"

namespace {

class FormStorage : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form.SetBounds(0, 0, 400, 300);
        List.SetParent(&Form);
        List.Columns().Add().SetCaption("One");
        Form.HandleNeeded();
    }
    std::string Value(const std::string& Section, const std::string& Key)
    {
        return Storage.Document().ReadString(Section, Key, "<none>");
    }

    TMemoryFileSystem Files;
    TForm Form{nullptr, "frmTest", "TFormStorageTestForm"};
    TListView List{&Form, "List"};
    TJvAppIniFileStorage Storage{&Form, "Storage", &Files};
};

} // namespace

TEST_F(FormStorage, NotificationsAreChainedAndPutBack)
{
    std::vector<std::string> calls;
    bool allow = false;
    Form.OnShow = [&](TForm&) { calls.push_back("show"); };
    Form.OnCloseQuery = [&](TForm&, bool& canClose) {
        calls.push_back("query");
        canClose = allow;
    };
    Form.OnDestroy = [&](TForm&) { calls.push_back("destroy"); };
    {
        TJvFormStorage store(Form, "Store", &Storage, "%form_NAME%\\Sub", {});
        store.Loaded();
        EXPECT_EQ(store.AppStoragePath(), "frmTest\\Sub\\");

        Form.OnShow(Form);
        EXPECT_FALSE(store.Saved());
        bool canClose = true;
        Form.OnCloseQuery(Form, canClose);   // the remembered handler refuses: nothing saved
        EXPECT_FALSE(canClose);
        EXPECT_EQ(Value("frmTest\\Sub", "FormVersion"), "<none>");
        allow = true;
        canClose = true;
        Form.OnCloseQuery(Form, canClose);
        EXPECT_TRUE(store.Saved());
        EXPECT_EQ(Value("frmTest\\Sub", "FormVersion"), "0");
        EXPECT_EQ(Value("frmTest\\Sub", "NormPos"), "0,0,400,300");

        Storage.Document().Clear();
        Form.OnDestroy(Form);   // saved since the last restore: no second save
        EXPECT_EQ(Storage.Document().SectionCount(), 0u);
        Form.OnShow(Form);      // a restore clears the mark
        Form.OnDestroy(Form);
        EXPECT_EQ(Value("frmTest\\Sub", "FormVersion"), "0");

        store.SetActive(false);
        Storage.Document().Clear();
        Form.OnCloseQuery(Form, canClose);
        EXPECT_EQ(Storage.Document().SectionCount(), 0u);
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"show", "query", "query", "destroy", "show", "destroy", "query"}));
    calls.clear();
    bool canClose = true;
    Form.OnShow(Form);
    Form.OnCloseQuery(Form, canClose);
    Form.OnDestroy(Form);
    EXPECT_EQ(calls, (std::vector<std::string>{"show", "query", "destroy"}));
    EXPECT_EQ(Storage.Document().SectionCount(), 0u);
    // The handlers hold this test's locals: the form outlives them.
    Form.OnShow = nullptr;
    Form.OnCloseQuery = nullptr;
    Form.OnDestroy = nullptr;
}

TEST_F(FormStorage, StoredPropsBindToMembersByNameAndUnknownOnesAreDropped)
{
    TJvFormStorage store(Form, "Store", &Storage, "%FORM_NAME%",
                         {" list . columns ", "Nobody.Columns", ".Columns", "List.", "NoDot", "List.Items"});
    store.Loaded();
    EXPECT_EQ(store.StoredProps(), (std::vector<std::string>{" list . columns ", "List.Items"}));
    store.SaveWindowSettings();
    // The path takes the component's name and the property's declared name.
    EXPECT_EQ(Value("frmTest\\List_Columns", "Count"), "1");
    EXPECT_EQ(Value("frmTest\\List_Columns\\Item0", "Caption"), "One");
    EXPECT_FALSE(Storage.SectionExists("frmTest\\List_Items"));
    EXPECT_EQ(store.StoredProps(), (std::vector<std::string>{"List.columns", "List.Items"}));

    // A second save writes the list anew at the end.
    Storage.WriteString("frmTest\\List_ColumnsOld\\Item9\\Width", "1");
    Storage.WriteString("frmTest\\list_columns\\Item9\\Width", "1");
    store.SaveWindowSettings();
    std::vector<std::string> names = Storage.Document().SectionNames();
    EXPECT_EQ(names, (std::vector<std::string>{"frmTest", "frmTest\\list_columns\\Item9", "frmTest\\List_Columns",
                                               "frmTest\\List_Columns\\Item0"}));
}

TEST_F(FormStorage, PositionWordsAreSeparatedByCommasOrBlanksWithDefaultsForMissingOnes)
{
    TJvFormStorage store(Form, "Store", &Storage, "%FORM_NAME%", {});
    store.Loaded();
    auto restored = [&](const std::string& norm) {
        Storage.WriteString("frmTest\\NormPos", norm);
        Form.SetBounds(0, 0, 400, 300);
        store.RestoreWindowSettings();
        WINDOWPLACEMENT p{};
        p.length = sizeof p;
        ::GetWindowPlacement(Form.Handle(), &p);
        const RECT& r = p.rcNormalPosition;
        return std::vector<int>{r.left, r.top, r.right, r.bottom};
    };
    EXPECT_EQ(restored("10 , 20,,654 492"), (std::vector<int>{10, 20, 654, 492}));
    EXPECT_EQ(restored("5,x"), (std::vector<int>{5, 0, 400, 300}));
    EXPECT_EQ(restored("700,x"), (std::vector<int>{0, 0, 400, 300}));   // right not beyond left: not applied
    EXPECT_FALSE(::IsWindowVisible(Form.Handle()));   // applying a placement never shows the window
}
