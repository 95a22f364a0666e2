// Windows fonts: GDI fonts drawn white on black into a scratch DIB section
// whose grey levels become the coverage laid over the destination (GDI
// leaves the alpha byte of a DIB alone, so it cannot draw there directly).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "editor/raster/raster_ops.h"
#include "editor/text/raster_font.h"
#include "editor/text/sfnt_face_info.h"
#include "editor/text/wine_detection.h"

namespace {

// Lines of up to this many UTF-8 bytes convert into a buffer on the stack
// (a byte never gives more than one UTF-16 unit); longer ones on the heap.
constexpr std::size_t kMaxStackLineBytes = 999;
constexpr int kStackLineChars = 1024;
static_assert(kMaxStackLineBytes < kStackLineChars);

// Font files are read whole; none of ours comes near this.
constexpr LONGLONG kMaxFontFileBytes = 64 * 1024 * 1024;

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A line of text as the GDI text calls take it. Under Wine pure ASCII goes
// to the narrow ("A") calls; anything else is converted to UTF-16 for the
// wide ones, malformed UTF-8 becoming replacement characters.
class GdiLine {
public:
    explicit GdiLine(std::string_view utf8) {
        if (utf8.empty() || utf8.size() > INT_MAX) return;
        if (RunningUnderWine() && IsAscii(utf8)) {
            narrow_ = utf8;
            return;
        }
        const int bytes = static_cast<int>(utf8.size());
        if (utf8.size() <= kMaxStackLineBytes) {
            wideLength_ = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, stack_.data(), kStackLineChars);
            wide_ = stack_.data();
            return;
        }
        const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, nullptr, 0);
        if (needed <= 0) return;
        heap_.resize(static_cast<std::size_t>(needed));
        wideLength_ = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, heap_.data(), needed);
        wide_ = heap_.data();
    }
    GdiLine(const GdiLine&) = delete;
    GdiLine& operator=(const GdiLine&) = delete;

    bool Empty() const { return narrow_.empty() && wideLength_ <= 0; }

    // The advance of the line in the font selected into `dc`.
    int Extent(HDC dc) const {
        SIZE size{};
        BOOL done = FALSE;
        if (!narrow_.empty()) {
            done = GetTextExtentPoint32A(dc, narrow_.data(), static_cast<int>(narrow_.size()), &size);
        } else if (wideLength_ > 0) {
            done = GetTextExtentPoint32W(dc, wide_, wideLength_, &size);
        }
        return done ? static_cast<int>(size.cx) : 0;
    }

    // Draws the line with its cell's top left corner at (x, y).
    void Draw(HDC dc, int x, int y) const {
        if (!narrow_.empty()) {
            TextOutA(dc, x, y, narrow_.data(), static_cast<int>(narrow_.size()));
        } else if (wideLength_ > 0) {
            TextOutW(dc, x, y, wide_, wideLength_);
        }
    }

private:
    std::string_view narrow_;
    std::array<wchar_t, kStackLineChars> stack_;
    std::vector<wchar_t> heap_;
    const wchar_t* wide_ = nullptr;
    int wideLength_ = 0;
};

int ClampToInt(std::int64_t value) { return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX)); }

class GdiFont final : public RasterFont {
public:
    // Takes ownership of the font, the memory DC it is selected into and,
    // when the face came from a file, the private font resource.
    GdiFont(HFONT font, HDC dc, HGDIOBJ previousFont, HANDLE memoryFont, const TEXTMETRICW& metrics)
        : font_(font), dc_(dc), previousFont_(previousFont), memoryFont_(memoryFont), metrics_(metrics) {
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, RGB(255, 255, 255));
        SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    }

    ~GdiFont() override {
        if (scratch_ != nullptr) {
            SelectObject(dc_, previousBitmap_);
            DeleteObject(scratch_);
        }
        SelectObject(dc_, previousFont_);
        DeleteDC(dc_);
        DeleteObject(font_);
        if (memoryFont_ != nullptr) RemoveFontMemResourceEx(memoryFont_);
    }

    int LineHeight() const override { return static_cast<int>(metrics_.tmHeight); }
    int Ascent() const override { return static_cast<int>(metrics_.tmAscent); }

    int MeasureLine(std::string_view utf8) const override {
        try {
            const GdiLine line(utf8);
            if (line.Empty()) return 0;
            const std::lock_guard lock(mutex_);
            return line.Extent(dc_);
        } catch (...) {
            return 0;
        }
    }

    void DrawLine(RasterBitmap& dest, std::string_view utf8, int x, int top, RasterColor colour, float alpha,
                  const RasterRect& clip) const override {
        const RasterRect area = clip.Intersection(dest.Bounds());
        if (area.Empty() || utf8.empty()) return;
        try {
            const GdiLine line(utf8);
            if (line.Empty()) return;
            const std::lock_guard lock(mutex_);
            // Only the part of the line that can reach visible pixels is drawn,
            // with a cell height of room around its advance box for ink that
            // overhangs it (italics, glyphs reaching left of the pen).
            const std::int64_t margin = metrics_.tmHeight;
            const RasterRect box{ClampToInt(x - margin), ClampToInt(top - margin),
                                 ClampToInt(std::int64_t{x} + line.Extent(dc_) + margin),
                                 ClampToInt(std::int64_t{top} + metrics_.tmHeight + margin)};
            const RasterRect region = box.Intersection(area);
            if (region.Empty() || !HoldScratch(region.Width(), region.Height())) return;

            const int width = region.Width();
            const int height = region.Height();
            for (int row = 0; row < height; ++row) {
                std::memset(scratchBits_ + static_cast<std::ptrdiff_t>(row) * scratchWidth_, 0,
                            static_cast<std::size_t>(width) * sizeof(std::uint32_t));
            }
            line.Draw(dc_, x - region.left, top - region.top);
            GdiFlush();

            mask_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
            for (int row = 0; row < height; ++row) {
                const std::uint32_t* pixels = scratchBits_ + static_cast<std::ptrdiff_t>(row) * scratchWidth_;
                std::uint8_t* coverage = mask_.data() + static_cast<std::ptrdiff_t>(row) * width;
                // White on black: any channel is the coverage; green it is.
                for (int i = 0; i < width; ++i) coverage[i] = static_cast<std::uint8_t>(pixels[i] >> 8);
            }
            RasterBlendCoverage(dest, region.left, region.top, mask_.data(), width, height, width, colour, alpha, clip);
        } catch (...) {
            // Out of memory: the line stays undrawn.
        }
    }

private:
    // Makes the scratch DIB at least width x height. Called with the lock held.
    bool HoldScratch(int width, int height) const {
        if (scratch_ != nullptr && width <= scratchWidth_ && height <= scratchHeight_) return true;
        const int newWidth = std::max(width, scratchWidth_);
        const int newHeight = std::max(height, scratchHeight_);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = newWidth;
        info.bmiHeader.biHeight = -newHeight;  // rows top down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP section = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (section == nullptr || bits == nullptr) {
            if (section != nullptr) DeleteObject(section);
            return false;
        }
        HGDIOBJ replaced = SelectObject(dc_, section);
        if (scratch_ == nullptr) {
            previousBitmap_ = replaced;
        } else {
            DeleteObject(scratch_);
        }
        scratch_ = section;
        scratchBits_ = static_cast<std::uint32_t*>(bits);
        scratchWidth_ = newWidth;
        scratchHeight_ = newHeight;
        return true;
    }

    HFONT font_;
    HDC dc_;
    HGDIOBJ previousFont_;
    HANDLE memoryFont_;
    TEXTMETRICW metrics_;
    // A device context is not safe to use from two threads at once.
    mutable std::mutex mutex_;
    mutable HBITMAP scratch_ = nullptr;
    mutable HGDIOBJ previousBitmap_ = nullptr;
    mutable std::uint32_t* scratchBits_ = nullptr;
    mutable int scratchWidth_ = 0;
    mutable int scratchHeight_ = 0;
    mutable std::vector<std::uint8_t> mask_;
};

// A GDI font of the face whose cell is `cellHeight` pixels (a positive
// height asks GDI for the cell, not the em), anti-aliased in grey. Takes
// ownership of `memoryFont`, released when the font goes or cannot be made.
std::shared_ptr<const RasterFont> MakeGdiFont(const wchar_t* faceName, int cellHeight, bool bold, bool italic,
                                              HANDLE memoryFont) {
    HFONT font = nullptr;
    HDC dc = nullptr;
    HGDIOBJ previous = nullptr;
    const auto release = [&] {
        if (dc != nullptr) {
            if (previous != nullptr) SelectObject(dc, previous);
            DeleteDC(dc);
        }
        if (font != nullptr) DeleteObject(font);
        if (memoryFont != nullptr) RemoveFontMemResourceEx(memoryFont);
        return nullptr;
    };
    if (cellHeight < kMinFontCellHeight || cellHeight > kMaxFontCellHeight) return release();
    font = CreateFontW(cellHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic ? TRUE : FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, faceName);
    if (font == nullptr) return release();
    dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return release();
    previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    if (previous == nullptr || previous == HGDI_ERROR || !GetTextMetricsW(dc, &metrics) || metrics.tmHeight <= 0) {
        return release();
    }
    try {
        return std::make_shared<GdiFont>(font, dc, previous, memoryFont, metrics);
    } catch (...) {
        return release();
    }
}

// The UTF-8 text as a NUL-terminated UTF-16 string; empty for malformed
// text or text with a NUL in it.
std::vector<wchar_t> ToWide(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > INT_MAX || utf8.find('\0') != std::string_view::npos) return {};
    const int bytes = static_cast<int>(utf8.size());
    const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), bytes, nullptr, 0);
    if (needed <= 0) return {};
    std::vector<wchar_t> wide(static_cast<std::size_t>(needed) + 1, L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), bytes, wide.data(), needed) != needed) return {};
    return wide;
}

// The whole file, or nothing when it cannot be read or is implausibly large.
std::vector<std::uint8_t> ReadWholeFile(const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::vector<std::uint8_t> bytes;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= kMaxFontFileBytes) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()) {
            bytes.clear();
        }
    }
    CloseHandle(file);
    return bytes;
}

}  // namespace

std::shared_ptr<const RasterFont> CreateSystemFont(std::string_view familyName, int cellHeight, FontStyle style) {
    if (cellHeight < kMinFontCellHeight || cellHeight > kMaxFontCellHeight) return nullptr;
    try {
        const std::vector<wchar_t> face = ToWide(familyName);
        // GDI face names hold at most LF_FACESIZE - 1 characters.
        if (face.empty() || face.size() > LF_FACESIZE) return nullptr;
        return MakeGdiFont(face.data(), cellHeight, style == FontStyle::Bold, style == FontStyle::Italic, nullptr);
    } catch (...) {
        return nullptr;
    }
}

std::shared_ptr<const RasterFont> OpenFontFile(std::string_view path, int cellHeight) {
    if (cellHeight < kMinFontCellHeight || cellHeight > kMaxFontCellHeight) return nullptr;
    try {
        const std::vector<wchar_t> widePath = ToWide(path);
        if (widePath.empty()) return nullptr;
        std::vector<std::uint8_t> bytes = ReadWholeFile(widePath.data());
        const std::optional<SfntFaceInfo> info = ReadSfntFaceInfo(bytes);
        if (!info || info->familyName.size() >= LF_FACESIZE) return nullptr;
        const std::wstring faceName(info->familyName.begin(), info->familyName.end());

        // A private copy of the face, seen only by this process.
        DWORD faces = 0;
        HANDLE memoryFont = AddFontMemResourceEx(bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &faces);
        if (memoryFont == nullptr) return nullptr;
        if (faces == 0) {
            RemoveFontMemResourceEx(memoryFont);
            return nullptr;
        }
        return MakeGdiFont(faceName.c_str(), cellHeight, info->bold, info->italic, memoryFont);
    } catch (...) {
        return nullptr;
    }
}
