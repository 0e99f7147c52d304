// Storage paths: segments separated by '\'. A path names a value; everything
// before its last '\' is the INI section, the last segment the key.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Splits at '\', drops empty segments and joins the rest with '\': doubled,
// leading and trailing separators vanish.
std::string NormalizeStoragePath(std::string_view Path);
// Joins the pieces with '\' and normalizes the result.
std::string JoinStoragePaths(std::initializer_list<std::string_view> Pieces);
// Of a normalized path: Section = the text before the last '\' (empty when
// there is none), Key = the text after it.
void SplitStoragePath(std::string_view Path, std::string& Section, std::string& Key);
// The form storage's root path as the layout gives it: '\' appended to a
// non-empty path that lacks it, then the first "%FORM_NAME%" (letter case
// ignored) replaced by FormName.
std::string ExpandFormNamePath(std::string_view Path, std::string_view FormName);
