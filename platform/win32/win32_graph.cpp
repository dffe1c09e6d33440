// Graphs: a window class of our own that draws values over time, painted
// whole into a buffer at the form's DPI: the window colour inside a thin
// frame, the values as a line per joined run, the level as a dashed red line,
// the marks as red ticks on the bottom edge, and the focus rectangle once the
// keyboard is used. No text is drawn: the caption is for screen readers.
#include "platform/win32/win32_internal.h"

#include <algorithm>
#include <vector>

#include "platform/dpi.h"
#include "platform/form_rules.h"

namespace vt::win32 {
namespace {

constexpr Color kValuesBlue = 0x00C07000;  // RGB(0, 112, 192)
constexpr Color kFrameGrey = SysColor(16);  // COLOR_BTNSHADOW

unique_hpen Pen(int width, COLORREF color, DWORD caps) {
    const LOGBRUSH brush{BS_SOLID, color, 0};
    return unique_hpen(
        ExtCreatePen(PS_GEOMETRIC | PS_SOLID | caps | PS_JOIN_ROUND, static_cast<DWORD>(width), &brush, 0, nullptr));
}

}  // namespace

void Win32Form::SetGraph(int id, const GraphData& data) {
    Control& c = At(id);
    if (c.def.kind != ControlKind::Graph) Raise(kInvalidCall);
    if (c.graph == data) return;
    c.graph = data;
    // Drawn when it next shows: a graph on a page not shown costs nothing.
    InvalidateRect(c.hwnd, nullptr, FALSE);
}

void Win32Form::PaintGraph(const Control& graph, HDC target) {
    RECT client;
    GetClientRect(graph.hwnd, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    unique_hdc dc(CreateCompatibleDC(target));
    unique_hbitmap buffer(CreateCompatibleBitmap(target, client.right, client.bottom));
    {
        ScopedSelect keepBuffer(dc.get(), buffer.get());
        HDC d = dc.get();
        FillRect(d, &client, BrushFor(graph.back == kDefaultColor ? kColorWindow : graph.back));
        const int thin = dpi::Scale(1, dpi_);
        const RECT edges[] = {{0, 0, client.right, thin},
                              {0, client.bottom - thin, client.right, client.bottom},
                              {0, 0, thin, client.bottom},
                              {client.right - thin, 0, client.right, client.bottom}};
        for (const RECT& edge : edges) FillRect(d, &edge, BrushFor(kFrameGrey));

        // Clear of the frame and of the focus rectangle inside it, with room
        // for half the values' pen.
        const int inset = thin + dpi::Scale(3, dpi_);
        const Rect area{inset, inset, client.right - 2 * inset, client.bottom - 2 * inset};
        const GraphPlot plot = PlotGraph(graph.graph, area);
        const COLORREF red = ToColorRef(kRed);
        if (plot.level) {
            const unique_hpen pen = Pen(thin, red, PS_ENDCAP_FLAT);
            ScopedSelect select(d, pen.get());
            const int dash = dpi::Scale(4, dpi_), step = dash + dpi::Scale(3, dpi_);
            for (int x = area.left; x < area.left + area.width; x += step) {
                MoveToEx(d, x, *plot.level, nullptr);
                LineTo(d, std::min(x + dash, area.left + area.width), *plot.level);
            }
        }
        {
            const Color values = graph.fore == kDefaultColor ? kValuesBlue : graph.fore;
            const unique_hpen pen = Pen(dpi::Scale(2, dpi_), ToColorRef(values), PS_ENDCAP_ROUND);
            ScopedSelect select(d, pen.get());
            for (const std::vector<Point>& run : plot.runs) {
                if (run.size() == 1) {
                    // A lone sample: a dot as wide as the line.
                    MoveToEx(d, run[0].x, run[0].y, nullptr);
                    LineTo(d, run[0].x + 1, run[0].y);
                    continue;
                }
                std::vector<POINT> line;
                line.reserve(run.size());
                for (const Point& p : run) line.push_back({p.x, p.y});
                Polyline(d, line.data(), static_cast<int>(line.size()));
            }
        }
        if (!plot.marks.empty()) {
            const unique_hpen pen = Pen(dpi::Scale(2, dpi_), red, PS_ENDCAP_FLAT);
            ScopedSelect select(d, pen.get());
            const int bottom = client.bottom - thin, tick = dpi::Scale(6, dpi_);
            for (int x : plot.marks) {
                MoveToEx(d, x, bottom, nullptr);
                LineTo(d, x, bottom - tick);
            }
        }
        // Only once the keyboard is used, as the graphical buttons show theirs.
        if (GetFocus() == graph.hwnd && !focusCuesHidden_) {
            RECT focus = client;
            InflateRect(&focus, -(thin + dpi::Scale(1, dpi_)), -(thin + dpi::Scale(1, dpi_)));
            DrawFocusDots(d, focus, GetSysColor(COLOR_WINDOWTEXT));
        }
        BitBlt(target, 0, 0, client.right, client.bottom, d, 0, 0, SRCCOPY);
    }
}

LRESULT CALLBACK Win32Form::GraphProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return GuardedProc([&] { return GraphMessage(hwnd, msg, wp, lp); });
}

LRESULT Win32Form::GraphMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (const Control* c = OwnClassControl(hwnd, msg, lp)) {
        switch (msg) {
            case WM_ERASEBKGND:
                return 1;
            case WM_PAINT: {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(hwnd, &ps);
                c->form->PaintGraph(*c, dc);
                EndPaint(hwnd, &ps);
                return 0;
            }
            case WM_LBUTTONDOWN:
                ::SetFocus(hwnd);
                return 0;
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
                InvalidateRect(hwnd, nullptr, FALSE);
                return 0;
            default:
                break;
        }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace vt::win32
