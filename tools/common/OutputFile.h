#pragma once

#include <optional>
#include <string>
#include <vector>

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

/** A file named on the command line, with the option (or the word) that
    named it: "--plot", "the recording".
*/
struct NamedFile
{
    std::string what;
    std::string path;
};

/** Whether two paths name the same file: compared as files (device and inode)
    where both exist, and by their resolved paths (links followed, "." and ".."
    taken out) where one does not.
*/
bool nameTheSameFile (const std::string& first, const std::string& second);

/** What is wrong when an output would be written over another output or an
    input (each pair compared as files); empty when nothing is.
*/
std::string findOverwrite (const std::vector<NamedFile>& outputs, const std::vector<NamedFile>& inputs);

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
