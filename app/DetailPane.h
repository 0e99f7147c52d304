// Helpers of the detail pane that need no window.
#pragma once

#include <string>
#include <string_view>

// Whether a cached file is previewed in the browser view: a page or an image
// by the final extension of its name (".htm", ".html", ".gif", ".jpg"; the
// cache's "[n]" stands before it), letter case significant.
bool PreviewsInBrowser(std::string_view LocalFileName);

// Every lone CR and every lone LF becomes CR LF.
std::string ToCrLf(std::string_view Text);

// The whole file as 8-bit text, opened for reading while others may only
// read it. Throws when it cannot be opened or read.
std::string ReadTextFile(const std::string& FileName);

// An ANSI text in UTF-16, through the system's ANSI code page.
std::wstring AnsiToWide(std::string_view Text);
