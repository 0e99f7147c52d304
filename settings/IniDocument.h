// TIniDocument: an INI document held in memory.
//
// An ordered list of sections, each an ordered list of lines; a line is
// normally key "=" value. Section names and keys are compared with ASCII
// letter case folding ('a'..'z' against 'A'..'Z'; other bytes must match
// exactly). When a name occurs more than once, the first one is the one
// that is read and written; the others are kept and saved back.
//
// Section look-up goes through a hash index, so documents with many
// thousands of sections load and answer in linear time.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/Text.h"

class TIniDocument {
public:
    TIniDocument();
    ~TIniDocument();
    TIniDocument(TIniDocument&&) noexcept;
    TIniDocument& operator=(TIniDocument&&) noexcept;
    TIniDocument(const TIniDocument&) = delete;
    TIniDocument& operator=(const TIniDocument&) = delete;

    // Replaces the whole content by the text of a file: a UTF-8 byte-order
    // mark at the start skipped (Save writes none); lines split at CR LF,
    // CR or LF, trimmed of every byte up to 32 at both ends; empty lines and
    // lines starting with ';' skipped; "[name]" starts a section; lines before
    // the first section dropped; "key = value" stored as "key=value".
    void Load(std::string_view Bytes);
    // The file text: "[name]" CR LF, the lines each ending in CR LF, and one
    // empty CR LF line after every section.
    std::string Save() const;
    void Clear();

    // The text after "key=" in the section's first line with that key, or
    // nothing when the section or the key is missing. The view is valid
    // until the document next changes.
    std::optional<std::string_view> FindValue(std::string_view Section, std::string_view Key) const;
    std::string ReadString(std::string_view Section, std::string_view Key, std::string_view Default) const;
    // Replaces the first line with that key in place, or appends one at the
    // end of the section; a missing section is appended at the end first.
    void WriteString(std::string_view Section, std::string_view Key, std::string_view Value);

    // The section holds a line with that key.
    bool ValueExists(std::string_view Section, std::string_view Key) const;
    // The section holds at least one line.
    bool SectionExists(std::string_view Section) const;
    // Removes every section whose name begins with Prefix, compared with
    // letter case; gives the number removed.
    std::size_t EraseSectionsWithPrefix(std::string_view Prefix);

    std::size_t SectionCount() const { return FSections.size(); }
    std::vector<std::string> SectionNames() const;
    // The lines of the (first) section of that name, or null when there is none.
    const std::vector<std::string>* SectionLines(std::string_view Section) const;

private:
    // Whether Line is a "key=..." line of that key (letter case ignored).
    static bool LineHasKey(std::string_view Line, std::string_view Key);

    struct TSection {
        std::string Name;
        std::vector<std::string> Lines;
    };
    struct TFoldedHash {
        std::size_t operator()(std::string_view Text) const noexcept;
    };
    struct TFoldedEqual {
        bool operator()(std::string_view A, std::string_view B) const noexcept { return SameText(A, B); }
    };

    TSection* FindSection(std::string_view Name) const;
    TSection& AddSection(std::string Name);
    void RebuildIndex();

    std::vector<std::unique_ptr<TSection>> FSections;
    // Name -> first section of that name; the keys view the sections' own names.
    std::unordered_map<std::string_view, TSection*, TFoldedHash, TFoldedEqual> FIndex;
};
