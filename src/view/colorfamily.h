// The colours of the recordings shown side by side: the first keeps the user's colours, every
// other one gets the user's colours turned round the colour wheel, all four by the same angle,
// so that its temperature and humidity stay as far apart as the user's and its set values keep
// their dotted pens.
#pragma once

#include <cstdint>

// Colour crColor (0x00BBGGRR) of the user's in the family of recording nMember (0 for the
// first, which is crColor itself).
std::uint32_t FamilyColor(std::uint32_t crColor, int nMember);
