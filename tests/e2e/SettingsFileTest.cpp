// The settings file of the real program under Wine: written at a normal close,
// restored at the next start, and hostile files opened and closed cleanly.
#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "Process.h"
#include "settings/SettingsTestSupport.h"
#include "ui/Form.h"

namespace {

constexpr DWORD RunBound = 30000;   // milliseconds to start, and again to close

// The example file of a first run that ends with a normal close on 1024 x 768
// at 96 pixels per inch, with the maximized position that Wine reports.
std::string ExampleOnWine()
{
    std::string text = ExampleSettingsFile();
    for (int i = 0; i < 2; ++i)
        text.replace(text.find("=-1,-1,-4,-4"), 12, "=-1,-1,-1,-1");
    return text;
}

RECT WindowRect(HWND wnd)
{
    RECT r{};
    ::GetWindowRect(wnd, &r);
    return r;
}

bool WaitUntil(bool (*Condition)(HWND), HWND Wnd, DWORD Milliseconds = 5000)
{
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < Milliseconds; ::Sleep(50))
        if (Condition(Wnd))
            return true;
    return Condition(Wnd);
}

bool Iconic(HWND wnd) { return ::IsIconic(wnd) != FALSE; }
bool Zoomed(HWND wnd) { return ::IsZoomed(wnd) != FALSE; }

// Starts the copy, waits for its window (answering message boxes), lets Act
// work on it, closes it and expects exit code 0.
template <class Act>
void RunOnce(TScratchCopy& Copy, Act act, std::vector<std::string>* Boxes = nullptr)
{
    TMorvaneProcess morvane(Copy.Exe());
    ASSERT_TRUE(morvane.Started());
    std::vector<std::string> boxes;
    HWND wnd = morvane.WaitForMainWindow(boxes, RunBound);
    if (Boxes)
        *Boxes = boxes;
    else
        EXPECT_TRUE(boxes.empty()) << boxes.front();
    ASSERT_NE(wnd, nullptr) << "no main window";
    act(wnd);
    ASSERT_TRUE(morvane.Close(RunBound)) << "did not end in time";
    EXPECT_EQ(morvane.ExitCode(), 0u);
}

} // namespace

TEST(SettingsFile, FirstRunWritesTheExampleFileAndTheNextStartUsesIt)
{
    ASSERT_EQ(::GetSystemMetrics(SM_CXSCREEN), 1024) << "the example is for a 1024 x 768 screen";
    ASSERT_EQ(::GetSystemMetrics(SM_CYSCREEN), 768);
    TScratchCopy copy;
    ASSERT_TRUE(copy.Copied());
    RunOnce(copy, [](HWND wnd) {
        RECT r = WindowRect(wnd);
        EXPECT_EQ(r.left, 190);
        EXPECT_EQ(r.top, 148);
        EXPECT_EQ(r.right, 834);
        EXPECT_EQ(r.bottom, 620);
    });
    const std::string written = ReadFileBytes(copy.Ini());
    EXPECT_EQ(written, ExampleOnWine());
    EXPECT_EQ(copy.Files(), (std::vector<std::string>{"Morvane.exe", "morvane.ini"}));

    // A stored position replaces the centring.
    std::string moved = written;
    for (int i = 0; i < 2; ++i)
        moved.replace(moved.find("=190,148,834,620"), 16, "=10,20,654,492");
    ASSERT_TRUE(WriteFileBytes(copy.Ini(), moved));
    RunOnce(copy, [](HWND wnd) {
        RECT r = WindowRect(wnd);
        EXPECT_EQ(r.left, 10);
        EXPECT_EQ(r.top, 20);
        EXPECT_EQ(r.right, 654);
        EXPECT_EQ(r.bottom, 492);
    });
    EXPECT_EQ(ReadFileBytes(copy.Ini()), moved);
}

TEST(SettingsFile, MaximizedCloseReopensMaximizedAndRestoresToTheNormalBounds)
{
    TScratchCopy copy;
    ASSERT_TRUE(copy.Copied());
    RunOnce(copy, [](HWND wnd) {
        ::ShowWindowAsync(wnd, SW_MAXIMIZE);
        EXPECT_TRUE(WaitUntil(Zoomed, wnd));
    });
    std::string text = ReadFileBytes(copy.Ini());
    EXPECT_NE(text.find("\r\nShowCmd=3\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nNormPos=190,148,834,620\r\n"), std::string::npos) << text;

    RunOnce(copy, [](HWND wnd) {
        EXPECT_TRUE(WaitUntil(Zoomed, wnd));
        ::ShowWindowAsync(wnd, SW_RESTORE);
        // The restore ends when the window has its normal bounds again.
        EXPECT_TRUE(WaitUntil([](HWND w) { return !::IsZoomed(w) && WindowRect(w).left == 190; }, wnd));
        RECT r = WindowRect(wnd);
        EXPECT_EQ(r.left, 190);
        EXPECT_EQ(r.top, 148);
        EXPECT_EQ(r.right, 834);
        EXPECT_EQ(r.bottom, 620);
    });
    EXPECT_NE(ReadFileBytes(copy.Ini()).find("\r\nShowCmd=1\r\n"), std::string::npos);
}

TEST(SettingsFile, MinimizedCloseWritesTwoAndTheNextStartMinimizesAgain)
{
    TScratchCopy copy;
    ASSERT_TRUE(copy.Copied());
    RunOnce(copy, [](HWND wnd) {
        ::PostMessageA(wnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(WaitUntil(Iconic, wnd));
    });
    std::string text = ReadFileBytes(copy.Ini());
    EXPECT_NE(text.find("\r\nShowCmd=2\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nNormPos=190,148,834,620\r\n"), std::string::npos) << text;

    RunOnce(copy, [](HWND wnd) { EXPECT_TRUE(WaitUntil(Iconic, wnd)); });
    EXPECT_NE(ReadFileBytes(copy.Ini()).find("\r\nShowCmd=2\r\n"), std::string::npos);
}

TEST(SettingsFile, TheEndOfTheSessionWritesWhatACloseWritesAndNothingAfterIt)
{
    TScratchCopy copy;
    ASSERT_TRUE(copy.Copied());
    RunOnce(copy, [&](HWND wnd) {
        EXPECT_EQ(::SendMessageA(wnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
        ::SendMessageA(wnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        EXPECT_EQ(ReadFileBytes(copy.Ini()), ExampleOnWine());
        ASSERT_TRUE(WriteFileBytes(copy.Ini(), "[Later]\r\n"));
    });
    EXPECT_EQ(ReadFileBytes(copy.Ini()), "[Later]\r\n");
}

TEST(SettingsFile, FileDeletedDuringTheRunIsWrittenAnewAtShutdown)
{
    TScratchCopy copy;
    ASSERT_TRUE(copy.Copied());
    const std::string kept = "[Mine]\r\nKept=1\r\n\r\n";
    ASSERT_TRUE(WriteFileBytes(copy.Ini(), kept));
    RunOnce(copy, [&](HWND) { ASSERT_TRUE(::DeleteFileA(copy.Ini().c_str())); });
    EXPECT_EQ(ReadFileBytes(copy.Ini()), kept + ExampleOnWine());
}

TEST(SettingsFile, ReadOnlyFileKeepsItsBytes)
{
    TScratchCopy copy;
    ASSERT_TRUE(copy.Copied());
    const std::string original = "; mine\n[frmMorvane]\nShowCmd=1\nNormPos=10,20,654,492\n";
    ASSERT_TRUE(WriteFileBytes(copy.Ini(), original));
    ASSERT_TRUE(::SetFileAttributesA(copy.Ini().c_str(), FILE_ATTRIBUTE_READONLY));
    RunOnce(copy, [](HWND wnd) { EXPECT_EQ(WindowRect(wnd).left, 10); });
    EXPECT_EQ(ReadFileBytes(copy.Ini()), original);
    EXPECT_EQ(copy.Files(), (std::vector<std::string>{"Morvane.exe", "morvane.ini"}));
}

// Every hostile file, and two made here, beside the program: it starts, shows
// its window (after the error box where a value does not convert), and ends
// with code 0 when closed.
TEST(SettingsFile, HostileFilesOpenAndCloseTheProgramCleanly)
{
    std::string data;
    for (std::string folder = ModuleFolder(); folder.size() > 3;
         folder = folder.substr(0, folder.find_last_of('\\', folder.size() - 2) + 1)) {
        if (FileExists(folder + "tests\\data\\hostile-ini")) {
            data = folder + "tests\\data\\hostile-ini\\";
            break;
        }
    }
    ASSERT_FALSE(data.empty()) << "tests\\data\\hostile-ini not found above " << ModuleFolder();
    std::vector<std::pair<std::string, std::string>> files;
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA((data + "*.ini").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do
        files.emplace_back(found.cFileName, ReadFileBytes(data + found.cFileName));
    while (::FindNextFileA(find, &found));
    ::FindClose(find);
    ASSERT_GE(files.size(), 10u);
    std::string sections;
    for (int i = 0; i < 10000; ++i)
        sections += "[frmMorvane\\CacheListView_Columns\\Item" + std::to_string(i) + "]\nWidth=" + std::to_string(i) + "\n";
    files.emplace_back("10000 sections (made here)", sections + "[frmMorvane\\CacheListView_Columns]\nCount=10000\n");
    files.emplace_back("megabyte lines (made here)", "[frmMorvane]\nNormPos=" + std::string(1 << 20, '7') + "\n" +
                                                         std::string(1 << 20, '[') + "\nShowCmd=1");

    const std::map<std::string, std::string> expectedBoxes = {
        {"non-numeric.ini", "'zero' is not a valid integer value."},
        {"overflow.ini", "'99999999999999999999999' is not a valid integer value."},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        TScratchCopy copy;
        ASSERT_TRUE(copy.Copied());
        ASSERT_TRUE(WriteFileBytes(copy.Ini(), bytes));
        std::vector<std::string> boxes;
        auto start = std::chrono::steady_clock::now();
        auto expected = expectedBoxes.find(name);
        const bool box = expected != expectedBoxes.end();
        RunOnce(copy, [&](HWND wnd) {
            if (box) {   // the error came before the placement: centred at the design size
                RECT r = WindowRect(wnd);
                EXPECT_EQ(r.left, 190);
                EXPECT_EQ(r.top, 148);
                EXPECT_EQ(r.right - r.left, 644);
                EXPECT_EQ(r.bottom - r.top, 472);
            }
        }, &boxes);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 20.0);
        if (box)
            EXPECT_EQ(boxes, std::vector<std::string>{expected->second});
        else
            EXPECT_TRUE(boxes.empty()) << boxes.front();
        EXPECT_TRUE(FileExists(copy.Ini()));
    }
}

// Run by ctest in a prefix of its own whose screen is at 150%. First without
// a file, then with the example file saved at 96 pixels per inch, whose
// placement is dropped and whose columns are scaled as the design columns are.
TEST(ScaledScreen, TheWindowOpensScaledAndTheFileHoldsTheScreensPixels)
{
    ASSERT_EQ(ScreenPixelsPerInch(), 144) << "not a prefix at 144 pixels per inch";
    for (bool saved96 : {false, true}) {
        SCOPED_TRACE(saved96 ? "a file saved at 96" : "no file");
        TScratchCopy copy;
        ASSERT_TRUE(copy.Copied() && (!saved96 || WriteFileBytes(copy.Ini(), ExampleOnWine())));
        RunOnce(copy, [](HWND wnd) {
            RECT r = WindowRect(wnd);
            EXPECT_EQ(r.right - r.left, 966);
            EXPECT_EQ(r.bottom - r.top, 708);
        });
        const std::string text = ReadFileBytes(copy.Ini());
        const char* lines[] = {"PixelsPerInch=144", "NormPos=29,30,995,738", "MinWidth=150\r\nTag=0\r\nWidth=450",
                               "MinWidth=150\r\nTag=0\r\nWidth=300"};
        for (std::string line : lines)
            EXPECT_NE(text.find("\r\n" + line + "\r\n"), std::string::npos) << line << "\n" << text;
    }
}
