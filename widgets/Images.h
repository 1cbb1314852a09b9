#pragma once
// The sprite sheet: a table of rectangles on one picture surface, each copied onto
// another device context at its own size or stretched, either opaque or through the
// white-on-black mask that lies directly below it on the sheet. Masked pictures are
// drawn on white: the mask is ORed in first, whitening the opaque area, and the
// picture is ANDed over it, so the transparent area keeps what was there.

#include "platform/forms/Forms.h"
#include "platform/pixels/Gdi.h"

#include <cstdint>
#include <vector>

namespace oz {

class Images {
public:
    struct ImageRecord {
        std::int32_t XPos = 0;
        std::int32_t YPos = 0;
        std::int32_t Width = 0;
        std::int32_t Height = 0;
        bool HasMask = false;
    };

    // The surface that holds the sheet. Binding one switches it to pixels and
    // restarts registration at index 0; the table keeps its size and records.
    PictureBox* PictureObject() const { return sheet_; }
    void SetPictureObject(PictureBox* sheet);

    // Resizes the table to ImageCount records, keeping those that fit.
    void SetImageCount(std::int16_t ImageCount);
    std::int16_t ImageCount() const { return imageCount_; }
    std::int16_t AddedCount() const { return addedCount_; }

    // Registers the next picture and returns its index. Registering more pictures than
    // the table holds throws std::out_of_range and changes nothing.
    std::int16_t AddImage(std::int32_t XPos, std::int32_t YPos, std::int32_t Width,
                          std::int32_t Height, bool HasMask);

    // Copies picture ImageIndex with its top-left corner at (XPos, YPos) of hDestDC.
    // An index outside the table throws std::out_of_range.
    void DrawImage(HDC hDestDC, std::int16_t ImageIndex, std::int32_t XPos,
                   std::int32_t YPos) const;
    // The same, scaled to fill Wid x Hgt at (XPos, YPos); the mask scales with it.
    void DrawStretchImage(HDC hDestDC, std::int16_t ImageIndex, std::int32_t XPos,
                          std::int32_t YPos, std::int32_t Wid, std::int32_t Hgt) const;

private:
    HDC SheetDC() const { return sheet_ != nullptr ? sheet_->hDC() : nullptr; }

    std::vector<ImageRecord> table_;
    std::int16_t imageCount_ = 0;
    std::int16_t addedCount_ = 0;
    PictureBox* sheet_ = nullptr;
};

// The program's one sprite sheet, made on first use.
Images& SpriteImages();

} // namespace oz
