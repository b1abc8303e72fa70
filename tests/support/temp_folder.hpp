#pragma once
// A fresh folder below the system's temporary folder, removed at the end of the test.
#include <filesystem>
#include <string>

namespace verdanel::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    // name below the folder, joined with '/' as the program joins its own paths.
    std::string file(const std::string& name) const { return str() + "/" + name; }
    // Writes a file below the folder (parents made) and returns its path.
    std::string write(const std::string& relative, const std::string& bytes) const;

private:
    std::filesystem::path path_;
};

// A staged application folder: bin/, INI/CONNECTION.INI, Database/Verdanel.mdb (empty tables).
struct TestApplication {
    TempFolder folder;
    std::string base() const { return folder.str(); }
    std::string storePath() const { return folder.file("Database/Verdanel.mdb"); }
    std::string connectionText() const;
    explicit TestApplication(bool withSamples = false);
};

}  // namespace verdanel::testing
