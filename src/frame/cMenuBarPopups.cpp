// The popup items of the drawn menu bar: switched to owner-drawn while their popup is shown, drawn
// in the skin's colours, and put back as they were once the menu closes.
#include <algorithm>

#include "frame/MenuText.h"
#include "frame/TranslateColor.h"
#include "frame/cMenuBar.h"
#include "win/ResourceOwners.h"
#include "win/MSubclass.h"

namespace quenlor {
namespace {

constexpr uint32_t kOleSystemColor = 0x80000000;
constexpr wchar_t kGlyphCheck[] = L"b";  // Marlett
constexpr wchar_t kGlyphRadio[] = L"h";

bool IsStringItem(UINT type) {
    return (type & (MFT_BITMAP | MFT_SEPARATOR)) == 0;
}

// Type and item data of the item at `position`; false when there is none.
bool ReadTypeAndData(HMENU popup, int position, MENUITEMINFOW& info) {
    info = MENUITEMINFOW{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    return GetMenuItemInfoW(popup, position, TRUE, &info) != FALSE;
}

int TextWidth(HDC dc, const std::wstring& text, int& height) {
    RECT rect{};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_SINGLELINE);
    height = rect.bottom - rect.top + 1;
    return rect.right - rect.left + 1;
}

}  // namespace

cMenuBar::PopupItem cMenuBar::ReadPopupItem(HMENU popup, int32_t position) {
    PopupItem item;
    item.popup = popup;
    item.position = position;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_STRING;
    if (!GetMenuItemInfoW(popup, position, TRUE, &info)) return item;
    item.type = info.fType;
    item.id = info.wID;
    item.data = info.dwItemData;
    if (IsStringItem(info.fType) && info.cch > 0) {
        // The whole text, however long: it is written back when the popup closes.
        std::wstring text(info.cch + 1, L'\0');
        info.fMask = MIIM_STRING;
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
        if (GetMenuItemInfoW(popup, position, TRUE, &info)) {
            text.resize(wcsnlen(text.c_str(), text.size()));
            item.text = std::move(text);
        }
    }
    const MenuTextParts parts = SplitMenuText(item.text);
    item.caption = parts.caption;
    item.accelerator = parts.accelerator;
    item.mnemonic = MnemonicOf(item.caption);
    return item;
}

size_t cMenuBar::FindEntry(HMENU popup, int32_t position) const {
    for (size_t c = 1; c <= items_.size(); ++c) {
        if (items_[c - 1].popup == popup && items_[c - 1].position == position) return c;
    }
    return 0;
}

const cMenuBar::PopupItem* cMenuBar::Entry(ULONG_PTR data) const {
    if (data < 1 || data > items_.size()) return nullptr;
    return &items_[data - 1];
}

void cMenuBar::PreparePopup(HMENU hPopup) {
    const bool seen =
        std::find(seenPopups_.begin(), seenPopups_.end(), hPopup) != seenPopups_.end();
    if (!seen) seenPopups_.push_back(hPopup);

    surface_.Width(1);
    surface_.Height(1);
    const HDC dc = surface_.hdc();
    const SelectScope font(dc, menuFont_.hFont());
    int widestCaption = 0, widestAccelerator = 0;

    const int count = GetMenuItemCount(hPopup);
    for (int p = 0; p < count; ++p) {
        MENUITEMINFOW now{};
        if (!ReadTypeAndData(hPopup, p, now)) continue;
        // A popup shown again keeps the entries of the items it still shows owner-drawn for us.
        size_t c = seen ? FindEntry(hPopup, p) : 0;
        if (c == 0 || (now.fType & MFT_OWNERDRAW) == 0 || now.dwItemData != c) {
            PopupItem item = ReadPopupItem(hPopup, p);
            if (c == 0) {
                items_.push_back(std::move(item));
                c = items_.size();
            } else {
                items_[c - 1] = std::move(item);
            }
            PopupItem& entry = items_[c - 1];
            if ((entry.type & MFT_OWNERDRAW) == 0) {
                MENUITEMINFOW info{};
                info.cbSize = sizeof info;
                info.fMask = MIIM_FTYPE | MIIM_DATA;
                info.fType = entry.type | MFT_OWNERDRAW;
                info.dwItemData = c;
                entry.switched = SetMenuItemInfoW(hPopup, p, TRUE, &info) != FALSE;
            }
        }
        if (dc == nullptr) continue;
        const PopupItem& entry = items_[c - 1];
        int height = 0;
        widestCaption = std::max(widestCaption, TextWidth(dc, entry.caption, height));
        // Separators and other items without text measure no line height.
        if (!entry.caption.empty()) itemTextHeight_ = height;
        if (!entry.accelerator.empty()) {
            widestAccelerator =
                std::max(widestAccelerator, TextWidth(dc, entry.accelerator, height));
            itemTextHeight_ = height;
        }
    }
    for (PopupItem& entry : items_) {
        if (entry.popup != hPopup) continue;
        entry.captionWidth = widestCaption;
        entry.acceleratorWidth = widestAccelerator;
    }
}

void cMenuBar::RestorePopups() {
    for (size_t c = 1; c <= items_.size(); ++c) {
        const PopupItem& entry = items_[c - 1];
        if (!entry.switched) continue;
        // The item carries its entry number; look for it where it was, then in the whole popup.
        auto ours = [&](int position) {
            MENUITEMINFOW now{};
            return ReadTypeAndData(entry.popup, position, now) &&
                   (now.fType & MFT_OWNERDRAW) != 0 && now.dwItemData == c;
        };
        int position = entry.position;
        if (!ours(position)) {
            const int count = GetMenuItemCount(entry.popup);
            position = -1;
            for (int p = 0; p < count && position < 0; ++p) {
                if (ours(p)) position = p;
            }
            if (position < 0) continue;  // the item or its popup is gone
        }
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
        info.fType = entry.type;
        info.wID = entry.id;
        info.dwItemData = entry.data;
        std::wstring text = entry.text;
        if (IsStringItem(entry.type)) {
            info.fMask |= MIIM_STRING;
            info.dwTypeData = text.data();
            info.cch = static_cast<UINT>(text.size());
        }
        SetMenuItemInfoW(entry.popup, position, TRUE, &info);
    }
    items_.clear();
    seenPopups_.clear();
}

LRESULT cMenuBar::MeasureItem(WPARAM wParam, LPARAM lParam) {
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (measure == nullptr || measure->CtlType != ODT_MENU) {
        return MSubclass::CallOldWindowProc(window_, WM_MEASUREITEM, wParam, lParam);
    }
    // The item's own entry; identifiers are shared (separators, submenus), so they come second.
    const PopupItem* entry = Entry(measure->itemData);
    if (entry == nullptr || (!entry->switched && entry->id != measure->itemID)) {
        entry = nullptr;
        for (const PopupItem& item : items_) {
            if (item.id == measure->itemID) {
                entry = &item;
                break;
            }
        }
    }
    if (entry == nullptr) return 0;  // not one of ours: the menu keeps its own size
    // Wide enough for both columns as DrawItem places them, so no accelerator is cut.
    int width = metrics_.captionX + entry->captionWidth + metrics_.rightMargin;
    if (entry->acceleratorWidth > 0) width += metrics_.acceleratorGap + entry->acceleratorWidth;
    measure->itemWidth = width;
    measure->itemHeight = (entry->type & MFT_SEPARATOR) != 0
                              ? metrics_.separatorHeight
                              : itemTextHeight_ + metrics_.textPadding;
    return 0;
}

LRESULT cMenuBar::DrawItem(WPARAM wParam, LPARAM lParam) {
    const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (draw == nullptr || draw->CtlType != ODT_MENU) {
        return MSubclass::CallOldWindowProc(window_, WM_DRAWITEM, wParam, lParam);
    }
    const RECT& item = draw->rcItem;
    const int w = item.right - item.left + 1, h = item.bottom - item.top + 1;
    surface_.Width(w);
    surface_.Height(h);
    const HDC dc = surface_.hdc();
    if (dc == nullptr) return 0;
    const SelectScope font(dc, menuFont_.hFont());
    RECT rc{0, 0, item.right - item.left, item.bottom - item.top};

    RECT whole{0, 0, w, h};
    const GdiHandle<HBRUSH> background(CreateSolidBrush(TranslateColor(menuBackgroundColor_)));
    FillRect(dc, &whole, background.get());
    SetBkMode(dc, TRANSPARENT);

    const PopupItem* entry = Entry(draw->itemData);
    UINT type = 0;
    if (entry != nullptr) {
        type = entry->type;
    } else {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        if (GetMenuItemInfoW(reinterpret_cast<HMENU>(draw->hwndItem), draw->itemID, FALSE, &info)) {
            type = info.fType;
        }
    }

    if ((type & MFT_SEPARATOR) != 0) {
        RECT band = rc;
        band.top = rc.top + (rc.bottom - rc.top - 2) / 2;
        band.bottom = band.top + 2;
        InflateRect(&band, -metrics_.separatorInset, 0);
        DrawEdge(dc, &band, BDR_SUNKENOUTER, BF_TOP | BF_BOTTOM);
    } else {
        const bool radio = (type & MFT_RADIOCHECK) != 0;
        const bool disabled = (draw->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
        const bool checked = (draw->itemState & ODS_CHECKED) != 0;
        const bool highlighted = (draw->itemState & ODS_SELECTED) != 0;
        SetTextColor(dc, TranslateColor(highlighted ? activeMenuColorOver_ : activeMenuColor_));
        if (checked) {
            RECT box = rc;
            InflateRect(&box, -metrics_.checkInset, -metrics_.checkInset);
            box.left += metrics_.checkShift;
            box.right = box.left + (box.bottom - box.top + 1);
            DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
            const SelectScope glyph(dc, glyphs_.get());
            DrawItemText(dc, radio ? kGlyphRadio : kGlyphCheck, box, disabled,
                         DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        if (entry != nullptr) {
            RECT text = rc;
            text.left = metrics_.captionX;
            DrawItemText(dc, entry->caption, text, disabled, DT_VCENTER | DT_SINGLELINE);
            if (!entry->accelerator.empty()) {
                text.left = metrics_.captionX + entry->captionWidth + metrics_.acceleratorGap;
                DrawItemText(dc, entry->accelerator, text, disabled, DT_VCENTER | DT_SINGLELINE);
            }
        }
        if (entry != nullptr && GetSubMenu(entry->popup, entry->position) != nullptr) {
            const int32_t right = rc.right - metrics_.arrowRight, middle = (rc.top + rc.bottom) / 2;
            if (disabled) {
                DrawArrow(dc, right + 1, middle + 1,
                          TranslateColor(kOleSystemColor | COLOR_BTNHIGHLIGHT));
            }
            DrawArrow(dc, right, middle, GetTextColor(dc));
        }
        if (highlighted && !disabled) {
            RECT frame = rc;
            InflateRect(&frame, -metrics_.highlightInset, 0);
            DrawEdge(dc, &frame, BDR_RAISEDINNER, BF_RECT);
        }
    }
    BitBlt(draw->hDC, item.left, item.top, w, h, dc, 0, 0, SRCCOPY);
    // The item is drawn whole, its submenu arrow included: the menu draws nothing more over it.
    ExcludeClipRect(draw->hDC, item.left, item.top, item.right, item.bottom);
    return 0;
}

void cMenuBar::DrawArrow(HDC hdc, int32_t right, int32_t middle, COLORREF colour) const {
    // A triangle pointing right, column by column: the tip one pixel high.
    const GdiHandle<HBRUSH> brush(CreateSolidBrush(colour));
    const int32_t size = metrics_.arrowSize;
    for (int32_t i = 0; i < size; ++i) {
        const int32_t half = size - 1 - i;
        const RECT column{right - size + i, middle - half, right - size + i + 1, middle + half + 1};
        FillRect(hdc, &column, brush.get());
    }
}

void cMenuBar::DrawItemText(HDC hdc, const std::wstring& text, RECT rect, bool disabled,
                            UINT format) const {
    if (disabled) {
        // Embossed: a highlight copy one pixel down and right under the shadow-coloured text.
        SetTextColor(hdc, TranslateColor(kOleSystemColor | COLOR_BTNHIGHLIGHT));
        OffsetRect(&rect, 1, 1);
        DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &rect, format);
        SetTextColor(hdc, TranslateColor(kOleSystemColor | COLOR_BTNSHADOW));
        OffsetRect(&rect, -1, -1);
    }
    DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

LRESULT cMenuBar::MenuCharLookup(HMENU hPopup, wchar_t character) const {
    const wchar_t wanted = UpperChar(character);
    for (const PopupItem& entry : items_) {
        if (entry.popup == hPopup && entry.mnemonic != 0 && entry.mnemonic == wanted) {
            return MAKELRESULT(entry.position, MNC_EXECUTE);
        }
    }
    return 0;
}

}  // namespace quenlor
