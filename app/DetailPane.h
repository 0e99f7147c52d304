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
