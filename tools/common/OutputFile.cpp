#include "tools/common/OutputFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quaverline
{

namespace
{
// The temporary file is the target's name with this after it.
constexpr const char* temporarySuffix = ".XXXXXX";
constexpr std::size_t temporarySuffixLength = 7;

std::string folderOf (const std::string& path)
{
    const auto slash = path.find_last_of ('/');

    if (slash == std::string::npos)
        return ".";

    return slash == 0 ? "/" : path.substr (0, slash);
}

std::string absolutePath (const std::string& path)
{
    if (! path.empty() && path.front() == '/')
        return path;

    std::vector<char> here (PATH_MAX);
    return getcwd (here.data(), here.size()) != nullptr ? std::string (here.data()) + "/" + path : path;
}

const char* kindOf (mode_t mode)
{
    if (S_ISDIR (mode))
        return "a folder";

    if (S_ISCHR (mode) || S_ISBLK (mode))
        return "a device";

    if (S_ISFIFO (mode))
        return "a pipe";

    if (S_ISSOCK (mode))
        return "a socket";

    return "not a regular file";
}

/** The path with every link followed and "." and ".." taken out, as far as
    it exists; the missing rest is appended as it is named.
*/
std::string resolvedPath (const std::string& path)
{
    std::vector<char> resolved (PATH_MAX);

    if (realpath (path.c_str(), resolved.data()) != nullptr)
        return resolved.data();

    const auto folder = folderOf (path);

    if (folder == path || path.empty())
        return path;

    const auto name = path.substr (path.find_last_of ('/') + 1);
    const auto base = resolvedPath (folder);

    if (name.empty() || name == ".")
        return base;

    if (name == "..")
        return folderOf (base);

    return (base == "/" ? "" : base) + "/" + name;
}

/** Whether a file can be made in a folder: tried with a file that is removed at once. */
bool canMakeFileIn (const std::string& folder)
{
    std::string probe = folder + "/.quaverline-probe-XXXXXX";
    const auto descriptor = mkstemp (probe.data());

    if (descriptor < 0)
        return false;

    close (descriptor);
    unlink (probe.c_str());
    return true;
}

/** Checks the folder a new file goes in: the nearest folder that exists must
    take new files, and what is missing must be makeable.
*/
std::string checkFolder (const std::string& given, const std::string& folder)
{
    std::string existing = folder;
    struct stat info
    {
    };

    while (stat (existing.c_str(), &info) != 0)
    {
        if (errno != ENOENT)
            return "cannot reach " + existing + " for " + given + ": " + std::strerror (errno);

        const auto name = existing.substr (existing.find_last_of ('/') + 1);

        if (name.size() > NAME_MAX)
            return "a folder name in " + given + " is too long";

        existing = folderOf (existing);
    }

    if (! S_ISDIR (info.st_mode))
        return existing + " is not a folder, so " + given + " cannot be made";

    if (! canMakeFileIn (existing))
        return "cannot write " + given + ": no new files can be made in " + existing;

    return {};
}
} // namespace

CheckedOutputPath checkOutputPath (const std::string& given)
{
    const auto fail = [] (std::string message) { return CheckedOutputPath { std::nullopt, std::move (message) }; };

    if (given.empty())
        return fail ("an output needs a file name");

    auto path = absolutePath (given);

    if (path.size() + temporarySuffixLength >= PATH_MAX || path.back() == '/')
        return fail (given + " is not a usable file name");

    struct stat info
    {
    };

    if (lstat (path.c_str(), &info) == 0)
    {
        // A link is written through, to the file it names, and stays a link.
        if (S_ISLNK (info.st_mode))
        {
            std::vector<char> resolved (PATH_MAX);

            if (realpath (path.c_str(), resolved.data()) == nullptr || stat (resolved.data(), &info) != 0)
                return fail (given + " is a link to nothing; it is left as it is");

            path = resolved.data();
        }

        if (! S_ISREG (info.st_mode))
            return fail (given + " is " + kindOf (info.st_mode) + ", not a file; it is left as it is");
    }
    else if (errno != ENOENT)
    {
        return fail ("cannot reach " + given + ": " + std::strerror (errno));
    }

    if (path.substr (path.find_last_of ('/') + 1).size() + temporarySuffixLength > NAME_MAX)
        return fail (given + ": the file name is too long");

    if (auto error = checkFolder (given, folderOf (path)); ! error.empty())
        return fail (std::move (error));

    return { path, {} };
}

bool nameTheSameFile (const std::string& first, const std::string& second)
{
    struct stat firstInfo
    {
    };
    struct stat secondInfo
    {
    };

    if (stat (first.c_str(), &firstInfo) == 0 && stat (second.c_str(), &secondInfo) == 0)
        return firstInfo.st_dev == secondInfo.st_dev && firstInfo.st_ino == secondInfo.st_ino;

    return resolvedPath (absolutePath (first)) == resolvedPath (absolutePath (second));
}

std::string findOverwrite (const std::vector<NamedFile>& outputs, const std::vector<NamedFile>& inputs)
{
    for (std::size_t i = 0; i < outputs.size(); ++i)
    {
        for (std::size_t k = i + 1; k < outputs.size(); ++k)
            if (nameTheSameFile (outputs[i].path, outputs[k].path))
                return outputs[i].what + " and " + outputs[k].what + " name the same file";

        for (const auto& input : inputs)
            if (nameTheSameFile (outputs[i].path, input.path))
                return outputs[i].what + " names the same file as " + input.what + " (\"" + input.path +
                       "\"); an output may not be written over an input";
    }

    return {};
}

PendingOutputFile::PendingOutputFile (std::string targetPath)
    : target (std::move (targetPath))
{
    // The missing folders, from the outermost in.
    const auto folder = folderOf (target);

    for (std::size_t slash = folder.find ('/', 1);; slash = folder.find ('/', slash + 1))
    {
        const auto part = folder.substr (0, slash);

        if (mkdir (part.c_str(), 0777) != 0 && errno != EEXIST)
            return;

        if (slash == std::string::npos)
            break;
    }

    std::string name = target + temporarySuffix;
    const auto descriptor = mkstemp (name.data());

    if (descriptor < 0)
        return;

    // The file keeps the mode of the one it replaces; a new one gets the
    // mode a new file gets.
    struct stat existing
    {
    };
    const auto mask = umask (0);
    umask (mask);
    const auto mode = stat (target.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0666 & ~mask;
    fchmod (descriptor, mode);
    close (descriptor);
    temporary = name;
}

PendingOutputFile::~PendingOutputFile()
{
    if (! temporary.empty())
        unlink (temporary.c_str());
}

bool PendingOutputFile::commit()
{
    if (temporary.empty() || rename (temporary.c_str(), target.c_str()) != 0)
        return false;

    temporary.clear();
    return true;
}

} // namespace quaverline
