// The editor's bitmaps, drawn from the catalogue's sizes and the control table's layout.
#pragma once

#include "resources/artwork/BitmapCatalogue.h"
#include "resources/artwork/Canvas.h"

#include <functional>
#include <string>
#include <vector>

// Draws one bitmap of the catalogue; exits with a message for a name it does not know.
CK_Canvas ck_drawBitmap(const CK_BitmapInfo& bmp);

// Builds a strip of `frames` images of width x frameHeight, stacked top to bottom. `draw` paints
// frame `index` on a canvas of one frame, scaled up `supersample` times (1: drawn as is).
using CK_FrameDrawer = std::function<void(const CK_Canvas& frame, int index)>;
CK_Canvas ck_strip(int width, int frameHeight, int frames, int supersample, const CK_FrameDrawer& draw);

// The pieces, one file each.
CK_Canvas ck_drawKnob(const CK_BitmapInfo& bmp);
CK_Canvas ck_drawSwitch(const CK_BitmapInfo& bmp); // returns an empty 0x0 canvas when not a switch
CK_Canvas ck_drawMeterPart(const CK_BitmapInfo& bmp);
CK_Canvas ck_drawPanelPart(const CK_BitmapInfo& bmp);
CK_Canvas ck_drawFaceplate(const CK_BitmapInfo& bmp);

// Centre row of LED k of a vertical ladder of `count` LEDs in a frame `frameHeight` rows tall.
double ck_ladderLedY(int frameHeight, int count, int k);

// A round LED of radius r at (cx, cy); glow 0 is dark, 1 fully lit with its halo.
void ck_drawLed(const CK_Canvas& c, double cx, double cy, double r, const CK_Colour& colour, double glow);

// The anthracite plate texture over a rectangle (faceplate and panels).
void ck_drawPlate(const CK_Canvas& c, double x, double y, double w, double h, double lift);
// Captions and ranges of the views inside one container (-1: the window; else the index of a
// panel in the view list), drawn at the views' positions inside it.
void ck_drawCaptions(const CK_Canvas& c, int container);
