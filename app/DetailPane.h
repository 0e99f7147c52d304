// Helpers of the detail pane that need no window.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Handle.h"

// How much of a cached file the text preview shows at most.
inline constexpr std::size_t PreviewLimit = 256 * 1024;

// Whether a cached file is previewed in the browser view: a page or an image
// by the final extension of its name (".htm", ".html", ".gif", ".jpg"; the
// cache's "[n]" stands before it), letter case significant.
bool PreviewsInBrowser(std::string_view LocalFileName);

// Whether a local file name may be opened: a plain absolute path on a local
// drive, its own canonical form. Never a network, device or raw path, a
// device name (CON, NUL, COM1 ...), a "." or ".." step or a stream.
bool IsPlainLocalPath(const std::string& FileName);

// An entry's own cached file, open for reading while others may read, write
// and delete it.
struct TCachedFile {
    TFileHandle Handle;
    uint64_t Size = 0;
    explicit operator bool() const { return static_cast<bool>(Handle); }
};

// The cached file of an entry whose local file name is FileName and whose
// recorded size is Size (the low 32 bits of the file's size). Not open when
// the name may not be opened, the file cannot be opened, or its size is
// another: then the file is not the entry's own.
TCachedFile OpenCachedFile(const std::string& FileName, uint32_t Size);

// The byte that stands for a control byte in the text view: the middle dot
// where the ANSI code page has it as a character of one byte, else '.'.
char ControlPlaceholder();

// Bytes as the text view shows them: every lone CR and every lone LF becomes
// CR LF, every other control byte but tab (0x00 to 0x1F, 0x7F) the placeholder.
std::string PreviewText(std::string_view Bytes);

// The text preview of a file of FileSize bytes: its first PreviewLimit bytes
// at most, cut between two characters, and when the file holds more, a last
// line that says how much of it is shown. Throws when it cannot be read.
std::string ReadPreview(HANDLE File, uint64_t FileSize);

// An ANSI text in UTF-16, through the system's ANSI code page.
std::wstring AnsiToWide(std::string_view Text);
