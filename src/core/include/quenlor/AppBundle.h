// Mac OS X projectors: an application bundle, a folder NAME.app, whose movie is the plain file
// NAME.app/Contents/Resources/movie.swf (beside Contents/Info.plist and the player in
// Contents/MacOS).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "quenlor/FileSystem.h"

namespace quenlor {

// True when the last part of `path` ends in ".app" (in any letter case) after at least one other
// character.
bool IsAppBundleName(const std::wstring& path, wchar_t separator);

enum class AppVerdict {
    NoMovie,   // no readable Contents/Resources/movie.swf
    NotMovie,  // movie.swf does not open with a movie header
    Movie,
};

struct AppMovie {
    AppVerdict verdict = AppVerdict::NoMovie;
    std::unique_ptr<ReadableFile> file;  // movie.swf, open, when it is a movie
};

// Opens the bundle's movie and reads its first bytes; nothing else of the bundle is read.
AppMovie OpenAppMovie(FileSystem& fs, const std::wstring& bundle);

// Removes `folder` and everything in it; links inside are removed, never followed. `kept`
// receives every part that could not be removed (a folder only when nothing in it was kept).
// True when the folder is gone.
bool RemoveWholeFolder(FileSystem& fs, const std::wstring& folder, std::vector<std::wstring>& kept);

}  // namespace quenlor
