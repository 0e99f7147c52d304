// The default file system where there is no Windows (the native fuzzing
// build): no executable name, so the storage has no file to read or write.
#include "settings/SettingsFileSystem.h"

namespace {

class TNoSettingsFileSystem : public TSettingsFileSystem {
public:
    std::string ModuleFileName() override { return {}; }
    TAttributes Attributes(const std::string&) override { return {}; }
    std::optional<std::string> ReadWholeFile(const std::string&) override { return std::nullopt; }
    TWriteResult WriteNewFile(const std::string&, std::string_view) override { return TWriteResult::NotCreated; }
    bool OverwriteFile(const std::string&, std::string_view) override { return false; }
    bool CreateFolder(const std::string&) override { return false; }
    bool MoveReplacing(const std::string&, const std::string&) override { return false; }
    bool RemoveFile(const std::string&) override { return false; }
    unsigned long ProcessId() override { return 0; }
};

} // namespace

TSettingsFileSystem& DefaultSettingsFileSystem()
{
    static TNoSettingsFileSystem fileSystem;
    return fileSystem;
}
