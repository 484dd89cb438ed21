#include "frame/StdFont.h"

#include <cmath>
#include <cwchar>

namespace quenlor {

StdFont::StdFont(const StdFont& other)
    : name_(other.name_),
      size_(other.size_),
      bold_(other.bold_),
      italic_(other.italic_),
      underline_(other.underline_),
      strikethrough_(other.strikethrough_),
      charset_(other.charset_) {}

StdFont& StdFont::operator=(const StdFont& other) {
    if (this != &other) {
        name_ = other.name_;
        size_ = other.size_;
        bold_ = other.bold_;
        italic_ = other.italic_;
        underline_ = other.underline_;
        strikethrough_ = other.strikethrough_;
        charset_ = other.charset_;
        Changed();
    }
    return *this;
}

void StdFont::Name(std::wstring name) {
    name_ = std::move(name);
    Changed();
}
void StdFont::Size(double points) {
    size_ = points;
    Changed();
}
void StdFont::Bold(bool bold) {
    bold_ = bold;
    Changed();
}
void StdFont::Italic(bool italic) {
    italic_ = italic;
    Changed();
}
void StdFont::Underline(bool underline) {
    underline_ = underline;
    Changed();
}
void StdFont::Strikethrough(bool strikethrough) {
    strikethrough_ = strikethrough;
    Changed();
}
void StdFont::Charset(BYTE charset) {
    charset_ = charset;
    Changed();
}

LOGFONTW StdFont::ToLogFont(int dpi_y) const {
    if (dpi_y <= 0) {
        WindowDC screen;
        dpi_y = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    }
    LOGFONTW font = {};
    // Whole points, halves to the even neighbour (8.5 -> 8, 9.5 -> 10).
    const int points = static_cast<int>(std::nearbyint(size_));
    font.lfHeight = -MulDiv(points, dpi_y, 72);
    font.lfWeight = bold_ ? FW_BOLD : FW_NORMAL;
    font.lfItalic = italic_ ? 1 : 0;
    font.lfUnderline = underline_ ? 1 : 0;
    font.lfStrikeOut = strikethrough_ ? 1 : 0;
    font.lfCharSet = charset_;
    // A face name longer than the field is cut (the field keeps its terminating NUL).
    wcsncpy(font.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
    return font;
}

HFONT StdFont::hFont() const {
    if (!font_) {
        const LOGFONTW description = ToLogFont();
        font_.Reset(CreateFontIndirectW(&description));
    }
    return font_.get();
}

}  // namespace quenlor
