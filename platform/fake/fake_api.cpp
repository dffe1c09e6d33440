#include "platform/fake/fake_api.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <utility>

namespace vt::fake {
namespace {

using namespace win32c;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

bool FakeApi::Shell_NotifyIconA(uint32_t message, const NotifyIconData& data) {
    notifications.emplace_back(message, data);
    if (shellRefuses) return false;
    const auto key = std::make_pair(data.hWnd, data.uID);
    switch (message) {
        case kNimAdd:
            if (trayIcons.count(key)) return false;
            trayIcons[key] = data;
            trayVersions.erase(key);  // every icon starts out at version 0
            return true;
        case kNimModify: {
            // As the shell does: only the fields the flags name change.
            const auto it = trayIcons.find(key);
            if (it == trayIcons.end()) return false;
            NotifyIconData& icon = it->second;
            if (data.uFlags & kNifMessage) icon.uCallbackMessage = data.uCallbackMessage;
            if (data.uFlags & kNifIcon) icon.hIcon = data.hIcon;
            if (data.uFlags & kNifTip) std::memcpy(icon.szTip, data.szTip, sizeof icon.szTip);
            return true;
        }
        case kNimDelete:
            trayVersions.erase(key);
            return trayIcons.erase(key) > 0;
        default:
            return false;
    }
}

bool FakeApi::Shell_NotifyIconW(uint32_t message, const NotifyIconInfo& data) {
    wideNotifications.emplace_back(message, data);
    const auto key = std::make_pair(data.hWnd, data.uID);
    if (shellRefuses || !trayIcons.count(key)) return false;
    switch (message) {
        case kNimSetVersion:
            // Versions above 4 are unknown to the shell.
            if (data.uVersion > 4) return false;
            trayVersions[key] = data.uVersion;
            return true;
        case kNimSetFocus:
            ++focusReturns;
            return true;
        case kNimModify:
            if (data.uFlags & kNifInfo) balloons.push_back(data);
            return true;
        default:
            return false;
    }
}

bool FakeApi::Shell_NotifyIconGetRect(uintptr_t hWnd, uint32_t uID, WinRect& rect) {
    if (!iconRectKnown || !trayIcons.count({hWnd, uID})) return false;
    rect = iconRect;
    return true;
}

uint32_t FakeApi::RegisterWindowMessageA(const char* name) {
    const std::string key = Lower(name);
    auto it = windowMessages.find(key);
    if (it == windowMessages.end()) {
        it = windowMessages.emplace(key, 0xC000u + static_cast<uint32_t>(windowMessages.size())).first;
    }
    return it->second;
}

intptr_t FakeApi::SetWindowLongPtrA(uintptr_t hwnd, int index, intptr_t value) {
    if (index != kGwlpWndProc) return 0;
    auto [it, added] = windowProcs.emplace(hwnd, kOriginalProc);
    (void)added;
    return std::exchange(it->second, value);
}

intptr_t FakeApi::CallWindowProcA(intptr_t proc, uintptr_t hwnd, uint32_t msg, uintptr_t wp, intptr_t lp) {
    if (proc == kOriginalProc) {
        passedOn.push_back({hwnd, msg, wp, lp});
        return kOriginalResult;
    }
    const auto hook = hooks_.find(proc);
    if (hook == hooks_.end()) return 0;
    return hook->second.proc(hook->second.context, hwnd, msg, wp, lp);
}

intptr_t FakeApi::WndProcAddress(uintptr_t hwnd, WndProc proc, void* context) {
    (void)hwnd;
    const auto address = static_cast<intptr_t>(next_++);
    hooks_[address] = Hook{proc, context};
    return address;
}

intptr_t FakeApi::Deliver(uintptr_t hwnd, uint32_t msg, uintptr_t wp, intptr_t lp) {
    const auto it = windowProcs.find(hwnd);
    return CallWindowProcA(it == windowProcs.end() ? kOriginalProc : it->second, hwnd, msg, wp, lp);
}

uintptr_t FakeApi::CreateRectRgn(int left, int top, int right, int bottom) {
    Pixels pixels;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) pixels.emplace(x, y);
    }
    const uintptr_t h = next_++;
    regions.emplace(h, std::move(pixels));
    ++regionsCreated;
    return h;
}

int FakeApi::CombineRgn(uintptr_t dest, uintptr_t src1, uintptr_t src2, int mode) {
    ++regionCombines;
    if (mode != kRgnDiff || !regions.count(dest) || !regions.count(src1) || !regions.count(src2)) return 0;
    Pixels result;
    std::set_difference(regions[src1].begin(), regions[src1].end(), regions[src2].begin(), regions[src2].end(),
                        std::inserter(result, result.end()));
    regions[dest] = std::move(result);
    return regions[dest].empty() ? 1 : 3;  // NULLREGION or COMPLEXREGION
}

bool FakeApi::DeleteObject(uintptr_t object) { return regions.erase(object) > 0; }

int FakeApi::SetWindowRgn(uintptr_t hwnd, uintptr_t region, bool) {
    ++setWindowRgnCalls;
    const auto it = regions.find(region);
    if (it == regions.end()) return 0;
    windowRegions[hwnd] = std::move(it->second);
    regions.erase(it);
    return 1;
}

uint32_t FakeApi::GetPixel(uintptr_t dc, int x, int y) {
    ++pixelReads;
    if (dc != kFaceDc || x < 0 || y < 0 || x >= faceWidth || y >= faceHeight) return kClrInvalid;
    if (keyPixels.count({x, y})) return keyColor;
    const auto it = otherPixels.find({x, y});
    return it == otherPixels.end() ? faceColor : it->second;
}

uintptr_t FakeApi::FindWindowA(const char* className, const char*) {
    for (const FakeWindow& w : windows) {
        if (w.parent == 0 && className && w.className == className) return w.hwnd;
    }
    return 0;
}

uintptr_t FakeApi::GetWindow(uintptr_t hwnd, uint32_t command) {
    if (command == kGwChild) {
        for (const FakeWindow& w : windows) {
            if (w.parent == hwnd && hwnd != 0) return w.hwnd;
        }
        return 0;
    }
    if (command == kGwHwndNext) {
        const auto self = std::find_if(windows.begin(), windows.end(), [&](const FakeWindow& w) { return w.hwnd == hwnd; });
        if (self == windows.end()) return 0;
        for (auto it = self + 1; it != windows.end(); ++it) {
            if (it->parent == self->parent) return it->hwnd;
        }
    }
    return 0;
}

int FakeApi::GetClassNameA(uintptr_t hwnd, char* buffer, int length) {
    for (const FakeWindow& w : windows) {
        if (w.hwnd != hwnd || length <= 0) continue;
        const int n = std::min<int>(static_cast<int>(w.className.size()), length - 1);
        std::memcpy(buffer, w.className.data(), static_cast<size_t>(n));
        buffer[n] = '\0';
        return n;
    }
    return 0;
}

bool FakeApi::GetWindowRect(uintptr_t hwnd, WinRect& rect) {
    for (const FakeWindow& w : windows) {
        if (w.hwnd == hwnd) {
            rect = w.rect;
            return true;
        }
    }
    return false;
}

}  // namespace vt::fake
