// The property map and its three persistence forms: a stream (IPersistStreamInit), the same
// stream named "Contents" inside a storage (IPersistStorage) and named values
// (IPersistPropertyBag). Properties are read through the control's own IDispatch and written
// back through its puts, so a load runs every put's checks and side effects in map order.
//
// Stream layout: per entry in map order, the extent's width and height as 4-byte unsigned
// little-endian values, then each property as its 2-byte VARTYPE (VT_I4 or VT_UI4) and its
// 4-byte value.
#include <cstdint>

#include "base/dispids.h"
#include "control/com/control.h"

namespace pv::control {
namespace {

constexpr DISPID kExtentWidth = 1, kExtentHeight = 2;  // raw entries: not dispatch members

struct MapEntry {
  const wchar_t* name;
  DISPID dispid;  // for the raw entries, which extent dimension
  bool raw;
  VARTYPE type;
};

const MapEntry kPropertyMap[] = {
    {L"_cx", kExtentWidth, true, VT_UI4},
    {L"_cy", kExtentHeight, true, VT_UI4},
    {L"BackColor", dispid::kBackColor, false, VT_UI4},
    {L"AutoRepaint", dispid::kAutoRepaint, false, VT_I4},
    {L"AutoScroll", dispid::kAutoScroll, false, VT_I4},
    {L"PaintSizeMode", dispid::kPaintSizeMode, false, VT_I4},
    {L"DrawPenColor", dispid::kDrawPenColor, false, VT_I4},
    {L"DrawPenStyle", dispid::kDrawPenStyle, false, VT_I4},
    {L"DrawPenWidth", dispid::kDrawPenWidth, false, VT_I4},
    {L"DrawFillColor", dispid::kDrawFillColor, false, VT_I4},
    {L"DrawFillStyle", dispid::kDrawFillStyle, false, VT_I4},
    {L"DrawFontColor", dispid::kDrawFontColor, false, VT_I4},
    {L"DropFiles", dispid::kDropFiles, false, VT_I4},
    {L"ContrastLow", dispid::kContrastLow, false, VT_I4},
    {L"ContrastHi", dispid::kContrastHi, false, VT_I4},
    {L"DrawType", dispid::kDrawType, false, VT_I4},
    {L"EnableMenu", dispid::kEnableMenu, false, VT_I4},
};

constexpr ULONG kEntryBytes = 6;  // VARTYPE and value
constexpr ULONG kStreamBytes = 2 * 4 + (std::size(kPropertyMap) - 2) * kEntryBytes;

LONG& ExtentField(Control* self, const MapEntry& entry) {
  return entry.dispid == kExtentWidth ? self->extent.cx : self->extent.cy;
}

// One entry's value as the map's type.
HRESULT ReadEntry(Control* self, const MapEntry& entry, uint32_t* value) {
  if (entry.raw) {
    *value = static_cast<uint32_t>(ExtentField(self, entry));
    return S_OK;
  }
  DISPPARAMS none{};
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = IDispatch_Invoke(self->dispatch(), entry.dispid, IID_NULL, LOCALE_USER_DEFAULT,
                                DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
  if (SUCCEEDED(hr)) hr = VariantChangeType(&result, &result, 0, entry.type);
  if (SUCCEEDED(hr))
    *value = entry.type == VT_UI4 ? V_UI4(&result) : static_cast<uint32_t>(V_I4(&result));
  VariantClear(&result);
  return hr;
}

// Stores one entry: the extent directly, a property through its put.
HRESULT WriteEntry(Control* self, const MapEntry& entry, VARIANT* value) {
  HRESULT hr = VariantChangeType(value, value, 0, entry.type);
  if (FAILED(hr)) return hr;
  if (entry.raw) {
    ExtentField(self, entry) = static_cast<LONG>(V_UI4(value));
    return S_OK;
  }
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{value, &named, 1, 1};
  return IDispatch_Invoke(self->dispatch(), entry.dispid, IID_NULL, LOCALE_USER_DEFAULT,
                          DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
}

void PutLittleEndian(BYTE* out, uint32_t value, int bytes) {
  for (int n = 0; n < bytes; ++n) out[n] = static_cast<BYTE>(value >> (8 * n));
}

uint32_t GetLittleEndian(const BYTE* in, int bytes) {
  uint32_t value = 0;
  for (int n = 0; n < bytes; ++n) value |= static_cast<uint32_t>(in[n]) << (8 * n);
  return value;
}

HRESULT SaveToStream(Control* self, IStream* stream) {
  if (!stream) return E_POINTER;
  BYTE bytes[kStreamBytes];
  BYTE* out = bytes;
  for (const MapEntry& entry : kPropertyMap) {
    uint32_t value = 0;
    const HRESULT hr = ReadEntry(self, entry, &value);
    if (FAILED(hr)) return hr;
    if (!entry.raw) {
      PutLittleEndian(out, entry.type, 2);
      out += 2;
    }
    PutLittleEndian(out, value, 4);
    out += 4;
  }
  ULONG written = 0;
  const HRESULT hr = IStream_Write(stream, bytes, kStreamBytes, &written);
  if (FAILED(hr)) return hr;
  return written == kStreamBytes ? S_OK : STG_E_WRITEFAULT;
}

// Reads the whole map before the first put, so a short or damaged stream changes nothing.
HRESULT LoadFromStream(Control* self, IStream* stream) {
  if (!stream) return E_POINTER;
  BYTE bytes[kStreamBytes];
  ULONG read = 0;
  HRESULT hr = IStream_Read(stream, bytes, kStreamBytes, &read);
  if (FAILED(hr)) return hr;
  if (read != kStreamBytes) return STG_E_READFAULT;
  VARIANT values[std::size(kPropertyMap)];
  const BYTE* in = bytes;
  for (size_t n = 0; n < std::size(kPropertyMap); ++n) {
    const MapEntry& entry = kPropertyMap[n];
    VARTYPE type = VT_UI4;
    if (!entry.raw) {
      type = static_cast<VARTYPE>(GetLittleEndian(in, 2));
      in += 2;
    }
    if (type != VT_I4 && type != VT_UI4) return E_FAIL;
    V_VT(&values[n]) = type;
    V_UI4(&values[n]) = GetLittleEndian(in, 4);
    in += 4;
  }
  for (size_t n = 0; n < std::size(kPropertyMap); ++n)
    if (FAILED(hr = WriteEntry(self, kPropertyMap[n], &values[n]))) return hr;
  self->portable.set_dirty(false);
  return S_OK;
}

// ---- IPersistStreamInit --------------------------------------------------------------------

template <typename I>
HRESULT STDMETHODCALLTYPE Persist_GetClassID(I*, CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_PictavorCtl;
  return S_OK;
}

template <typename I>
HRESULT STDMETHODCALLTYPE Persist_IsDirty(I* iface) {
  return impl_from<Control>(iface)->portable.dirty() ? S_OK : S_FALSE;
}

// A new control already holds the defaults.
template <typename I, typename... A>
HRESULT STDMETHODCALLTYPE Persist_InitNew(I*, A...) {
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Stream_Load(IPersistStreamInit* iface, IStream* stream) {
  return LoadFromStream(impl_from<Control>(iface), stream);
}

HRESULT STDMETHODCALLTYPE Stream_Save(IPersistStreamInit* iface, IStream* stream, BOOL clearDirty) {
  Control* self = impl_from<Control>(iface);
  const HRESULT hr = SaveToStream(self, stream);
  if (SUCCEEDED(hr) && clearDirty) self->portable.set_dirty(false);
  return hr;
}

HRESULT STDMETHODCALLTYPE Stream_GetSizeMax(IPersistStreamInit*, ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = kStreamBytes;
  return S_OK;
}

// ---- IPersistStorage -------------------------------------------------------------------------

constexpr wchar_t kContents[] = L"Contents";

HRESULT STDMETHODCALLTYPE Storage_Load(IPersistStorage* iface, IStorage* storage) {
  if (!storage) return E_POINTER;
  IStream* stream = nullptr;
  HRESULT hr = IStorage_OpenStream(storage, kContents, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                   &stream);
  if (FAILED(hr)) return hr;
  hr = LoadFromStream(impl_from<Control>(iface), stream);
  IStream_Release(stream);
  return hr;
}

HRESULT STDMETHODCALLTYPE Storage_Save(IPersistStorage* iface, IStorage* storage, BOOL) {
  if (!storage) return E_POINTER;
  IStream* stream = nullptr;
  HRESULT hr = IStorage_CreateStream(
      storage, kContents, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
  if (FAILED(hr)) return hr;
  Control* self = impl_from<Control>(iface);
  hr = SaveToStream(self, stream);
  IStream_Release(stream);
  if (SUCCEEDED(hr)) self->portable.set_dirty(false);
  return hr;
}

HRESULT STDMETHODCALLTYPE Storage_SaveCompleted(IPersistStorage*, IStorage*) { return S_OK; }
HRESULT STDMETHODCALLTYPE Storage_HandsOffStorage(IPersistStorage*) { return S_OK; }

// ---- IPersistPropertyBag ---------------------------------------------------------------------

// A bag may lack entries (a page that names only some): those keep their current values.
HRESULT STDMETHODCALLTYPE Bag_Load(IPersistPropertyBag* iface, IPropertyBag* bag,
                                   IErrorLog* errors) {
  if (!bag) return E_POINTER;
  Control* self = impl_from<Control>(iface);
  for (const MapEntry& entry : kPropertyMap) {
    VARIANT value;
    VariantInit(&value);
    if (FAILED(IPropertyBag_Read(bag, entry.name, &value, errors))) continue;
    const HRESULT hr = WriteEntry(self, entry, &value);
    VariantClear(&value);
    if (FAILED(hr)) return hr;
  }
  self->portable.set_dirty(false);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Bag_Save(IPersistPropertyBag* iface, IPropertyBag* bag, BOOL clearDirty,
                                   BOOL) {
  if (!bag) return E_POINTER;
  Control* self = impl_from<Control>(iface);
  for (const MapEntry& entry : kPropertyMap) {
    uint32_t value = 0;
    HRESULT hr = ReadEntry(self, entry, &value);
    if (FAILED(hr)) return hr;
    VARIANT v;
    V_VT(&v) = entry.type;
    V_UI4(&v) = value;
    if (FAILED(hr = IPropertyBag_Write(bag, entry.name, &v))) return hr;
  }
  if (clearDirty) self->portable.set_dirty(false);
  return S_OK;
}

}  // namespace

const IPersistStreamInitVtbl kPersistStreamVtbl = {
    PV_UNKNOWN(IPersistStreamInit),
    Persist_GetClassID<IPersistStreamInit>,
    Persist_IsDirty<IPersistStreamInit>,
    Stream_Load,
    Stream_Save,
    Stream_GetSizeMax,
    Persist_InitNew<IPersistStreamInit>,
};

const IPersistStorageVtbl kPersistStorageVtbl = {
    PV_UNKNOWN(IPersistStorage),
    Persist_GetClassID<IPersistStorage>,
    Persist_IsDirty<IPersistStorage>,
    Persist_InitNew<IPersistStorage, IStorage*>,
    Storage_Load,
    Storage_Save,
    Storage_SaveCompleted,
    Storage_HandsOffStorage,
};

const IPersistPropertyBagVtbl kPersistBagVtbl = {
    PV_UNKNOWN(IPersistPropertyBag),
    Persist_GetClassID<IPersistPropertyBag>,
    Persist_InitNew<IPersistPropertyBag>,
    Bag_Load,
    Bag_Save,
};

}  // namespace pv::control
