// The control object as COM clients see it: identity and interfaces, the class factory and the
// module's object count, IDispatch over every slot of the type library, the member table behind
// the slots, and the connection points.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "automation/invoke.h"
#include "dialog_user.h"
#include "embedded.h"
#include "test_support.h"
#include "win_support.h"

namespace pv::wintest {
namespace {

class Control : public testing::Test {
 protected:
  void SetUp() override {
    control_ = module_.Create();
    ASSERT_TRUE(control_);
  }
  ControlModule module_;
  Ref<IPictavorCtl> control_;
};

TEST_F(Control, AnswersItsInterfacesWithOneIdentity) {
  Ref<IUnknown> identity = control_.As<IUnknown>(IID_IUnknown);
  EXPECT_EQ(static_cast<void*>(identity.get()), static_cast<void*>(control_.get()))
      << "the flat API relies on the IPictavorCtl pointer being the object";
  for (REFIID iid : {IID_IDispatch,
                     IID_IViewObjectEx,
                     IID_IViewObject2,
                     IID_IViewObject,
                     IID_IOleInPlaceObjectWindowless,
                     IID_IOleInPlaceObject,
                     IID_IOleWindow,
                     IID_IOleInPlaceActiveObject,
                     IID_IOleControl,
                     IID_IOleObject,
                     IID_IPersistStreamInit,
                     IID_IPersist,
                     IID_ISupportErrorInfo,
                     IID_IConnectionPointContainer,
                     IID_ISpecifyPropertyPages,
                     IID_IQuickActivate,
                     IID_IPersistStorage,
                     IID_IDataObject,
                     IID_IProvideClassInfo,
                     IID_IProvideClassInfo2,
                     IID_IPersistPropertyBag}) {
    Ref<IUnknown> iface = control_.As<IUnknown>(iid);
    ASSERT_TRUE(iface);
    EXPECT_EQ(iface.As<IUnknown>(IID_IUnknown).get(), identity.get());
  }
  // Only windowed: no windowless site interfaces of its own, no persistence to files.
  EXPECT_FALSE(control_.As<IUnknown>(IID_IPersistFile));
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(control_->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
}

TEST(Module, CountsObjectsAndLocksForUnloading) {
  ControlModule module;
  auto getClassObject =
      module.Export<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>("DllGetClassObject");
  ASSERT_NE(getClassObject, nullptr);
  Ref<IClassFactory> factory;
  void* none = nullptr;
  EXPECT_EQ(getClassObject(IID_IPictavorCtl, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
  ASSERT_EQ(
      getClassObject(CLSID_PictavorCtl, IID_IClassFactory, reinterpret_cast<void**>(factory.out())),
      S_OK);
  EXPECT_EQ(module.CanUnloadNow(), S_OK);

  Ref<IUnknown> outer = module.Create().As<IUnknown>(IID_IUnknown);
  EXPECT_EQ(factory->CreateInstance(outer.get(), IID_IUnknown, &none), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
  Ref<IPictavorCtl> second = module.Create();
  outer.reset();
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE) << "one control still exists";
  second.reset();
  EXPECT_EQ(module.CanUnloadNow(), S_OK);
  factory->LockServer(TRUE);
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
  factory->LockServer(FALSE);
  EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

// ---- every slot through IDispatch -----------------------------------------------------------

// Arguments for any function of the type library: zero, an empty string, or a variable of the
// pointed-to type for pointers.
class DefaultArguments {
 public:
  explicit DefaultArguments(const FUNCDESC& f) : values_(f.cParams), referents_(f.cParams) {
    for (SHORT p = 0; p < f.cParams; ++p) {
      const ELEMDESC& e = f.lprgelemdescParam[p];
      if (e.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) continue;
      VARIANT& v = values_[f.cParams - 1 - p];  // last argument first
      VariantInit(&v);
      if (e.tdesc.vt == VT_PTR) {
        V_VT(&v) = VT_BYREF | e.tdesc.lptdesc->vt;
        V_BYREF(&v) = &referents_[p];
      } else {
        // Aliases (OLE_COLOR) are passed as a script passes them: a long.
        V_VT(&v) = e.tdesc.vt == VT_USERDEFINED ? VT_I4 : e.tdesc.vt;
        if (e.tdesc.vt == VT_BSTR) V_BSTR(&v) = SysAllocString(L"");
      }
      ++count_;
    }
    // A retval is last: the arguments before it are the last `count_` entries reversed.
    values_.erase(values_.begin(), values_.begin() + (f.cParams - count_));
  }
  ~DefaultArguments() {
    for (VARIANT& v : values_) VariantClear(&v);
  }
  DISPPARAMS Params(bool put) {
    return {values_.data(), put ? &named_ : nullptr, static_cast<UINT>(count_), put ? 1u : 0u};
  }

 private:
  std::vector<VARIANT> values_;
  std::vector<LONGLONG> referents_;  // wide enough for any pointed-to value
  SHORT count_ = 0;
  DISPID named_ = DISPID_PROPERTYPUT;
};

WORD DispatchFlags(INVOKEKIND kind) {
  if (kind == INVOKE_PROPERTYGET) return DISPATCH_PROPERTYGET;
  if (kind == INVOKE_PROPERTYPUT) return DISPATCH_PROPERTYPUT;
  return DISPATCH_METHOD;
}

MemberKind TableKind(INVOKEKIND kind) {
  if (kind == INVOKE_PROPERTYGET) return MemberKind::PropertyGet;
  if (kind == INVOKE_PROPERTYPUT) return MemberKind::PropertyPut;
  return MemberKind::Method;
}

TEST_F(Control, EverySlotWithATableRowRunsItAndEveryOtherIsNotImplemented) {
  Ref<ITypeInfo> dispatchView, info;
  HREFTYPE ref = 0;
  ASSERT_EQ(control_->GetTypeInfo(0, 0, dispatchView.out()), S_OK);
  ASSERT_EQ(dispatchView->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref), S_OK);
  ASSERT_EQ(dispatchView->GetRefTypeInfo(ref, info.out()), S_OK);
  size_t routed = 0, missing = 0;
  const DialogCanceller nobodyThere;  // the dialog members open their dialogs
  for (UINT i = 0; i < 140; ++i) {
    FUNCDESC* f = nullptr;
    ASSERT_EQ(info->GetFuncDesc(i, &f), S_OK);
    const Member* row = FindMember(f->memid, TableKind(f->invkind));
    Bstr name;
    info->GetDocumentation(f->memid, name.out(), nullptr, nullptr, nullptr);
    DefaultArguments arguments(*f);
    DISPPARAMS params = arguments.Params(f->invkind == INVOKE_PROPERTYPUT);
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception = {};
    const HRESULT hr =
        control_->Invoke(f->memid, IID_NULL, 0, DispatchFlags(f->invkind), &params,
                         f->invkind == INVOKE_PROPERTYPUT ? nullptr : &result, &exception, nullptr);
    const HRESULT code = hr == DISP_E_EXCEPTION ? exception.scode : hr;
    if (row) {
      EXPECT_EQ(hr, S_OK) << "slot " << i + 7 << " " << row->CallName();
      ++routed;
    } else {
      EXPECT_EQ(code, E_NOTIMPL) << "slot " << i + 7 << " has no row";
      ++missing;
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    VariantClear(&result);
    info->ReleaseFuncDesc(f);
  }
  EXPECT_EQ(routed, Members().size()) << "every row of the table has its slot";
  EXPECT_EQ(routed + missing, 140u);
}

// ---- the members behind the slots -------------------------------------------------------------

// The documented initial values; a property the table does not hold yet answers E_NOTIMPL.
TEST_F(Control, NewControlsHaveTheDocumentedPropertyValues) {
  const std::map<std::string, LONG> initial = {
      {"AutoRepaint", 1},   {"AutoScroll", 1},   {"PaintSizeMode", 0},  {"DrawPenColor", 0},
      {"DrawPenStyle", 0},  {"DrawPenWidth", 1}, {"DrawFillColor", 0},  {"DrawFillStyle", 0},
      {"DrawFontColor", 0}, {"DropFiles", 0},    {"PreDropFiles", 0},   {"ContrastLow", 0},
      {"ContrastHi", 255},  {"DrawType", 0},     {"PaintScaleMode", 4}, {"EnableMenu", 1},
      {"BackColor", 0}};
  for (const auto& [name, value] : initial) {
    std::wstring wide = Wide(name);
    LPOLESTR names[] = {wide.data()};
    DISPID id = 0;
    ASSERT_EQ(control_->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK) << name;
    DISPPARAMS none = {};
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr =
        control_->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
    if (!FindMember("get_" + name)) {
      EXPECT_NE(hr, S_OK) << name << " has no row yet";
      continue;
    }
    ASSERT_EQ(hr, S_OK) << name;
    ASSERT_EQ(VariantChangeType(&result, &result, 0, VT_I4), S_OK);
    EXPECT_EQ(V_I4(&result), value) << name;
  }
}

TEST_F(Control, PropertyPutsKeepTheirRanges) {
  LONG style = -1;
  EXPECT_EQ(control_->put_DrawPenStyle(6), S_OK);
  EXPECT_EQ(control_->get_DrawPenStyle(&style), S_OK);
  EXPECT_EQ(style, 0);
  EXPECT_EQ(control_->put_DrawPenStyle(5), S_OK);
  EXPECT_EQ(control_->get_DrawPenStyle(&style), S_OK);
  EXPECT_EQ(style, 5);
}

// The same calls on the portable control and through the interface give the same values,
// blocks and Log entries.
TEST_F(Control, MembersAnswerAsThePortableTableDoes) {
  const std::string fixture = test::FixturePath("im_24bit.bmp");
  const std::string comLog = test::TempPath("com.pvr"),
                    portableLog = test::TempPath("portable.pvr");
  Bstr path(Wide(fixture).c_str()), logPath(Wide(comLog).c_str());
  LONG v = 0, size = 0, color = 0, width = 0;
  LONG_PTR block = 0, dib = 0;
  ASSERT_EQ(control_->StartLog(&v), S_OK);
  ASSERT_EQ(control_->Load(path.get(), 0, 0, &v), S_OK);
  EXPECT_EQ(v, 0);
  ASSERT_EQ(control_->ColorRes(8, 0, 0, 0, &v), S_OK);
  ASSERT_EQ(control_->SetPalette(3, 0x123456, &v), S_OK);
  ASSERT_EQ(control_->GetPalette(3, &color, &v), S_OK);
  EXPECT_EQ(color, 0x123456);
  ASSERT_EQ(control_->Monochrome(300, &v), S_OK);
  EXPECT_EQ(v, 1) << "a refused threshold is reported in pVal, with S_OK";
  ASSERT_EQ(control_->GetWidth(&width), S_OK);
  ASSERT_EQ(control_->SaveMemory(&block, 4, 0, 0, &size, &v), S_OK);
  ASSERT_EQ(control_->GetDIB(&dib), S_OK);
  ASSERT_EQ(control_->SaveLog(logPath.get(), 0, &v), S_OK);
  EXPECT_EQ(v, 0);

  PortableControl portable;
  auto run = [&](const char* name, std::vector<Arg> args) {
    Call call;
    call.args = std::move(args);
    InvokeMember(portable, *FindMember(name), call);
    return call;
  };
  auto number = [](int32_t value) {
    Arg arg;
    arg.i = value;
    return arg;
  };
  Arg text;
  text.s = fixture;
  run("StartLog", {});
  run("Load", {text, Arg(), Arg()});
  run("ColorRes", {number(8), Arg(), Arg(), Arg()});
  run("SetPalette", {number(3), number(0x123456)});
  EXPECT_EQ(run("GetWidth", {}).pVal, width);
  Call saved = run("SaveMemory", {Arg(), number(4), Arg(), Arg(), Arg()});
  EXPECT_EQ(saved.args[4].i, size);
  Call copied = run("GetDIB", {});
  text.s = portableLog;
  run("SaveLog", {text, Arg()});
  auto handle = [](LONG_PTR h) { return reinterpret_cast<mem::Handle>(h); };
  EXPECT_EQ(test::BytesOf(handle(block)), test::BytesOf(saved.args[0].h));
  EXPECT_EQ(test::BytesOf(handle(dib)), test::BytesOf(copied.pValBlock));
  EXPECT_EQ(test::ReadFile(comLog), test::ReadFile(portableLog));
  for (mem::Handle h : {handle(block), handle(dib), saved.args[0].h, copied.pValBlock})
    mem::Free(h);
  std::remove(comLog.c_str());
  std::remove(portableLog.c_str());
}

// A missing pVal is refused; any other missing output is the member's bad parameter (1), and
// the member does not run.
TEST_F(Control, MissingOutPointersAnswerOneInPVal) {
  EXPECT_EQ(control_->GetWidth(nullptr), E_POINTER);
  LONG v = 7, x = 3;
  EXPECT_EQ(control_->GetPalette(0, nullptr, &v), S_OK);
  EXPECT_EQ(v, 1);
  double hor = 0;
  v = 7;
  EXPECT_EQ(control_->GetDispScale(&hor, nullptr, &v), S_OK);
  EXPECT_EQ(v, 1) << "not 9: the scales of an empty control are not asked";
  v = 7;
  EXPECT_EQ(control_->ClientToDIBPosition(&x, nullptr, &v), S_OK);
  EXPECT_EQ(v, 1);
  EXPECT_EQ(x, 3);
}

// What a member does not write keeps the caller's value: the threshold of a uniform picture,
// the scales of an empty control.
TEST_F(Control, OutParametersTheMemberLeavesKeepTheCallersValues) {
  double hor = 2.5, ver = 3.5;
  LONG v = -1;
  ASSERT_EQ(control_->GetDispScale(&hor, &ver, &v), S_OK);
  EXPECT_EQ(v, 9);
  EXPECT_EQ(hor, 2.5);
  EXPECT_EQ(ver, 3.5);
  mem::Owned dib(test::MakeDib(4, 4, 8, test::GrayRamp(), [](int32_t, int32_t) { return 90u; }));
  ASSERT_EQ(control_->SetDIB(reinterpret_cast<LONG_PTR>(dib.get()), &v), S_OK);
  LONG threshold = 77;
  ASSERT_EQ(control_->GetMonochromeThresh(0, 0, 4, 4, &threshold, &v), S_OK);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(threshold, 77);
}

TEST_F(Control, OpensFilesByTheirUnicodeNames) {
  const std::wstring dir = Wide(test::TempPath("")) + L"画像フォルダ";
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring file = dir + L"/テスト画像.bmp";
  Bstr source(Wide(test::FixturePath("im_8bit.bmp")).c_str()), target(file.c_str());
  LONG v = -1, width = 0;
  ASSERT_EQ(control_->Load(source.get(), 0, 0, &v), S_OK);
  ASSERT_EQ(control_->Save(target.get(), 4, 0, 0, &v), S_OK);
  EXPECT_EQ(source.str(), Wide(test::FixturePath("im_8bit.bmp")))
      << "strings stay the caller's as they were";
  EXPECT_EQ(v, 0);
  EXPECT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES)
      << "saved under its own name";
  ASSERT_EQ(control_->SetDIB(0, &v), S_OK);
  ASSERT_EQ(control_->Load(target.get(), 0, 0, &v), S_OK);
  EXPECT_EQ(v, 0);
  control_->GetWidth(&width);
  EXPECT_EQ(width, 13);
  DeleteFileW(file.c_str());
  RemoveDirectoryW(dir.c_str());
}

// ---- IDispatch, error and class information ---------------------------------------------------

TEST_F(Control, DispatchesByNameThroughItsTypeInformation) {
  UINT count = 0;
  EXPECT_EQ(control_->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  Ref<ITypeInfo> info;
  EXPECT_EQ(control_->GetTypeInfo(1, 0, info.out()), DISP_E_BADINDEX);
  std::wstring unknown = L"NoSuchMember", known = L"getwidth";
  LPOLESTR names[] = {unknown.data()};
  DISPID id = 0;
  EXPECT_EQ(control_->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
  names[0] = known.data();
  EXPECT_EQ(control_->GetIDsOfNames(IID_IDispatch, names, 1, 0, &id), DISP_E_UNKNOWNINTERFACE);
  ASSERT_EQ(control_->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
  EXPECT_EQ(id, 31);
  DISPPARAMS none = {};
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(control_->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr),
            S_OK);
  EXPECT_EQ(V_VT(&result), VT_I4);
  EXPECT_EQ(V_I4(&result), -1);
}

// Scripts pass their variables by reference as VARIANTs; out parameters reach them all the same.
TEST_F(Control, WritesOutParametersIntoScriptVariables) {
  Bstr path(Wide(test::FixturePath("im_8bit.bmp")).c_str());
  LONG v = -1;
  ASSERT_EQ(control_->Load(path.get(), 0, 0, &v), S_OK);
  ASSERT_EQ(control_->SetPalette(9, 0x0A0B0C, &v), S_OK);
  VARIANT variable, arguments[2], result;
  VariantInit(&variable);
  V_VT(&variable) = VT_BSTR;  // whatever the script's variable held before
  V_BSTR(&variable) = SysAllocString(L"old");
  V_VT(&arguments[0]) = VT_BYREF | VT_VARIANT;  // plPal, the last argument first
  V_VARIANTREF(&arguments[0]) = &variable;
  V_VT(&arguments[1]) = VT_I2;
  V_I2(&arguments[1]) = 9;
  VariantInit(&result);
  DISPPARAMS params = {arguments, nullptr, 2, 0};
  ASSERT_EQ(control_->Invoke(55, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                             &result, nullptr, nullptr),
            S_OK);
  EXPECT_EQ(V_VT(&result), VT_I4);
  EXPECT_EQ(V_I4(&result), 0);
  EXPECT_EQ(V_VT(&variable), VT_I4);
  EXPECT_EQ(V_I4(&variable), 0x0A0B0C);
  EXPECT_EQ(V_VT(&arguments[0]), VT_BYREF | VT_VARIANT)
      << "the caller's arguments stay as they were";
  VariantClear(&variable);
}

TEST_F(Control, DescribesItsClassAndErrorSupport) {
  Ref<ISupportErrorInfo> errors = control_.As<ISupportErrorInfo>(IID_ISupportErrorInfo);
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IPictavorCtl), S_OK);
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
  Ref<IProvideClassInfo2> classInfo = control_.As<IProvideClassInfo2>(IID_IProvideClassInfo2);
  GUID guid = {};
  EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &guid), S_OK);
  EXPECT_TRUE(IsEqualGUID(guid, DIID__IPictavorCtlEvents));
  EXPECT_EQ(classInfo->GetGUID(2, &guid), E_INVALIDARG);
  Ref<ITypeInfo> info;
  ASSERT_EQ(classInfo->GetClassInfo(info.out()), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(attr->guid, CLSID_PictavorCtl));
  info->ReleaseTypeAttr(attr);
}

// ---- connection points ----------------------------------------------------------------------

// A sink that answers one interface and counts its references; it is never called yet.

TEST_F(Control, KeepsSinksOnItsTwoConnectionPoints) {
  Ref<IConnectionPointContainer> container =
      control_.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  Ref<IConnectionPoint> events, notify, none;
  ASSERT_EQ(container->FindConnectionPoint(DIID__IPictavorCtlEvents, events.out()), S_OK);
  ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, notify.out()), S_OK);
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, none.out()), CONNECT_E_NOCONNECTION);
  IID iid = {};
  EXPECT_EQ(notify->GetConnectionInterface(&iid), S_OK);
  EXPECT_TRUE(IsEqualIID(iid, IID_IPropertyNotifySink));
  Ref<IConnectionPointContainer> back;
  ASSERT_EQ(events->GetConnectionPointContainer(back.out()), S_OK);
  EXPECT_EQ(back.As<IUnknown>(IID_IUnknown).get(), control_.As<IUnknown>(IID_IUnknown).get());
  IEnumConnections* connections = nullptr;
  EXPECT_EQ(events->EnumConnections(&connections), E_NOTIMPL);

  RecordingSink first(DIID__IPictavorCtlEvents), second(DIID__IPictavorCtlEvents),
      stranger(IID_IPropertyNotifySink);
  DWORD a = 0, b = 0, c = 0;
  EXPECT_EQ(events->Advise(&first, &a), S_OK);
  EXPECT_EQ(events->Advise(&second, &b), S_OK);
  EXPECT_EQ(events->Advise(&stranger, &c), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(a, 1u);
  EXPECT_EQ(b, 2u);
  EXPECT_EQ(first.refs, 2);
  EXPECT_EQ(stranger.refs, 1);
  EXPECT_EQ(events->Unadvise(a), S_OK);
  EXPECT_EQ(first.refs, 1);
  EXPECT_EQ(events->Unadvise(a), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(events->Unadvise(0), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(events->Unadvise(3), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(events->Advise(&first, &a), S_OK);
  EXPECT_EQ(a, 3u) << "a freed cookie is not used again: a stale one cannot end a new connection";
  // The last reference of the control lets go of its sinks.
  events.reset();
  notify.reset();
  container.reset();
  back.reset();
  control_.reset();
  EXPECT_EQ(first.refs, 1);
  EXPECT_EQ(second.refs, 1);
}

}  // namespace
}  // namespace pv::wintest
