#include "quenlor/Failure.h"

namespace quenlor {

const wchar_t* FailureText(Failure failure) {
    switch (failure) {
        case Failure::None:
            return L"";
        case Failure::SourceMissing:
            return L"找不到源文件";
        case Failure::SourceUnreadable:
            return L"无法读取源文件";
        case Failure::NotProjector:
            return L"不是可识别的放映器";
        case Failure::TargetIsSource:
            return L"目标文件就是源文件";
        case Failure::SaveDirUnwritable:
            return L"无法写入保存目录";
        case Failure::DiskFull:
            return L"磁盘空间不足";
        case Failure::WriteFailed:
            return L"写入影片失败";
        case Failure::TargetNotReplaced:
            return L"无法替换已有的同名文件";
        case Failure::FolderNotDurable:
            return L"无法将保存目录同步到磁盘";
        case Failure::ElfDamaged:
            return L"不是可识别的放映器：ELF文件不完整或已损坏";
        case Failure::ElfNoMovie:
            return L"不是可识别的放映器：ELF文件末尾没有影片";
        case Failure::ElfLengthMismatch:
            return L"不是可识别的放映器：ELF文件末尾的影片长度与文件不符";
        case Failure::ElfNotMovie:
            return L"不是可识别的放映器：ELF文件末尾的数据不是影片";
        case Failure::AppNoMovie:
            return L"不是可识别的放映器：应用程序包中没有 Contents/Resources/movie.swf";
        case Failure::AppNotMovie:
            return L"不是可识别的放映器：应用程序包中的 movie.swf 不是影片";
    }
    return L"";
}

}  // namespace quenlor
