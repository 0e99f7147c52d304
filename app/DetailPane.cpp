// The detail pane: the five file-information lines and the preview of the
// selected entry's cached file.
#include "app/DetailPane.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "app/DisplayText.h"
#include "app/MainForm.h"
#include "base/AnsiCodePage.h"

bool PreviewsInBrowser(std::string_view LocalFileName)
{
    for (std::string_view extension : {".htm", ".html", ".gif", ".jpg"})
        if (LocalFileName.ends_with(extension))
            return true;
    return false;
}

char ControlPlaceholder()
{
    static const char placeholder = [] {
        const wchar_t middleDot = L'\u00B7';
        char narrow = 0;
        BOOL defaulted = FALSE;
        if (::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &middleDot, 1, &narrow, 1, nullptr, &defaulted) == 1 &&
            !defaulted && !TAnsiCodePage::Current().IsLead(static_cast<unsigned char>(narrow)))
            return narrow;
        return '.';
    }();
    return placeholder;
}

std::string PreviewText(std::string_view Bytes)
{
    // No byte below 0x40 is the second byte of a character in any code page
    // of two bytes a character: every control byte is a character of its own.
    const char placeholder = ControlPlaceholder();
    std::string out;
    out.reserve(Bytes.size() + Bytes.size() / 16);
    for (std::size_t i = 0; i < Bytes.size(); ++i) {
        const char c = Bytes[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < Bytes.size() && Bytes[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F) {
            out += placeholder;
        } else {
            out += c;
        }
    }
    return out;
}

std::string ReadPreview(HANDLE File, uint64_t FileSize)
{
    // One byte more than is shown tells whether the limit falls inside a character.
    const std::size_t wanted = static_cast<std::size_t>(std::min<uint64_t>(FileSize, PreviewLimit + 1));
    const auto bytes = std::make_unique_for_overwrite<char[]>(wanted);
    std::size_t done = 0;
    while (done < wanted) {
        DWORD got = 0;
        if (!::ReadFile(File, bytes.get() + done, static_cast<DWORD>(wanted - done), &got, nullptr))
            throw std::runtime_error("Cannot read the cached file");
        if (got == 0)
            break;
        done += got;
    }
    const std::string_view read(bytes.get(), done);
    const std::size_t shown = TAnsiCodePage::Current().CutLength(read, PreviewLimit);
    std::string text = PreviewText(read.substr(0, shown));
    if (shown < FileSize) {
        if (!text.empty() && !text.ends_with("\r\n"))
            text += "\r\n";
        text += "[The first " + std::to_string(shown) + " of " + std::to_string(FileSize) + " bytes are shown.]";
    }
    return text;
}

std::wstring AnsiToWide(std::string_view Text)
{
    if (Text.empty())
        return {};
    int n = ::MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), wide.data(), n);
    return wide;
}

void TfrmMorvane::CacheListViewChange(TListView&, int, UINT)
{
    // Every notification alike: only the current selection counts.
    if (CacheListView.ItemCount() == 0)
        return;
    int index = CacheListView.SelectedIndex();
    if (index < 0)
        return;
    const std::string url(CacheListView.Caption(static_cast<size_t>(index)));
    if (IECache1.GetEntryInfo(url) != 0) {
        // The entry has left the cache: nothing of another entry is shown.
        HeaderMemo.Clear();
        HeaderMemo.Show();
        SetFileInformation(nullptr);
        return;
    }
    if (PreviewOn())
        UpdatePreview(IECache1.EntryInfo().LocalFileName);
    SetFileInformation(&IECache1.EntryInfo());
}

void TfrmMorvane::UpdatePreview(const std::string& LocalFileName)
{
    // Without a browser control (none on this machine) pages and images show
    // the blank preview area, and nothing is reported.
    const bool browser = WebBrowser1.Browser() != nullptr;
    if (PreviewsInBrowser(LocalFileName)) {
        // Nothing of an earlier entry stays in the hidden text view.
        HeaderMemo.Clear();
        if (browser) {
            // Failures here go to the application's error box.
            WebBrowser1.Navigate(AnsiToWide(LocalFileName));
            WebBrowser1.SetVisible(true);
        }
        HeaderMemo.Hide();
        return;
    }
    try {
        if (browser)
            WebBrowser1.SetVisible(false);
        HeaderMemo.Show();
        TFileHandle file(::CreateFileA(LocalFileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        LARGE_INTEGER size{};
        if (!file || !::GetFileSizeEx(file.Get(), &size))
            throw std::runtime_error("Cannot read " + LocalFileName);
        const std::string text = ReadPreview(file.Get(), static_cast<uint64_t>(size.QuadPart));
        // Filling the text view is what costs the most, and one selection
        // brings several notifications: a view that shows the text already
        // keeps it.
        if (HeaderMemo.Text() != text)
            HeaderMemo.SetText(text);
    } catch (const std::exception&) {
        HeaderMemo.Clear();
        HeaderMemo.Show();
    }
}

void TfrmMorvane::SetFileInformation(const TEntryInfo* Entry)
{
    Label1.SetCaption("Hitrate: " + (Entry ? UnsignedText(Entry->HitRate) : std::string()));
    Label2.SetCaption("FileSize: " + (Entry ? UnsignedText(Entry->Size) : std::string()));
    Label3.SetCaption("Last access: " + (Entry ? DateTimeText(Entry->LastAccessTime) : std::string()));
    Label4.SetCaption("Last modified: " + (Entry ? DateTimeText(Entry->LastModifiedTime) : std::string()));
    Label5.SetCaption("Expire: " + (Entry ? DateTimeText(Entry->ExpireTime) : std::string()));
}
