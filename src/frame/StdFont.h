// StdFont: a font described by its properties (face name, size in points, weight and styles,
// character set), as the caption painter and the menu bar hold their caption, menu and glyph fonts.
// Changing a property in place takes effect at the next use: hFont() makes the GDI font for the
// screen's resolution on demand and keeps it until a property changes or the object goes.
#pragma once

#include <windows.h>

#include <string>

#include "win/ResourceOwners.h"

namespace quenlor {

class StdFont {
  public:
    StdFont() = default;
    explicit StdFont(std::wstring name, double size = 8.25) : name_(std::move(name)), size_(size) {}
    StdFont(const StdFont& other);
    StdFont& operator=(const StdFont& other);

    const std::wstring& Name() const { return name_; }
    void Name(std::wstring name);
    double Size() const { return size_; }  // points
    void Size(double points);
    bool Bold() const { return bold_; }
    void Bold(bool bold);
    bool Italic() const { return italic_; }
    void Italic(bool italic);
    bool Underline() const { return underline_; }
    void Underline(bool underline);
    bool Strikethrough() const { return strikethrough_; }
    void Strikethrough(bool strikethrough);
    BYTE Charset() const { return charset_; }
    void Charset(BYTE charset);

    // The font's description for a device of `dpi_y` dots per inch (the screen's when 0): height
    // -MulDiv(round-half-even(Size), dpi, 72), weight 700 or 400, the styles and the character set.
    LOGFONTW ToLogFont(int dpi_y = 0) const;
    // The GDI font for the screen, owned by this object (valid until a property changes).
    HFONT hFont() const;

  private:
    void Changed() { font_.Reset(); }

    std::wstring name_ = L"MS Sans Serif";
    double size_ = 8.25;
    bool bold_ = false;
    bool italic_ = false;
    bool underline_ = false;
    bool strikethrough_ = false;
    BYTE charset_ = DEFAULT_CHARSET;
    mutable GdiHandle<HFONT> font_;
};

}  // namespace quenlor
