#pragma once
// The six pale tints of the stars, with one pen and one brush of each, made once for the
// whole run.

#include "platform/pixels/Gdi.h"

#include <array>

namespace oz {

constexpr int kStarTints = 6;
constexpr COLORREF kTextColor = 10734550; // RGB(214, 203, 163)
constexpr COLORREF kWhite = 16777215;

class StarPalette {
public:
    std::array<COLORREF, kStarTints> Colors{};
    std::array<HPEN, kStarTints> StarPens{};
    std::array<HBRUSH, kStarTints> StarBrushes{};

    // Fills the tints, makes their pens and brushes, and leaves the first pen and brush
    // selected in the view's device context in place of the ones it held.
    void CreateStarPalette(HDC view);
    // Deletes the pens and brushes. The view's device context holds one of each, so they
    // are first exchanged there for the stock pen and brush, or they could not be deleted.
    void DeleteStarPalette(HDC view);
};

// Scales each channel of a colour by Rate in (0, 1]. The masks come after the rounding,
// so red goes to the nearest value while green and blue lose their fraction.
COLORREF MultiplyColor(COLORREF Clr, float Rate);

} // namespace oz
