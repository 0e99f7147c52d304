#include "settings/StoragePath.h"

#include "base/Text.h"

std::string NormalizeStoragePath(std::string_view Path)
{
    std::string out;
    out.reserve(Path.size());
    std::size_t pos = 0;
    while (pos <= Path.size()) {
        std::size_t end = Path.find('\\', pos);
        if (end == std::string_view::npos)
            end = Path.size();
        if (end > pos) {
            if (!out.empty())
                out.push_back('\\');
            out.append(Path.substr(pos, end - pos));
        }
        pos = end + 1;
    }
    return out;
}

std::string JoinStoragePaths(std::initializer_list<std::string_view> Pieces)
{
    std::string joined;
    for (std::string_view piece : Pieces) {
        joined.append(piece);
        joined.push_back('\\');
    }
    return NormalizeStoragePath(joined);
}

void SplitStoragePath(std::string_view Path, std::string& Section, std::string& Key)
{
    std::size_t last = Path.rfind('\\');
    if (last == std::string_view::npos) {
        Section.clear();
        Key.assign(Path);
    } else {
        Section.assign(Path.substr(0, last));
        Key.assign(Path.substr(last + 1));
    }
}

std::string ExpandFormNamePath(std::string_view Path, std::string_view FormName)
{
    std::string result(Path);
    if (!result.empty() && result.back() != '\\')
        result.push_back('\\');
    constexpr std::string_view macro = "%FORM_NAME%";
    for (std::size_t i = 0; i + macro.size() <= result.size(); ++i)
        if (SameText(std::string_view(result).substr(i, macro.size()), macro)) {
            result.replace(i, macro.size(), FormName);
            break;
        }
    return result;
}
