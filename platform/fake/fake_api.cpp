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

}  // namespace vt::fake
