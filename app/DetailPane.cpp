// The detail pane: the five file-information lines and the preview of the
// selected entry's cached file.
#include "app/DetailPane.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "app/DisplayText.h"
#include "app/MainForm.h"
#include "base/AnsiCodePage.h"
#include "base/SystemError.h"

bool PreviewsInBrowser(std::string_view LocalFileName)
{
    for (std::string_view extension : {".htm", ".html", ".gif", ".jpg"})
        if (LocalFileName.ends_with(extension))
            return true;
    return false;
}

namespace {

// Whether a step of a path names a device, with or without an extension:
// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM and LPT with a digit (or a
// superscript 1, 2, 3). Letter case and blanks before the extension do not count.
bool IsDeviceName(std::wstring_view Step)
{
    std::wstring_view base = Step.substr(0, Step.find(L'.'));
    while (!base.empty() && base.back() == L' ')
        base.remove_suffix(1);
    std::wstring name(base);
    for (wchar_t& c : name)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    for (std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (name == device)
            return true;
    if (name.size() != 4 || (name.compare(0, 3, L"COM") != 0 && name.compare(0, 3, L"LPT") != 0))
        return false;
    const wchar_t digit = name[3];
    return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

bool IsLocalDrive(char Letter)
{
    const char root[] = {Letter, ':', '\\', '\0'};
    switch (::GetDriveTypeA(root)) {
    case DRIVE_FIXED:
    case DRIVE_REMOVABLE:
    case DRIVE_CDROM:
    case DRIVE_RAMDISK:
        return true;
    default: // a network drive, or no drive at all
        return false;
    }
}

char AsciiUpper(char C)
{
    return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C;
}

} // namespace

bool IsPlainLocalPath(const std::string& FileName)
{
    // "X:\" and a name; no other colon (that would be a stream), no control byte.
    if (FileName.size() < 4 || AsciiUpper(FileName[0]) < 'A' || AsciiUpper(FileName[0]) > 'Z' ||
        FileName[1] != ':' || FileName[2] != '\\' || FileName.find(':', 2) != std::string::npos)
        return false;
    for (char c : FileName)
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
    // Its own canonical form: no "." or ".." step, no slash, no step that ends
    // in a dot or a blank. A longer canonical form is another name as well.
    std::string full(FileName.size() + 1, '\0');
    const DWORD length = ::GetFullPathNameA(FileName.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length != FileName.size() || AsciiUpper(full[0]) != AsciiUpper(FileName[0]) ||
        full.compare(1, length - 1, FileName, 1) != 0)
        return false;
    // No step names a device. The steps are split in UTF-16: in a code page of
    // two bytes a character, a backslash byte may be the second of a character.
    const std::wstring wide = AnsiToWide(FileName);
    for (std::size_t at = 3; at <= wide.size();) {
        const std::size_t end = std::min(wide.find(L'\\', at), wide.size());
        if (IsDeviceName(std::wstring_view(wide).substr(at, end - at)))
            return false;
        at = end + 1;
    }
    return IsLocalDrive(FileName[0]);
}

TCachedFile OpenCachedFile(const std::string& FileName, uint32_t Size)
{
    TCachedFile file;
    if (!IsPlainLocalPath(FileName))
        return file;
    constexpr DWORD shared = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    file.Handle.Reset(::CreateFileA(FileName.c_str(), GENERIC_READ, shared, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file.Handle || ::GetFileType(file.Handle.Get()) != FILE_TYPE_DISK ||
        !::GetFileSizeEx(file.Handle.Get(), &size) || static_cast<uint32_t>(size.QuadPart) != Size)
        return {};
    file.Size = static_cast<uint64_t>(size.QuadPart);
    return file;
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
            ThrowLastError("Cannot read the cached file", "ReadFile");
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
        UpdatePreview(IECache1.EntryInfo());
    SetFileInformation(&IECache1.EntryInfo());
}

void TfrmMorvane::UpdatePreview(const TEntryInfo& Entry)
{
    // Without a browser control (none on this machine) pages and images show
    // the blank preview area, and nothing is reported.
    const bool browser = WebBrowser1.Browser() != nullptr;
    // Only the entry's own file: otherwise the text view shows, empty.
    TCachedFile file = OpenCachedFile(Entry.LocalFileName, Entry.Size);
    if (file && PreviewsInBrowser(Entry.LocalFileName)) {
        file = {}; // the browser view opens it itself
        // Nothing of an earlier entry stays in the hidden text view.
        HeaderMemo.Clear();
        if (browser) {
            // Failures here go to the application's error box.
            WebBrowser1.Navigate(AnsiToWide(Entry.LocalFileName));
            WebBrowser1.SetVisible(true);
        }
        HeaderMemo.Hide();
        return;
    }
    try {
        if (browser)
            WebBrowser1.SetVisible(false);
        HeaderMemo.Show();
        const std::string text = file ? ReadPreview(file.Handle.Get(), file.Size) : std::string();
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
