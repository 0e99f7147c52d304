#include "settings/IniDocument.h"

#include <algorithm>

#include "base/Text.h"

TIniDocument::TIniDocument() = default;
TIniDocument::~TIniDocument() = default;
TIniDocument::TIniDocument(TIniDocument&&) noexcept = default;
TIniDocument& TIniDocument::operator=(TIniDocument&&) noexcept = default;

std::size_t TIniDocument::TFoldedHash::operator()(std::string_view Text) const noexcept
{
    // FNV-1a over the folded bytes.
    std::size_t h = sizeof(std::size_t) == 8 ? static_cast<std::size_t>(14695981039346656037ull) : 2166136261u;
    const std::size_t prime = sizeof(std::size_t) == 8 ? static_cast<std::size_t>(1099511628211ull) : 16777619u;
    for (char c : Text) {
        h ^= FoldAsciiCase(static_cast<unsigned char>(c));
        h *= prime;
    }
    return h;
}

bool TIniDocument::LineHasKey(std::string_view Line, std::string_view Key)
{
    // A line's key is its text before the first '='; a key holding '=' can
    // therefore never match.
    if (Line.size() <= Key.size() || Line[Key.size()] != '=')
        return false;
    if (Key.find('=') != std::string_view::npos)
        return false;
    return SameText(Line.substr(0, Key.size()), Key);
}

void TIniDocument::Clear()
{
    FIndex.clear();
    FSections.clear();
}

TIniDocument::TSection* TIniDocument::FindSection(std::string_view Name) const
{
    auto it = FIndex.find(Name);
    return it == FIndex.end() ? nullptr : it->second;
}

TIniDocument::TSection& TIniDocument::AddSection(std::string Name)
{
    FSections.push_back(std::make_unique<TSection>());
    TSection& section = *FSections.back();
    section.Name = std::move(Name);
    FIndex.try_emplace(std::string_view(section.Name), &section);   // the first of a name stays indexed
    return section;
}

void TIniDocument::RebuildIndex()
{
    FIndex.clear();
    for (auto& section : FSections)
        FIndex.try_emplace(std::string_view(section->Name), section.get());
}

void TIniDocument::Load(std::string_view Bytes)
{
    Clear();
    // Editors may start the file with a UTF-8 byte-order mark; it is not part of the first line.
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    if (Bytes.substr(0, ByteOrderMark.size()) == ByteOrderMark)
        Bytes.remove_prefix(ByteOrderMark.size());
    TSection* current = nullptr;
    const std::size_t n = Bytes.size();
    std::size_t pos = 0;
    while (pos < n) {
        std::size_t end = pos;
        while (end < n && Bytes[end] != '\r' && Bytes[end] != '\n')
            ++end;
        std::string_view line = TrimBlanks(Bytes.substr(pos, end - pos));
        pos = end + 1;
        if (end < n && Bytes[end] == '\r' && pos < n && Bytes[pos] == '\n')
            ++pos;

        if (line.empty() || line.front() == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = &AddSection(std::string(TrimBlanks(line.substr(1, line.size() - 2))));
            continue;
        }
        if (!current)
            continue;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            current->Lines.emplace_back(line);
        } else {
            std::string_view key = TrimBlanks(line.substr(0, eq));
            std::string_view value = TrimBlanks(line.substr(eq + 1));
            std::string text;
            text.reserve(key.size() + 1 + value.size());
            text.append(key).append(1, '=').append(value);
            current->Lines.push_back(std::move(text));
        }
    }
}

std::string TIniDocument::Save() const
{
    std::size_t size = 0;
    for (const auto& section : FSections) {
        size += section->Name.size() + 6;
        for (const std::string& line : section->Lines)
            size += line.size() + 2;
    }
    std::string out;
    out.reserve(size);
    for (const auto& section : FSections) {
        out.append(1, '[').append(section->Name).append("]\r\n");
        for (const std::string& line : section->Lines)
            out.append(line).append("\r\n");
        out.append("\r\n");
    }
    return out;
}

std::optional<std::string_view> TIniDocument::FindValue(std::string_view Section, std::string_view Key) const
{
    const TSection* section = FindSection(Section);
    if (!section)
        return std::nullopt;
    for (const std::string& line : section->Lines)
        if (LineHasKey(line, Key))
            return std::string_view(line).substr(Key.size() + 1);
    return std::nullopt;
}

std::string TIniDocument::ReadString(std::string_view Section, std::string_view Key, std::string_view Default) const
{
    return std::string(FindValue(Section, Key).value_or(Default));
}

void TIniDocument::WriteString(std::string_view Section, std::string_view Key, std::string_view Value)
{
    std::string text;
    text.reserve(Key.size() + 1 + Value.size());
    text.append(Key).append(1, '=').append(Value);

    TSection* section = FindSection(Section);
    if (!section)
        section = &AddSection(std::string(Section));
    for (std::string& line : section->Lines)
        if (LineHasKey(line, Key)) {
            line = std::move(text);
            return;
        }
    section->Lines.push_back(std::move(text));
}

bool TIniDocument::ValueExists(std::string_view Section, std::string_view Key) const
{
    return FindValue(Section, Key).has_value();
}

bool TIniDocument::SectionExists(std::string_view Section) const
{
    const TSection* section = FindSection(Section);
    return section && !section->Lines.empty();
}

std::size_t TIniDocument::EraseSectionsWithPrefix(std::string_view Prefix)
{
    const std::string prefix(Prefix);   // the view may point into a section that goes
    std::size_t erased = std::erase_if(FSections, [&](const std::unique_ptr<TSection>& s) {
        return std::string_view(s->Name).substr(0, prefix.size()) == prefix;
    });
    if (erased)
        RebuildIndex();
    return erased;
}

std::vector<std::string> TIniDocument::SectionNames() const
{
    std::vector<std::string> names;
    names.reserve(FSections.size());
    for (const auto& section : FSections)
        names.push_back(section->Name);
    return names;
}

const std::vector<std::string>* TIniDocument::SectionLines(std::string_view Section) const
{
    const TSection* section = FindSection(Section);
    return section ? &section->Lines : nullptr;
}
