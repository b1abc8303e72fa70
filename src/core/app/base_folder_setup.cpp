#include "core/app/base_folder_setup.hpp"

#include <atomic>
#include <filesystem>
#include <system_error>

#include "core/app/base_folder_messages.hpp"
#include "core/common/platform.hpp"
#include "core/common/text_format.hpp"
#include "core/common/utf8_path.hpp"

namespace verdanel {

namespace fs = std::filesystem;

namespace {

// What goes wrong while a folder is made ready: the user's message, or "".
using Failure = std::string;

// Anything at all is at the path, even a broken link: it is the user's and stays.
bool present(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

// A name beside the target that no other start uses.
fs::path scratchBeside(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    // Built by appending: GCC 12 misreports `"." + std::string&&` (-Wrestrict).
    std::string name = ".";
    name += utf8FromPath(target.filename());
    name += ".new-" + std::to_string(platform::processId()) + "-" + std::to_string(counter++);
    return target.parent_path() / pathFromUtf8(name);
}

Failure writeFailure(platform::FileError err, const fs::path& base, const fs::path& what) {
    return err == platform::FileError::NoRoom ? fillMessage(msg::kBaseFolderDiskFullFormat, utf8FromPath(base))
                                              : fillMessage(msg::kBaseFolderFileNotWrittenFormat, utf8FromPath(what));
}

Failure makeFolder(const fs::path& folder, const fs::path& base) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!ec && !fs::is_directory(folder, ec)) ec = std::make_error_code(std::errc::not_a_directory);
    if (!ec) return {};
    return platform::isNoRoom(ec.value()) ? fillMessage(msg::kBaseFolderDiskFullFormat, utf8FromPath(base))
                                          : fillMessage(msg::kBaseFolderNotMadeFormat, utf8FromPath(folder));
}

// Copies source to a new file target. The copy is written and flushed under
// a scratch name and only then given the target's name, so a full disk or a
// crash never leaves half a file there; a target that appeared meanwhile
// (another start) is kept.
Failure copyNewFile(const fs::path& source, const fs::path& target, const fs::path& base) {
    const fs::path scratch = scratchBeside(target);
    platform::FileError err = platform::copyToNewFile(source, scratch);
    if (err == platform::FileError::SourceUnreadable)
        return fillMessage(msg::kSampleFileMissingFormat, utf8FromPath(source));
    if (err == platform::FileError::None) err = platform::publishWithoutReplacing(scratch, target);
    std::error_code ec;
    fs::remove(scratch, ec);
    return err == platform::FileError::None ? Failure{} : writeFailure(err, base, target);
}

Failure copyMissingFile(const fs::path& sampleFolder, const fs::path& base, const std::string& relative) {
    const fs::path target = base / relative;
    if (present(target)) return {};
    if (Failure f = makeFolder(target.parent_path(), base); !f.empty()) return f;
    return copyNewFile(sampleFolder / relative, target, base);
}

// The sample input folder's files, gathered under a scratch name and then
// renamed into place as a whole; an input folder the user already has (even
// one they emptied) is left as it is.
Failure copyMissingFolder(const fs::path& sampleFolder, const fs::path& base, const std::string& relative) {
    const fs::path target = base / relative;
    if (present(target)) return {};
    const fs::path source = sampleFolder / relative;
    std::error_code ec;
    if (!fs::is_directory(source, ec)) return fillMessage(msg::kSampleFileMissingFormat, utf8FromPath(source));
    const fs::path scratch = scratchBeside(target);
    if (const platform::FileError made = platform::makeNewFolder(scratch); made != platform::FileError::None) {
        return made == platform::FileError::NoRoom ? fillMessage(msg::kBaseFolderDiskFullFormat, utf8FromPath(base))
                                                   : fillMessage(msg::kBaseFolderNotMadeFormat, utf8FromPath(target));
    }
    Failure failure;
    for (fs::directory_iterator it(source, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file()) continue;  // follows links, as the installed samples may be
        failure = copyNewFile(it->path(), scratch / it->path().filename(), base);
        if (!failure.empty()) break;
    }
    if (failure.empty() && ec) failure = fillMessage(msg::kSampleFileMissingFormat, utf8FromPath(source));
    if (failure.empty()) {
        std::error_code renamed;
        fs::rename(scratch, target, renamed);
        if (renamed && !present(target)) failure = fillMessage(msg::kBaseFolderNotMadeFormat, utf8FromPath(target));
    }
    fs::remove_all(scratch, ec);
    return failure;
}

fs::path absoluteFolder(const std::string& named) {
    std::error_code ec;
    fs::path p = fs::absolute(pathFromUtf8(named), ec);
    if (ec) p = pathFromUtf8(named);
    p = p.lexically_normal();
    if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
    return p;
}

}  // namespace

std::string namedBaseFolder(const std::string& option, const char* variable) {
    if (!option.empty()) return option;
    if (variable && *variable) return variable;
    return {};
}

BaseFolderOutcome prepareBaseFolder(const std::string& base, const std::string& sampleFolder) {
    BaseFolderOutcome outcome;
    outcome.folder = base;
    const fs::path root = pathFromUtf8(base);
    const fs::path sample = pathFromUtf8(sampleFolder);
    Failure failure = makeFolder(root, root);
    if (failure.empty()) failure = copyMissingFile(sample, root, "INI/CONNECTION.INI");
    if (failure.empty()) failure = copyMissingFolder(sample, root, "input");
    if (failure.empty()) failure = copyMissingFile(sample, root, "Database/Verdanel.mdb");
    outcome.ok = failure.empty();
    outcome.error = failure;
    return outcome;
}

BaseFolderOutcome startBaseFolder(const std::string& option, const char* variable,
                                  const std::string& applicationFolder) {
    const std::string named = namedBaseFolder(option, variable);
    if (named.empty()) return BaseFolderOutcome{true, applicationFolder, {}};
    const fs::path folder = absoluteFolder(named);
    std::error_code ec;
    if (!applicationFolder.empty() && fs::equivalent(folder, pathFromUtf8(applicationFolder), ec))
        return BaseFolderOutcome{true, applicationFolder, {}};
    return prepareBaseFolder(utf8FromPath(folder), applicationFolder);
}

}  // namespace verdanel
