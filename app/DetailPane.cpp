// The detail pane: the five file-information lines and the preview of the
// selected entry's cached file.
#include "app/DetailPane.h"

#include <algorithm>
#include <stdexcept>

#include "app/DisplayText.h"
#include "app/MainForm.h"
#include "base/Handle.h"

bool PreviewsInBrowser(std::string_view LocalFileName)
{
    for (std::string_view extension : {".htm", ".html", ".gif", ".jpg"})
        if (LocalFileName.ends_with(extension))
            return true;
    return false;
}

std::string ToCrLf(std::string_view Text)
{
    std::string out;
    out.reserve(Text.size() + Text.size() / 16);
    for (size_t i = 0; i < Text.size(); ++i) {
        char c = Text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < Text.size() && Text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string ReadTextFile(const std::string& FileName)
{
    TFileHandle file(::CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        throw std::runtime_error("Cannot open " + FileName);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size))
        throw std::runtime_error("Cannot read " + FileName);
    if (static_cast<unsigned long long>(size.QuadPart) > std::string().max_size())
        throw std::length_error("File too large: " + FileName);
    std::string text(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < text.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(file.Get(), text.data() + done, chunk, &got, nullptr))
            throw std::runtime_error("Cannot read " + FileName);
        if (got == 0)
            break;
        done += got;
    }
    text.resize(done);
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
        HeaderMemo.Clear();
        if (browser)
            WebBrowser1.SetVisible(false);
        HeaderMemo.Show();
        HeaderMemo.SetText(ToCrLf(ReadTextFile(LocalFileName)));
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
