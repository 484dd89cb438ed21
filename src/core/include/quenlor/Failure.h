// Why a row's conversion failed, and the sentence the window's tip and the command line show.
#pragma once

namespace quenlor {

enum class Failure {
    None,
    SourceMissing,      // the projector is not there (or is hidden, a system file, a folder)
    SourceUnreadable,   // it could not be opened or read to the end
    NotProjector,       // no movie where a projector keeps it
    TargetIsSource,     // the movie's name is the projector's own
    SaveDirUnwritable,  // no file could be created in the save directory
    DiskFull,           // the disk filled up while the movie was written
    WriteFailed,        // writing the movie failed for another reason
    TargetNotReplaced,  // an earlier file of the movie's name could not be replaced
    FolderNotDurable,   // the movie has its name, but the folder could not be synced to disk
    ElfDamaged,         // a Linux projector's ELF headers point outside the file
    ElfNoMovie,         // nothing, or no marker, behind the ELF image
    ElfLengthMismatch,  // the movie length behind the ELF image does not reach the file's end
    ElfNotMovie,        // what follows the ELF image is no movie
    AppNoMovie,         // an .app folder without Contents/Resources/movie.swf
    AppNotMovie,        // an .app folder whose movie.swf is no movie
};

// The reason in Chinese, as the person reads it; empty for None.
const wchar_t* FailureText(Failure failure);

}  // namespace quenlor
