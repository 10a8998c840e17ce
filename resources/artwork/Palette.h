// The colours of the faceplate. The EQ band colours are the ones the EQ view draws its bands in.
#pragma once

#include "resources/artwork/Canvas.h"
#include "shell/EqBandColours.h"

namespace palette {

// Faceplate: anthracite, lit from above.
inline const CK_Colour kPlateTop = ck_rgb(0x34373b);
inline const CK_Colour kPlateBottom = ck_rgb(0x26282b);
inline const CK_Colour kScreen = ck_rgb(0x0c0f12);
inline const CK_Colour kScreenGrid = ck_rgb(0x5f7d96, 0.16);
inline const CK_Colour kEngraveDark = ck_rgb(0x000000, 0.55);
inline const CK_Colour kEngraveLight = ck_rgb(0xffffff, 0.07);

// Printing on the plate.
inline const CK_Colour kTitle = ck_rgb(0xc9ced4);
inline const CK_Colour kCaption = ck_rgb(0xa4abb3);
inline const CK_Colour kRange = ck_rgb(0x737b84);

// Controls.
inline const CK_Colour kCapTop = ck_rgb(0x4a4e54);
inline const CK_Colour kCapBottom = ck_rgb(0x2b2e32);
inline const CK_Colour kAccent = ck_rgb(0xf5a623); // lit value arcs and selected options
inline const CK_Colour kLedGreen = ck_rgb(0x4cde6a);
inline const CK_Colour kLedAmber = ck_rgb(0xffb13b);
inline const CK_Colour kLedRed = ck_rgb(0xff4a3d);
inline const CK_Colour kDisplayText = ck_rgb(0x75a1cc); // the global name and value displays

// EQ bands 1 to 5: red, yellow, blue, cyan, green, the colours of the EQ view's band handles.
inline const CK_Colour kEqBand[EqBandColours::kBandCount] = {
    ck_rgb(EqBandColours::kRgb[0]), ck_rgb(EqBandColours::kRgb[1]), ck_rgb(EqBandColours::kRgb[2]),
    ck_rgb(EqBandColours::kRgb[3]), ck_rgb(EqBandColours::kRgb[4])};

// Meter zones.
inline const CK_Colour kMeterSafe = ck_rgb(0x3fd46a);
inline const CK_Colour kMeterWarn = ck_rgb(0xf5c13b);
inline const CK_Colour kMeterHot = ck_rgb(0xff4338);

} // namespace palette
