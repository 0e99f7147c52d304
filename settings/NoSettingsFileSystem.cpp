// The default file system where there is no Windows (the native fuzzing
// build): no executable name, so the storage has no file to read or write.
#include "settings/SettingsFileSystem.h"

namespace {

class TNoSettingsFileSystem : public TSettingsFileSystem {
public:
    std::wstring ModuleFileName() override { return {}; }
    std::wstring LocalAppDataFolder() override { return {}; }
    TAttributes Attributes(const std::wstring&) override { return {}; }
    std::optional<std::string> ReadWholeFile(const std::wstring&) override { return std::nullopt; }
    TWriteResult WriteNewFile(const std::wstring&, std::string_view) override { return TWriteResult::NotCreated; }
    bool OverwriteFile(const std::wstring&, std::string_view) override { return false; }
    bool CreateFolder(const std::wstring&) override { return false; }
    bool MoveReplacing(const std::wstring&, const std::wstring&) override { return false; }
    bool RemoveFile(const std::wstring&) override { return false; }
    unsigned long ProcessId() override { return 0; }
};

} // namespace

TSettingsFileSystem& DefaultSettingsFileSystem()
{
    static TNoSettingsFileSystem fileSystem;
    return fileSystem;
}
