// quenlor-cli: the folder search and the convert batch of the window, for scripts.
//   quenlor-cli scan [--any-version] DIR
//   quenlor-cli convert [-o DIR] [--delete-source] [--any-version] [--record CSV] FILE...
//   quenlor-cli info [--any-version] PATH...
//   quenlor-cli --version
// Exit status: 0 all done; 1 a file failed, a source could not be deleted or the record could not
// be written; 2 a usage error or a folder to scan that cannot be read.
#include <string>
#include <vector>

#include "cli/CliHost.h"
#include "quenlor/CommandLine.h"
#include "cli/Info.h"
#include "quenlor/Converter.h"
#include "quenlor/FileSystem.h"
#include "quenlor/Record.h"
#include "quenlor/Search.h"
#include "quenlor/Sha256.h"
#include "quenlor/Text.h"
#include "quenlor/Version.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

using namespace quenlor;
using namespace quenlor::cli;

namespace {

constexpr int kSuccess = 0;
constexpr int kUsageError = 2;

int Usage() {
    WriteErr(
        L"usage: quenlor-cli scan [--any-version] DIR\n"
        L"       quenlor-cli convert [-o DIR] [--delete-source] [--any-version] [--record CSV]\n"
        L"                           FILE...\n"
        L"       quenlor-cli info [--any-version] PATH...\n"
        L"       quenlor-cli --version\n"
        L"\n"
        L"scan     lists the projectors found in DIR and below, one path a line\n"
        L"convert  writes each FILE's movie as a .swf file beside it, or into DIR with -o;\n"
        L"         --delete-source deletes a projector once its movie is completely written.\n"
        L"         One line a file: source, result, version, size, output (tab-separated).\n"
        L"info     what the movie of each projector or .swf file is, one line a file: path,\n"
        L"         type, version, width, height, frame rate, frames, AS3 or AS1/2, and ok or\n"
        L"         why the movie is not whole (tab-separated)\n"
        L"--any-version  also projectors of later players (Flash 6 and up, compressed movies),\n"
        L"               found by the trailer behind their movie, Linux projectors (files\n"
        L"               without extension) and Mac ones (NAME.app folders)\n"
        L"--record CSV   writes a record of the run: one row a file with its result, sizes,\n"
        L"               output, the SHA-256 of the written movie and what the movie is\n"
        L"               (UTF-8 CSV)\n"
        L"\n"
        L"exit status: 0 all done; 1 a file failed or could not be read, a source could\n"
        L"             not be deleted or the record could not be written;\n"
        L"             2 a usage error or a folder to scan that cannot be read.\n");
    return kUsageError;
}

int Scan(const std::vector<std::wstring>& args) {
    // A directory named like the option is spelled ./--any-version.
    bool any_version = false;
    std::vector<std::wstring> dirs;
    for (const std::wstring& arg : args) {
        if (arg == L"--any-version") {
            any_version = true;
        } else {
            dirs.push_back(arg);
        }
    }
    if (dirs.size() != 1 || dirs[0].empty()) return Usage();
    FileSystem& fs = NativeFileSystem();
    CliFileList list;
    list.onAdd = [](const std::wstring& path) { WriteOut(path + L"\n"); };
    CliStatusLine status;
    CliPump pump;
    const std::wstring start = fs.DirectoryPath(fs.Absolute(dirs[0]));
    // The search itself passes over what it cannot read; a start folder that is not there is a
    // mistake in the command, not an empty folder.
    if (!fs.Enumerate(start, L"*.*")) {
        WriteErr(L"quenlor-cli: cannot read the folder " + dirs[0] + L"\n");
        return kUsageError;
    }
    Search search(fs, list, status, pump);
    search.AnyVersion = any_version;
    search.StartSearch(start);
    WriteErr(status.last + L"\n");
    return kSuccess;
}

bool WriteRecordFile(FileSystem& fs, const std::wstring& path, const std::vector<RecordRow>& rows) {
    switch (WriteRecord(fs, path, rows)) {
        case RecordResult::Written:
            return true;
        case RecordResult::WouldReplaceFile:
            WriteErr(L"quenlor-cli: the record was not written: " + path +
                     L" would replace a projector or a movie of this run\n");
            return false;
        case RecordResult::Failed:
            break;
    }
    WriteErr(L"quenlor-cli: cannot write the record " + path + L"\n");
    return false;
}

int Convert(const std::vector<std::wstring>& args) {
    FileSystem& fs = NativeFileSystem();
    CliFileList list;
    CliStatusLine status;
    CliPump pump;
    CliConvertPanel panel;
    bool any_version = false;
    std::wstring record;
    bool options_done = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (!options_done && arg == L"--") {
            options_done = true;
        } else if (!options_done && arg == L"-o") {
            if (++i >= args.size() || args[i].empty()) return Usage();
            panel.autoSave = false;
            panel.saveDir = fs.Absolute(args[i]);
        } else if (!options_done && arg == L"--delete-source") {
            panel.deleteSource = true;
        } else if (!options_done && arg == L"--any-version") {
            any_version = true;
        } else if (!options_done && arg == L"--record") {
            if (++i >= args.size() || args[i].empty()) return Usage();
            record = fs.Absolute(args[i]);
        } else if (!options_done && arg.size() > 1 && arg[0] == L'-') {
            return Usage();
        } else if (arg.empty()) {
            return Usage();
        } else {
            // "Game.app/" as a shell completes a folder: the row names the folder itself.
            std::wstring path = fs.Absolute(arg);
            while (path.size() > 1 && path.back() == fs.Separator()) path.pop_back();
            list.AddRow(path);
        }
    }
    if (list.RowCount() == 0) return Usage();

    Converter converter(fs, list, status, pump, panel);
    converter.AnyVersion = any_version;
    if (!record.empty()) converter.NewDigest = &NativeSha256;
    converter.Command7_Click();

    for (int row = 1; row <= list.RowCount(); ++row) {
        const Row& r = list.At(row);
        const bool ok = r.cells[static_cast<int>(Column::Result)] == L"成功";
        std::wstring line = r.cells[0] + L"\t" + (ok ? L"成功" : L"失败") + L"\t";
        if (ok) {
            line += r.cells[static_cast<int>(Column::Version)] + L"\t" +
                    r.cells[static_cast<int>(Column::Size)] + L"\t" +
                    r.cells[static_cast<int>(Column::SaveDir)];
            // Written as stored all the same: it is what the projector holds.
            if (!r.facts.problem.empty())
                WriteErr(r.cells[0] + L": 警告：" + r.facts.problem + L"\n");
        } else {
            line += L"\t\t";
            // The columns stay as they are for scripts; the reason goes to the person.
            WriteErr(r.cells[0] + L": " + (r.reason.empty() ? L"失败" : r.reason) + L"\n");
        }
        WriteOut(line + L"\n");
    }
    WriteErr(status.last + L"\n");
    bool record_written = true;
    if (!record.empty()) {
        for (const RecordRow& row : converter.Record) {
            if (row.succeeded && row.sha256.empty())
                WriteErr(L"quenlor-cli: warning: " + row.output + L": " + row.reason + L"\n");
        }
        // After the batch, whatever happens to the record: the movies stay written.
        record_written = WriteRecordFile(fs, record, converter.Record);
    }
    return ConvertExitStatus(list, panel, record_written);
}

int Run(const std::vector<std::wstring>& args) {
    if (args.empty()) return Usage();
    const std::vector<std::wstring> rest(args.begin() + 1, args.end());
    if (args[0] == L"scan") return Scan(rest);
    if (args[0] == L"convert") return Convert(rest);
    if (args[0] == L"info") {
        const int status = Info(rest, kUsageError);
        return status == kUsageError ? Usage() : status;
    }
    if (args[0] == L"--version" && rest.empty()) {
        WriteOut(L"quenlor-cli " QUENLOR_VERSION L"\n");
        return kSuccess;
    }
    return Usage();
}

}  // namespace

#ifdef _WIN32
int wmain(int, wchar_t**) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // The runtime's argv reads `"D:\My Games\"` as a quote: the paths are split our own way.
    std::vector<std::wstring> args = SplitCommandLine(GetCommandLineW());
    if (!args.empty()) args.erase(args.begin());
    return Run(args);
}
#else
int main(int argc, char** argv) {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) args.push_back(FromUtf8(argv[i]));
    return Run(args);
}
#endif
