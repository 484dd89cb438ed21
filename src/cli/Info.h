// quenlor-cli info: what each movie is, read from projectors and .swf files.
#pragma once

#include <string>
#include <vector>

namespace quenlor::cli {

// One tab-separated line a file on standard output: path, type, version, width, height, frame
// rate, frames, "AS3" or "AS1/2", "ok" or why the movie is not whole. A file that cannot be read
// or holds no movie is named on standard error instead. 0 when every file was read, else 1;
// `usage_error` for a command that is not understood.
int Info(const std::vector<std::wstring>& args, int usage_error);

}  // namespace quenlor::cli
