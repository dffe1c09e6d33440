// What a screen reader hears of a control that has no caption to read, and
// of a graph: the system's own accessible object of the control, with the
// name of the control table (or its tooltip, or a graph's caption) put in,
// and a graph's role, a chart. Handed out on WM_GETOBJECT; the annotation
// service would be less code, but Wine's is a stub.
#include "platform/win32/win32_internal.h"

#include <oleacc.h>

#include <atomic>
#include <utility>

#include "platform/form_rules.h"

namespace vt::win32 {
namespace {

// The import library's IID_IAccessible resolves to a thunk, not to the GUID.
constexpr GUID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// One reference to a COM object, released with its owner.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    explicit ComRef(T* p) : p_(p) {}
    ComRef(ComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { reset(); }
    void reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    void** out() {
        reset();
        return reinterpret_cast<void**>(&p_);
    }

private:
    T* p_ = nullptr;
};

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// Everything comes from the system's object but the control's own name,
// read afresh at each request so that it follows the tooltip, and its role
// where it has one of its own (0: the system's).
class NamedAccessible final : public IAccessible {
public:
    using AllocString = decltype(&SysAllocString);
    NamedAccessible(ComRef<IAccessible> inner, HWND hwnd, AllocString allocString, LONG role)
        : inner_(std::move(inner)), hwnd_(hwnd), allocString_(allocString), role_(role) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, kIidAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return inner_->GetTypeInfoCount(n); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override {
        return inner_->GetTypeInfo(i, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT n, LCID lcid, DISPID* ids) override {
        return inner_->GetIDsOfNames(riid, names, n, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* info, UINT* arg) override {
        return inner_->Invoke(id, riid, lcid, flags, params, result, info, arg);
    }

    // The only method with work of its own: what it throws becomes the
    // error code a client of COM understands.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        try {
            if (name && IsSelf(child) && IsWindow(hwnd_)) {
                const std::string own = Win32Form::AccessibleNameOf(hwnd_);
                if (!own.empty()) {
                    *name = allocString_(Widen(own).c_str());
                    return *name ? S_OK : E_OUTOFMEMORY;
                }
            }
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
        return inner_->get_accName(child, name);
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return inner_->get_accParent(p); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) override { return inner_->get_accChildCount(n); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** p) override { return inner_->get_accChild(c, p); }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* v) override { return inner_->get_accValue(c, v); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT c, BSTR* d) override {
        return inner_->get_accDescription(c, d);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT c, VARIANT* r) override {
        if (r && IsSelf(c) && role_) {
            r->vt = VT_I4;
            r->lVal = role_;
            return S_OK;
        }
        return inner_->get_accRole(c, r);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT c, VARIANT* s) override { return inner_->get_accState(c, s); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* h) override { return inner_->get_accHelp(c, h); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT c, LONG* topic) override {
        return inner_->get_accHelpTopic(file, c, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* k) override {
        return inner_->get_accKeyboardShortcut(c, k);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* c) override { return inner_->get_accFocus(c); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* c) override { return inner_->get_accSelection(c); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT c, BSTR* a) override {
        return inner_->get_accDefaultAction(c, a);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT c) override { return inner_->accSelect(flags, c); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT c) override {
        return inner_->accLocation(x, y, w, h, c);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG dir, VARIANT start, VARIANT* end) override {
        return inner_->accNavigate(dir, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* c) override { return inner_->accHitTest(x, y, c); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT c) override { return inner_->accDoDefaultAction(c); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR n) override { return inner_->put_accName(c, n); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR v) override { return inner_->put_accValue(c, v); }

private:
    ~NamedAccessible() = default;
    std::atomic<ULONG> refs_{1};
    ComRef<IAccessible> inner_;
    HWND hwnd_;
    AllocString allocString_;
    LONG role_;
};

}  // namespace

// Loaded by name rather than imported: ole32 alone maps a dozen more
// libraries at start-up, for a service only a screen reader asks for.
struct Win32Platform::ComApartment {
    unique_hmodule ole32 = LoadSystemLibrary(L"ole32.dll");
    unique_hmodule oleaut32 = LoadSystemLibrary(L"oleaut32.dll");
    unique_hmodule oleacc = LoadSystemLibrary(L"oleacc.dll");
    decltype(&CoInitializeEx) coInitializeEx = ProcAddress<decltype(&CoInitializeEx)>(ole32, "CoInitializeEx");
    decltype(&CoUninitialize) coUninitialize = ProcAddress<decltype(&CoUninitialize)>(ole32, "CoUninitialize");
    NamedAccessible::AllocString sysAllocString =
        ProcAddress<NamedAccessible::AllocString>(oleaut32, "SysAllocString");
    decltype(&CreateStdAccessibleObject) createStdAccessibleObject =
        ProcAddress<decltype(&CreateStdAccessibleObject)>(oleacc, "CreateStdAccessibleObject");
    decltype(&LresultFromObject) lresultFromObject =
        ProcAddress<decltype(&LresultFromObject)>(oleacc, "LresultFromObject");
    bool started = false;

    bool Complete() const {
        return coInitializeEx && coUninitialize && sysAllocString && createStdAccessibleObject && lresultFromObject;
    }
};

void Win32Platform::EndComApartment::operator()(ComApartment* com) const {
    if (com->started) com->coUninitialize();
    delete com;
}

const Win32Platform::ComApartment* Win32Platform::EnsureCom() {
    if (!comTried_) {
        comTried_ = true;
        std::unique_ptr<ComApartment, EndComApartment> com(new ComApartment);
        if (com->Complete() && SUCCEEDED(com->coInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
            com->started = true;
            com_ = std::move(com);
        }
    }
    return com_.get();
}

std::string Win32Form::AccessibleNameOf(HWND control) {
    HWND root = GetAncestor(control, GA_ROOT);
    if (!root || reinterpret_cast<WNDPROC>(GetClassLongPtrW(root, GCLP_WNDPROC)) != FormProc) return {};
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(root, GWLP_USERDATA));
    const Control* c = self ? self->ControlOf(control) : nullptr;
    if (!c) return {};
    return AccessibleName(c->def, ShownText(*c), c->toolTip);
}

// Without memory for the object the system's own answers: 0.
LRESULT Win32Form::AccessibleObject(HWND hwnd, WPARAM wp, LPARAM lp) noexcept try {
    const Control* c = ControlOf(hwnd);
    const bool chart = c && c->def.kind == ControlKind::Graph;
    if (static_cast<DWORD>(lp) != static_cast<DWORD>(OBJID_CLIENT) || (!chart && AccessibleNameOf(hwnd).empty())) {
        return 0;
    }
    const auto* com = platform_.EnsureCom();
    if (!com) return 0;
    ComRef<IAccessible> standard;
    if (FAILED(com->createStdAccessibleObject(hwnd, OBJID_CLIENT, kIidAccessible, standard.out()))) return 0;
    auto* named = new NamedAccessible(std::move(standard), hwnd, com->sysAllocString, chart ? ROLE_SYSTEM_CHART : 0);
    const LRESULT result = com->lresultFromObject(kIidAccessible, wp, named);
    named->Release();
    return result > 0 ? result : 0;
} catch (...) {
    return 0;
}

}  // namespace vt::win32
