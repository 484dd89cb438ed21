#include "frame/MenuText.h"

#include <windows.h>

namespace quenlor {

MenuTextParts SplitMenuText(const std::wstring& text) {
    const size_t tab = text.find(L'\t');
    if (tab == std::wstring::npos) return {text, std::wstring()};
    return {text.substr(0, tab), text.substr(tab + 1)};
}

wchar_t MnemonicOf(const std::wstring& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] != L'&') return UpperChar(caption[i + 1]);
        ++i;  // "&&" shows one ampersand and marks nothing
    }
    return 0;
}

wchar_t UpperChar(wchar_t character) {
    wchar_t buffer[1] = {character};
    CharUpperBuffW(buffer, 1);
    return buffer[0];
}

}  // namespace quenlor
