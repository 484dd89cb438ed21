// Reading menu item texts: the caption and accelerator columns of a popup item ("打开\tCtrl+O"),
// and the mnemonic letter that "&" marks in a caption.
#pragma once

#include <string>

namespace quenlor {

struct MenuTextParts {
    std::wstring caption;      // the text before the first tab; the whole text without one
    std::wstring accelerator;  // the text after the first tab; empty without one
};
MenuTextParts SplitMenuText(const std::wstring& text);

// The character after the first single "&" upper-cased, or 0: none when the "&" is the last
// character; "&&" is a literal ampersand, as DrawText shows it.
wchar_t MnemonicOf(const std::wstring& caption);

// The upper-case form of one character, as the system's menus compare mnemonics.
wchar_t UpperChar(wchar_t character);

}  // namespace quenlor
