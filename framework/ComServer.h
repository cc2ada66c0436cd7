#pragma once
// The in-process COM server's common parts, without ATL:
// - ComModule: the count of live objects and LockServer locks that
//   DllCanUnloadNow answers from (every object calls ComModule::AddObject in
//   its constructor and ReleaseObject in its destructor);
// - ComObject<I, Iid>: the IUnknown of a small object with one interface;
// - ClassFactory<T>: the class object of a class T, starting at reference
//   count 1. A T with NonDelegatingUnknown() is aggregatable: it is built
//   with its outer unknown (null when not aggregated) and handed out through
//   that inner IUnknown. Any other T has a default constructor, its
//   QueryInterface hands out the interface and aggregation is refused;
// - type library, registry script and component category (un)registration.
// Example, in a DLL:
//   if (clsid == CLSID_Thing) return (new ClassFactory<CThing>)->QueryInterfaceAndRelease(iid, out);
#include <windows.h>
#include <ole2.h>
#include <comcat.h>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace ComModule {
void AddObject();
void ReleaseObject();
void Lock(bool lock);
bool CanUnload();
}

// A class that can be aggregated: it has a non-delegating IUnknown.
template <class T, class = void>
struct IsAggregatable : std::false_type {};
template <class T>
struct IsAggregatable<T, std::void_t<decltype(std::declval<T&>().NonDelegatingUnknown())>> : std::true_type {};

// The IUnknown of a small object of the module with one interface I (whose
// id is Iid): a live object for DllCanUnloadNow while it exists, starting at
// reference count 1 and deleted at 0. The class derives from it and
// implements I's own methods.
template <class I, const IID& Iid>
class ComObject : public I {
public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == Iid) {
      *out = static_cast<I*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
  }

protected:
  ComObject() { ComModule::AddObject(); }
  virtual ~ComObject() { ComModule::ReleaseObject(); }

private:
  LONG refs_ = 1;
};

// The standard IClassFactory of one class T. T starts with reference count 1
// and deletes itself when its count reaches 0.
template <class T>
class ClassFactory final : public ComObject<IClassFactory, IID_IClassFactory> {
public:
  // Answers the interface and drops the creator's reference.
  HRESULT QueryInterfaceAndRelease(REFIID iid, void** out) {
    HRESULT hr = QueryInterface(iid, out);
    Release();
    return hr;
  }

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if constexpr (IsAggregatable<T>::value) {
      // An aggregating object may ask only for the inner IUnknown.
      if (outer && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
      T* object = new (std::nothrow) T(outer);
      if (!object) return E_OUTOFMEMORY;
      IUnknown* inner = object->NonDelegatingUnknown();
      HRESULT hr = inner->QueryInterface(iid, out);
      inner->Release();
      return hr;
    } else {
      if (outer) return CLASS_E_NOAGGREGATION;
      T* object = new (std::nothrow) T;
      if (!object) return E_OUTOFMEMORY;
      HRESULT hr = object->QueryInterface(iid, out);
      object->Release();
      return hr;
    }
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    ComModule::Lock(lock != FALSE);
    return S_OK;
  }

private:
  ~ClassFactory() override = default;  // only Release deletes it
};

// COM initialised on the calling thread for the lifetime of the object
// (CoInitialize), undone only if this object did it. A thread already in the
// multithreaded apartment counts as initialised.
class ComApartment {
public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  HRESULT Result() const;

private:
  HRESULT hr_;
};

// Runs `call` (returning an HRESULT) at a COM boundary, where no C++
// exception may pass: std::bad_alloc becomes E_OUTOFMEMORY, anything else
// E_UNEXPECTED (with a trace).
HRESULT GuardedComCall(const wchar_t* place, HRESULT (*call)(void*), void* context);
template <class F>
HRESULT GuardedComCall(const wchar_t* place, F call) {
  return GuardedComCall(place, [](void* f) { return (*static_cast<F*>(f))(); }, &call);
}

// The full path of the module this code is linked into.
std::wstring ModuleFileName();

// Registers the type library that is TYPELIB resource 1 of this module
// (LoadTypeLibEx with REGKIND_REGISTER); unregisters it by its own LIBID,
// version, locale and kind. Unregistering a library that is not registered
// succeeds.
HRESULT RegisterModuleTypeLib();
HRESULT UnregisterModuleTypeLib();

// The type information of interface `iid` in TYPELIB resource 1 of this
// module, for IDispatch through ITypeInfo::Invoke.
HRESULT LoadModuleTypeInfo(REFIID iid, ITypeInfo** out);

// One replacement of a registry script: %name% is replaced by value.
struct RegistryReplacement {
  const wchar_t* name;
  std::wstring value;
};

// Runs the REGISTRY resources `ids` of this module through the system's
// registry-script registrar (the "ATL.Registrar" object of atl.dll), which
// also replaces %MODULE% by ModuleFileName(). `install` false runs them in
// removal mode. Stops at the first failure.
HRESULT RunRegistryScripts(const std::vector<UINT>& ids, const std::vector<RegistryReplacement>& replacements,
                           bool install);

// A component category: its id and its English description (locale 0x409).
struct ComponentCategory {
  CATID id;
  const wchar_t* description;
};

// Registers the categories with the component-category manager and marks
// them implemented by `clsid`, with COM initialised on the calling thread
// for the call.
HRESULT RegisterImplementedCategories(REFCLSID clsid, const std::vector<ComponentCategory>& categories);
