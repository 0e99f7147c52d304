// The characters of the ANSI code page. Where it has two bytes a character
// (932 Japanese, 936 and 950 Chinese, 949 Korean), a lead byte and the byte
// after it are one character, and that second byte may be '@', '\\', a
// letter or any other ASCII byte from 0x40 up: a text searched or cut byte by
// byte must keep to the boundaries of its characters. Where the code page has
// one byte a character, every byte is a character and nothing here costs more
// than a test of SingleByte().
#pragma once

#include <windows.h>

#include <cstddef>
#include <string_view>

class TAnsiCodePage {
public:
    // The code page of this process, read once: it stays the same for the
    // life of the process.
    static const TAnsiCodePage& Current()
    {
        static const TAnsiCodePage current;
        return current;
    }

    bool SingleByte() const { return FSingleByte; }
    bool IsLead(unsigned char Byte) const { return FLead[Byte]; }

    // The length of the longest start of Text of at most Limit bytes that
    // ends at a character boundary (a lead byte at the very end of Text is a
    // character of its own).
    std::size_t CutLength(std::string_view Text, std::size_t Limit) const
    {
        if (Text.size() <= Limit)
            return Text.size();
        if (FSingleByte)
            return Limit;
        std::size_t at = 0;
        while (at < Limit) {
            const std::size_t next = at + (FLead[static_cast<unsigned char>(Text[at])] ? 2 : 1);
            if (next > Limit)
                break;
            at = next;
        }
        return at;
    }

    // Whether the first Length bytes of Text end at a character boundary.
    bool EndsAtBoundary(std::string_view Text, std::size_t Length) const
    {
        return Length >= Text.size() || CutLength(Text, Length) == Length;
    }

private:
    TAnsiCodePage()
    {
        CPINFO info{};
        FSingleByte = !GetCPInfo(CP_ACP, &info) || info.MaxCharSize == 1;
        for (unsigned b = 0; b < 256; ++b)
            FLead[b] = !FSingleByte && IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(b));
    }

    bool FSingleByte;
    bool FLead[256];
};
