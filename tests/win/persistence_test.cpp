// The property map saved and loaded through a stream, a storage and a property bag: the
// seventeen entries come back, the rest return to their defaults, and loading runs the puts.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "win_support.h"

namespace pv::wintest {
namespace {

// The persisted entries in map order with the values a configured control holds.
const std::vector<std::pair<std::wstring, LONG>> kConfigured = {
    {L"_cx", 3000},       {L"_cy", 1500},        {L"BackColor", 0x00123456}, {L"AutoRepaint", 0},
    {L"AutoScroll", 0},   {L"PaintSizeMode", 4}, {L"DrawPenColor", 0xFF},    {L"DrawPenStyle", 3},
    {L"DrawPenWidth", 5}, {L"DrawFillColor", 7}, {L"DrawFillStyle", 2},      {L"DrawFontColor", 9},
    {L"DropFiles", 1},    {L"ContrastLow", 200}, {L"ContrastHi", 100},       {L"DrawType", 1},
    {L"EnableMenu", 0},
};

DISPID IdOf(IPictavorCtl* control, const std::wstring& name) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
  DISPID id = DISPID_UNKNOWN;
  EXPECT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
  return id;
}

LONG Get(IPictavorCtl* control, const std::wstring& name) {
  if (name == L"_cx" || name == L"_cy") {
    SIZEL extent = {};
    Ref<IOleObject> object;
    control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(object.out()));
    EXPECT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    return name == L"_cx" ? extent.cx : extent.cy;
  }
  DISPPARAMS none = {};
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(control->Invoke(IdOf(control, name), IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result,
                            nullptr, nullptr),
            S_OK);
  EXPECT_EQ(VariantChangeType(&result, &result, 0, VT_UI4), S_OK);
  return static_cast<LONG>(V_UI4(&result));
}

void Put(IPictavorCtl* control, const std::wstring& name, LONG value) {
  if (name == L"_cx" || name == L"_cy") {
    Ref<IOleObject> object;
    control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(object.out()));
    SIZEL extent = {};
    object->GetExtent(DVASPECT_CONTENT, &extent);
    (name == L"_cx" ? extent.cx : extent.cy) = value;
    EXPECT_EQ(object->SetExtent(DVASPECT_CONTENT, &extent), S_OK);
    return;
  }
  VARIANT v;
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&v, &named, 1, 1};
  EXPECT_EQ(control->Invoke(IdOf(control, name), IID_NULL, 0, DISPATCH_PROPERTYPUT, &params,
                            nullptr, nullptr, nullptr),
            S_OK);
}

HRESULT IsDirty(IPictavorCtl* control) {
  Ref<IPersistStreamInit> persist;
  control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.out()));
  return persist->IsDirty();
}

// A property bag in memory that keeps the order of its writes.
class MemoryBag : public StackObject<IPropertyBag> {
 public:
  MemoryBag() : StackObject(IID_IPropertyBag) {}
  HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
    for (const auto& [n, v] : entries)
      if (n == name) return VariantCopy(value, const_cast<VARIANT*>(&v));
    return E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override {
    entries.emplace_back(name, VARIANT{});
    VariantInit(&entries.back().second);
    return VariantCopy(&entries.back().second, value);
  }
  std::vector<std::pair<std::wstring, VARIANT>> entries;
};

class Persistence : public testing::Test {
 protected:
  Ref<IPictavorCtl> Configured() {
    Ref<IPictavorCtl> control = module_.Create();
    for (const auto& [name, value] : kConfigured) Put(control.get(), name, value);
    Put(control.get(), L"PreDropFiles", 1);
    Put(control.get(), L"PaintScaleMode", 2);
    EXPECT_EQ(IsDirty(control.get()), S_OK);
    return control;
  }
  // Saves `from` and loads the result into a new control, which it returns.
  Ref<IPictavorCtl> RoundTrip(IPictavorCtl* from,
                              const std::function<void(IUnknown*, IUnknown*)>& saveLoad) {
    Ref<IPictavorCtl> to = module_.Create();
    saveLoad(from, to.get());
    return to;
  }
  void ExpectConfigured(IPictavorCtl* control) {
    for (const auto& [name, value] : kConfigured)
      EXPECT_EQ(Get(control, name), value) << std::string(name.begin(), name.end());
    EXPECT_EQ(Get(control, L"PreDropFiles"), 0) << "not persisted";
    EXPECT_EQ(Get(control, L"PaintScaleMode"), 4) << "not persisted";
    EXPECT_EQ(IsDirty(control), S_FALSE) << "a load leaves the control clean";
  }
  ControlModule module_;
};

TEST_F(Persistence, AStreamHoldsTheMap) {
  Ref<IPictavorCtl> from = Configured();
  Ref<IPersistStreamInit> save = from.As<IPersistStreamInit>(IID_IPersistStreamInit);
  Ref<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.out()), S_OK);
  ASSERT_EQ(save->Save(stream.get(), TRUE), S_OK);
  EXPECT_EQ(IsDirty(from.get()), S_FALSE);
  ULARGE_INTEGER size = {}, maximum = {};
  const LARGE_INTEGER start = {};
  ASSERT_EQ(stream->Seek(start, STREAM_SEEK_CUR, &size), S_OK);
  ASSERT_EQ(save->GetSizeMax(&maximum), S_OK);
  EXPECT_EQ(size.QuadPart, maximum.QuadPart);

  ASSERT_EQ(stream->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);
  Ref<IPictavorCtl> to = module_.Create();
  ASSERT_EQ(to.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(stream.get()), S_OK);
  ExpectConfigured(to.get());

  // A short stream, or one with a value of the wrong type, changes nothing.
  for (ULONG keep : {0ul, 40ul, static_cast<ULONG>(size.QuadPart) - 1}) {
    ASSERT_EQ(stream->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);
    std::vector<BYTE> bytes(size.QuadPart);
    ULONG read = 0;
    ASSERT_EQ(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read), S_OK);
    if (keep == 40) bytes[8] = VT_BSTR;  // BackColor's type
    Ref<IStream> damaged;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, damaged.out()), S_OK);
    damaged->Write(bytes.data(), keep == 40 ? read : keep, nullptr);
    damaged->Seek(start, STREAM_SEEK_SET, nullptr);
    Ref<IPictavorCtl> fresh = module_.Create();
    EXPECT_NE(fresh.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(damaged.get()), S_OK)
        << keep;
    EXPECT_EQ(Get(fresh.get(), L"AutoRepaint"), 1) << keep;
    EXPECT_EQ(Get(fresh.get(), L"_cx"), 5080) << keep;
  }
}

TEST_F(Persistence, AStorageHoldsTheStreamAsContents) {
  Ref<IPictavorCtl> from = Configured();
  Ref<IStorage> storage;
  ASSERT_EQ(StgCreateDocfile(
                nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE,
                0, storage.out()),
            S_OK);
  ASSERT_EQ(from.As<IPersistStorage>(IID_IPersistStorage)->Save(storage.get(), FALSE), S_OK);
  Ref<IStream> contents;
  EXPECT_EQ(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                contents.out()),
            S_OK);
  contents.reset();
  Ref<IPictavorCtl> to = module_.Create();
  ASSERT_EQ(to.As<IPersistStorage>(IID_IPersistStorage)->Load(storage.get()), S_OK);
  ExpectConfigured(to.get());
}

TEST_F(Persistence, APropertyBagHoldsTheNamedValues) {
  Ref<IPictavorCtl> from = Configured();
  MemoryBag bag;
  ASSERT_EQ(from.As<IPersistPropertyBag>(IID_IPersistPropertyBag)->Save(&bag, TRUE, TRUE), S_OK);
  ASSERT_EQ(bag.entries.size(), kConfigured.size());
  for (size_t n = 0; n < kConfigured.size(); ++n)
    EXPECT_EQ(bag.entries[n].first, kConfigured[n].first);
  Ref<IPictavorCtl> to = module_.Create();
  ASSERT_EQ(to.As<IPersistPropertyBag>(IID_IPersistPropertyBag)->Load(&bag, nullptr), S_OK);
  ExpectConfigured(to.get());

  // Values in text, as pages write them, are converted; missing names keep their values; an
  // out-of-range value goes through its put and is ignored.
  MemoryBag partial;
  VARIANT v;
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocString(L"3");
  partial.Write(L"PaintSizeMode", &v);
  VariantClear(&v);
  V_VT(&v) = VT_I4;
  V_I4(&v) = 6;
  partial.Write(L"DrawPenStyle", &v);
  Ref<IPictavorCtl> other = module_.Create();
  ASSERT_EQ(other.As<IPersistPropertyBag>(IID_IPersistPropertyBag)->Load(&partial, nullptr), S_OK);
  EXPECT_EQ(Get(other.get(), L"PaintSizeMode"), 3);
  EXPECT_EQ(Get(other.get(), L"DrawPenStyle"), 0);
  EXPECT_EQ(Get(other.get(), L"ContrastHi"), 255);
  for (auto& entry : bag.entries) VariantClear(&entry.second);
  for (auto& entry : partial.entries) VariantClear(&entry.second);
}

TEST_F(Persistence, RefusedPutsLeaveTheControlClean) {
  Ref<IPictavorCtl> control = module_.Create();
  ASSERT_EQ(control.As<IPersistStreamInit>(IID_IPersistStreamInit)->InitNew(), S_OK);
  EXPECT_EQ(IsDirty(control.get()), S_FALSE);
  EXPECT_EQ(control->put_DrawPenStyle(6), S_OK);
  EXPECT_EQ(control->put_DrawFillStyle(-1), S_OK);
  EXPECT_EQ(control->put_ContrastLow(256), S_OK);
  EXPECT_EQ(control->put_ContrastHi(-1), S_OK);
  EXPECT_EQ(control->put_DrawType(2), S_OK);
  EXPECT_EQ(control->put_WndWidth(0), S_OK);
  EXPECT_EQ(control->put_WndHeight(300), S_OK);  // resizes only
  EXPECT_EQ(IsDirty(control.get()), S_FALSE);
  EXPECT_EQ(Get(control.get(), L"ContrastLow"), 0);
  EXPECT_EQ(control->put_ContrastLow(200), S_OK);
  EXPECT_EQ(IsDirty(control.get()), S_OK);
}

// A property-notify sink that refuses BackColor changes until told otherwise.
class Gatekeeper : public StackObject<IPropertyNotifySink> {
 public:
  Gatekeeper() : StackObject(IID_IPropertyNotifySink) {}
  HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override {
    changed.push_back(id);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return allow ? S_OK : S_FALSE; }
  bool allow = false;
  std::vector<DISPID> changed;
};

TEST_F(Persistence, BackColorAsksThePropertySinksFirst) {
  Ref<IPictavorCtl> control = module_.Create();
  Ref<IConnectionPoint> point;
  ASSERT_EQ(control.As<IConnectionPointContainer>(IID_IConnectionPointContainer)
                ->FindConnectionPoint(IID_IPropertyNotifySink, point.out()),
            S_OK);
  Gatekeeper sink;
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
  EXPECT_EQ(control->put_BackColor(0xFF), S_OK);
  EXPECT_EQ(Get(control.get(), L"BackColor"), 0) << "refused";
  EXPECT_EQ(IsDirty(control.get()), S_FALSE);
  sink.allow = true;
  EXPECT_EQ(control->put_BackColor(0xFF), S_OK);
  EXPECT_EQ(Get(control.get(), L"BackColor"), 0xFF);
  EXPECT_EQ(sink.changed, std::vector<DISPID>{DISPID_BACKCOLOR});
  EXPECT_EQ(IsDirty(control.get()), S_OK);
  point->Unadvise(cookie);
}

}  // namespace
}  // namespace pv::wintest
