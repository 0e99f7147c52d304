// Small text helpers shared by every layer. Texts are 8-bit; letter case is
// folded for the ASCII letters only, as names and keys of the program are.
#pragma once

#include <cstddef>
#include <string_view>

// 'a'..'z' as 'A'..'Z'; every other byte as it is.
constexpr unsigned char FoldAsciiCase(unsigned char C)
{
    return (C >= 'a' && C <= 'z') ? static_cast<unsigned char>(C - ('a' - 'A')) : C;
}

// Equal texts, ASCII letter case ignored.
constexpr bool SameText(std::string_view A, std::string_view B)
{
    if (A.size() != B.size())
        return false;
    for (std::size_t i = 0; i < A.size(); ++i)
        if (FoldAsciiCase(static_cast<unsigned char>(A[i])) != FoldAsciiCase(static_cast<unsigned char>(B[i])))
            return false;
    return true;
}

// Text without the blanks and control characters (every byte up to 32, NUL
// included) at either end.
constexpr std::string_view TrimBlanks(std::string_view Text)
{
    while (!Text.empty() && static_cast<unsigned char>(Text.front()) <= 32)
        Text.remove_prefix(1);
    while (!Text.empty() && static_cast<unsigned char>(Text.back()) <= 32)
        Text.remove_suffix(1);
    return Text;
}
