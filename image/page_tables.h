// The settings pages as data: every control in page order with its label and item list.
// The windows lay the pages out from these tables and `radio-cli show` prints them.
#pragma once

#include <string>
#include <vector>

namespace image {

enum class ControlKind { List, Edit };

struct PageControl {
    int number;          // left<n>/right<n>, gn<n>, sy<n>/sypz<n>, xp<n>
    const char* label;   // the label beside it on the page
    ControlKind kind;
    std::vector<std::string> items;  // lists only
};

// "上段设置" / "下段设置": left1..left16 or right1..right16, first group box then second.
const std::vector<PageControl>& BandControls();
constexpr int kBandFirstGroupSize = 8;

// "综合设置": gn1..gn15, left column (gn1..gn10) then right column (gn11..gn15).
const std::vector<PageControl>& GeneralControls();

// "双音频组": identity codes sypz1..sypz8 and the remote state sypz9, then sy1..sy8.
const std::vector<PageControl>& IdentityControls();  // numbers 1..9 (sypz)
const std::vector<PageControl>& DtmfControls();      // numbers 1..8 (sy)

// "限频": the two message lines (numbers 1, 2: kaiji1, kaiji2) and the limits xp1..xp5.
const std::vector<PageControl>& MessageControls();
const std::vector<PageControl>& LimitControls();

// The codes of the band pages' step list (left16, right16), item by item: the step in units
// of 10 Hz.
inline constexpr const char* kStepCodes[] = {"00FA", "01F4", "0271", "03E8", "04E2", "09C4", "1388"};

// The items of a band or general control by number (for a list); empty for an edit.
const std::vector<std::string>& BandItems(int control);
const std::vector<std::string>& GeneralItems(int control);

}  // namespace image
