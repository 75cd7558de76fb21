#pragma once

#include <optional>
#include <string>

namespace quaverline
{

/** The file a path names, checked before anything is written: a link is
    followed to the file it names; what is there must be a regular file or
    nothing; the folders must be creatable where they are missing.
*/
struct CheckedOutputPath
{
    std::optional<std::string> path; // the file to write, absolute
    std::string error;               // what is wrong, when there is no path
};

CheckedOutputPath checkOutputPath (const std::string& path);

/** A temporary file beside the target (its folders made first), which
    commit() renames into place. Until then the target is untouched; a file
    that is never committed is removed.
*/
class PendingOutputFile
{
public:
    explicit PendingOutputFile (std::string targetPath);
    ~PendingOutputFile();

    PendingOutputFile (const PendingOutputFile&) = delete;
    PendingOutputFile& operator= (const PendingOutputFile&) = delete;

    /** Empty when the temporary file could not be made. */
    const std::string& temporaryPath() const noexcept { return temporary; }
    const std::string& targetPath() const noexcept { return target; }

    bool commit();

private:
    std::string target, temporary;
};

} // namespace quaverline
