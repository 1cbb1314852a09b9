#include "widgets/Images.h"

#include <algorithm>
#include <stdexcept>

namespace oz {

void Images::SetPictureObject(PictureBox* sheet) {
    sheet_ = sheet;
    if (sheet_ != nullptr)
        sheet_->SetScaleMode(vbPixels);
    addedCount_ = 0;
}

void Images::SetImageCount(std::int16_t ImageCount) {
    imageCount_ = ImageCount;
    // A count below zero leaves an empty table.
    table_.resize(static_cast<std::size_t>(std::max<std::int16_t>(ImageCount, 0)));
}

std::int16_t Images::AddImage(std::int32_t XPos, std::int32_t YPos, std::int32_t Width,
                              std::int32_t Height, bool HasMask) {
    const std::int16_t index = addedCount_;
    table_.at(static_cast<std::size_t>(index)) = {XPos, YPos, Width, Height, HasMask};
    ++addedCount_;
    return index;
}

void Images::DrawImage(HDC hDestDC, std::int16_t ImageIndex, std::int32_t XPos,
                       std::int32_t YPos) const {
    const ImageRecord& r = table_.at(static_cast<std::size_t>(ImageIndex));
    if (r.HasMask) {
        BitBlt(hDestDC, XPos, YPos, r.Width, r.Height, SheetDC(), r.XPos, r.YPos + r.Height,
               SRCPAINT);
        BitBlt(hDestDC, XPos, YPos, r.Width, r.Height, SheetDC(), r.XPos, r.YPos, SRCAND);
    } else {
        BitBlt(hDestDC, XPos, YPos, r.Width, r.Height, SheetDC(), r.XPos, r.YPos, SRCCOPY);
    }
}

void Images::DrawStretchImage(HDC hDestDC, std::int16_t ImageIndex, std::int32_t XPos,
                              std::int32_t YPos, std::int32_t Wid, std::int32_t Hgt) const {
    const ImageRecord& r = table_.at(static_cast<std::size_t>(ImageIndex));
    if (r.HasMask) {
        StretchBlt(hDestDC, XPos, YPos, Wid, Hgt, SheetDC(), r.XPos, r.YPos + r.Height, r.Width,
                   r.Height, SRCPAINT);
        StretchBlt(hDestDC, XPos, YPos, Wid, Hgt, SheetDC(), r.XPos, r.YPos, r.Width, r.Height,
                   SRCAND);
    } else {
        StretchBlt(hDestDC, XPos, YPos, Wid, Hgt, SheetDC(), r.XPos, r.YPos, r.Width, r.Height,
                   SRCCOPY);
    }
}

Images& SpriteImages() {
    static Images sheet;
    return sheet;
}

} // namespace oz
