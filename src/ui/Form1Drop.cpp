// Folders and programs dropped on the main window, treated as its own commands treat them: the
// folders searched as "打开" searches a chosen folder (one clear, one final count over all), the
// programs appended as "添加" appends them (with "识别新版放映器" ticked, files without extension
// and .app folders too), everything else left out and counted.
#include "ui/DroppedFiles.h"
#include "ui/Form1.h"

namespace quenlor {

void Form1::Form_DropFiles(const std::vector<std::wstring>& names) {
    // Refused while a search or a conversion runs beneath us, and while the About window is open:
    // nothing changes.
    if (!MayStart()) return;
    const DropContents drop = SortDrop(NativeFileSystem(), names, any_version_);

    if (!drop.folders.empty()) {
        const std::wstring& first = drop.folders.front();
        // The save directory defaults to the first folder when it is in use and still empty.
        if (IsWindowEnabled(controls_.Text2) && TextOf(controls_.Text2).empty())
            SetWindowTextW(controls_.Text2, first.c_str());
        SearchFolders(drop.folders);
        if (!hwnd_ || unload_pending_) return;
    }

    {
        FileListView::RowBatch batch(list_);
        for (const std::wstring& program : drop.programs) list_.AddRow(program);
    }
    UpdateListButtons();

    if (drop.ignored > 0) {
        // After the usual text; a note of an earlier drop is replaced, not repeated.
        std::wstring text = status_;
        if (!drop_note_.empty() && text.size() >= drop_note_.size() &&
            text.compare(text.size() - drop_note_.size(), drop_note_.size(), drop_note_) == 0)
            text.erase(text.size() - drop_note_.size());
        drop_note_ = L"  已忽略" + std::to_wstring(drop.ignored) + L"个非exe文件";
        SetStatus(text + drop_note_);
    }
}

}  // namespace quenlor
