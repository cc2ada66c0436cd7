#include "ComServer.h"

#include "ModuleInstance.h"
#include "SwallowedException.h"

#include <cwchar>
#include <exception>

// The registry-script registrar of atl.dll. Its declaration is in atliface.h,
// which mingw-w64 does not ship; the layout is the system's. Outside the
// unnamed namespace: there GCC, seeing no class that implements it, would
// compile every call through it as unreachable.
struct IRegistrar : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE AddReplacement(LPCOLESTR key, LPCOLESTR item) = 0;
  virtual HRESULT STDMETHODCALLTYPE ClearReplacements() = 0;
  virtual HRESULT STDMETHODCALLTYPE ResourceRegisterSz(LPCOLESTR file, LPCOLESTR id, LPCOLESTR type) = 0;
  virtual HRESULT STDMETHODCALLTYPE ResourceUnregisterSz(LPCOLESTR file, LPCOLESTR id, LPCOLESTR type) = 0;
  virtual HRESULT STDMETHODCALLTYPE FileRegister(LPCOLESTR file) = 0;
  virtual HRESULT STDMETHODCALLTYPE FileUnregister(LPCOLESTR file) = 0;
  virtual HRESULT STDMETHODCALLTYPE StringRegister(LPCOLESTR data) = 0;
  virtual HRESULT STDMETHODCALLTYPE StringUnregister(LPCOLESTR data) = 0;
  virtual HRESULT STDMETHODCALLTYPE ResourceRegister(LPCOLESTR file, UINT id, LPCOLESTR type) = 0;
  virtual HRESULT STDMETHODCALLTYPE ResourceUnregister(LPCOLESTR file, UINT id, LPCOLESTR type) = 0;
};

namespace {

LONG g_objects = 0;
LONG g_locks = 0;

const CLSID kClsidRegistrar = {0x44ec053a, 0x400f, 0x11d0, {0x9d, 0xcd, 0x00, 0xa0, 0xc9, 0x03, 0x91, 0xd3}};
const IID kIidRegistrar = {0x44ec053b, 0x400f, 0x11d0, {0x9d, 0xcd, 0x00, 0xa0, 0xc9, 0x03, 0x91, 0xd3}};

}  // namespace

namespace ComModule {
void AddObject() { InterlockedIncrement(&g_objects); }
void ReleaseObject() { InterlockedDecrement(&g_objects); }
void Lock(bool lock) {
  if (lock)
    InterlockedIncrement(&g_locks);
  else
    InterlockedDecrement(&g_locks);
}
bool CanUnload() { return g_objects == 0 && g_locks == 0; }
}  // namespace ComModule

HRESULT GuardedComCall(const wchar_t* place, HRESULT (*call)(void*), void* context) {
  try {
    return call(context);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::exception& error) {
    TraceSwallowedException(place, error.what());
  } catch (...) {
    TraceSwallowedException(place, nullptr);
  }
  return E_UNEXPECTED;
}

std::wstring ModuleFileName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(ModuleInstance(), &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

HRESULT RegisterModuleTypeLib() {
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibEx(ModuleFileName().c_str(), REGKIND_REGISTER, &library);
  if (SUCCEEDED(hr)) library->Release();
  return hr;
}

HRESULT UnregisterModuleTypeLib() {
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibEx(ModuleFileName().c_str(), REGKIND_NONE, &library);
  if (FAILED(hr)) return hr;
  TLIBATTR* attributes = nullptr;
  hr = library->GetLibAttr(&attributes);
  if (SUCCEEDED(hr)) {
    // Not registered: Windows would answer TYPE_E_REGISTRYACCESS, Wine E_INVALIDARG.
    BSTR path = nullptr;
    if (SUCCEEDED(QueryPathOfRegTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                                        attributes->lcid, &path))) {
      SysFreeString(path);
      hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                             attributes->lcid, attributes->syskind);
    }
    library->ReleaseTLibAttr(attributes);
  }
  library->Release();
  return hr;
}

HRESULT RunRegistryScripts(const std::vector<UINT>& ids, const std::vector<RegistryReplacement>& replacements,
                           bool install) {
  IRegistrar* registrar = nullptr;
  HRESULT hr = CoCreateInstance(kClsidRegistrar, nullptr, CLSCTX_INPROC_SERVER, kIidRegistrar,
                                reinterpret_cast<void**>(&registrar));
  if (FAILED(hr)) return hr;
  const std::wstring module = ModuleFileName();
  hr = registrar->AddReplacement(L"MODULE", module.c_str());
  for (size_t i = 0; SUCCEEDED(hr) && i < replacements.size(); ++i)
    hr = registrar->AddReplacement(replacements[i].name, replacements[i].value.c_str());
  for (size_t i = 0; SUCCEEDED(hr) && i < ids.size(); ++i)
    hr = install ? registrar->ResourceRegister(module.c_str(), ids[i], L"REGISTRY")
                 : registrar->ResourceUnregister(module.c_str(), ids[i], L"REGISTRY");
  registrar->Release();
  return hr;
}

ComApartment::ComApartment() : hr_(CoInitialize(nullptr)) {}

ComApartment::~ComApartment() {
  if (SUCCEEDED(hr_)) CoUninitialize();
}

HRESULT ComApartment::Result() const {
  return hr_ == RPC_E_CHANGED_MODE ? S_OK : hr_;
}

HRESULT LoadModuleTypeInfo(REFIID iid, ITypeInfo** out) {
  *out = nullptr;
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibEx(ModuleFileName().c_str(), REGKIND_NONE, &library);
  if (FAILED(hr)) return hr;
  hr = library->GetTypeInfoOfGuid(iid, out);
  library->Release();
  return hr;
}

HRESULT RegisterImplementedCategories(REFCLSID clsid, const std::vector<ComponentCategory>& categories) {
  ComApartment apartment;
  if (FAILED(apartment.Result())) return apartment.Result();
  ICatRegister* manager = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ICatRegister,
                                reinterpret_cast<void**>(&manager));
  if (FAILED(hr)) return hr;
  std::vector<CATEGORYINFO> infos(categories.size());
  std::vector<CATID> ids(categories.size());
  for (size_t i = 0; i < categories.size(); ++i) {
    infos[i].catid = categories[i].id;
    infos[i].lcid = 0x409;
    // At most 127 characters and a terminator.
    wcsncpy(infos[i].szDescription, categories[i].description, 127);
    infos[i].szDescription[127] = L'\0';
    ids[i] = categories[i].id;
  }
  hr = manager->RegisterCategories(static_cast<ULONG>(infos.size()), infos.data());
  if (SUCCEEDED(hr)) hr = manager->RegisterClassImplCategories(clsid, static_cast<ULONG>(ids.size()), ids.data());
  manager->Release();
  return hr;
}
