// Display scaling: the control tables give sizes at 96 DPI, and these rules
// turn them into the pixels of a window at any DPI. Plain C++, so the whole
// layout of both windows can be checked without a window system.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vt::dpi {

inline constexpr int kBaseDpi = 96;
// The scales a display can have, 50 % to 1000 %; a DPI outside them did not
// come from a display.
inline constexpr int kLowestDpi = 48;
inline constexpr int kHighestDpi = 960;

// v * dpi / 96, halves away from zero.
int Scale(int v, int dpi);

// A rectangle scales by its edges, so controls that meet at 96 DPI meet at
// every DPI (their widths may differ from a scaled width by a pixel).
Rect ScaleRect(Rect r, int dpi);

// The height argument of CreateFont for a font of this many points.
int FontHeight(double points, int dpi);

// The notification area's icon size when the system cannot say.
int SmallIconSize(int dpi);

// Every picture exists at 100, 125, 150, 175 and 200 %, as resources
// base + 100 * step. The one to load for a DPI is the exact version, else the
// nearest larger one scaled down; when that is missing, the nearest one that
// exists. 0 when none does.
inline constexpr int kPictureSteps = 5;
int PictureStepDpi(int step);
int PictureStepFor(int dpi);
int PictureId(int base, int step);
int PictureVersion(int base, int dpi, const std::function<bool(int id)>& exists);

// Where a control sits at a DPI: its rectangle in physical pixels relative to
// the window that really holds it (the form or a picture box; tab controls
// and frames only draw behind what they hold), and its font.
struct ControlLayout {
    int id = 0;
    ControlKind kind = ControlKind::Timer;
    Rect rect;           // lines: the two end points (x1, y1, x2, y2)
    int windowHeight = 0;  // combo boxes: the height with the list open
    std::string fontFace;
    double fontPoints = 0;
    int fontHeight = 0;
};

struct ScaledLayout {
    int dpi = kBaseDpi;
    int clientWidth = 0, clientHeight = 0;
    std::vector<ControlLayout> controls;  // in creation order
    const ControlLayout* Find(int id) const;
};

ScaledLayout LayoutAt(const FormDef& def, int dpi);

// One control's rectangle from the table's units (relative to its container)
// in physical pixels relative to its real parent; what SetBounds maps.
Rect PhysicalRect(const FormDef& def, int id, Rect rect, int dpi);

}  // namespace vt::dpi
