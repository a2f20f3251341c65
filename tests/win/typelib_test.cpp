// The type library embedded in Pictavor.dll, read back as clients read it, against the slot
// list made from the same interface description; for the other build's DLL as well.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "win_support.h"

namespace pv::wintest {
namespace {

struct Parameter {
  std::string name, type, direction;
};

struct Slot {
  int slot = 0;
  DISPID dispid = 0;
  std::string kind, name;
  std::vector<Parameter> params;
};

std::vector<Slot> DocumentedInterface() {
  std::ifstream file(PICTAVOR_SLOT_LIST);
  std::vector<Slot> slots;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    Slot s;
    words >> s.slot >> s.dispid >> s.kind >> s.name;
    for (std::string p; words >> p;) {
      const size_t a = p.find(':'), b = p.rfind(':');
      s.params.push_back({p.substr(0, a), p.substr(a + 1, b - a - 1), p.substr(b + 1)});
    }
    slots.push_back(s);
  }
  return slots;
}

struct Library {
  Ref<ITypeLib> lib;
  VARTYPE handle;  // VT_I4 in the win32 build, VT_I8 in the win64 build
};

// An alias as property browsers know it: OLE_COLOR by its standard GUID, over VT_UI4.
std::string AliasText(ITypeInfo* info, HREFTYPE href) {
  static const GUID kOleColor = {
      0x66504301, 0xBE0F, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};
  Ref<ITypeInfo> alias;
  if (info->GetRefTypeInfo(href, alias.out()) != S_OK) return "?";
  Bstr name;
  alias->GetDocumentation(MEMBERID_NIL, name.out(), nullptr, nullptr, nullptr);
  TYPEATTR* attr = nullptr;
  if (alias->GetTypeAttr(&attr) != S_OK) return "?";
  const bool color = attr->typekind == TKIND_ALIAS && attr->tdescAlias.vt == VT_UI4 &&
                     IsEqualGUID(attr->guid, kOleColor) && name.str() == L"OLE_COLOR";
  alias->ReleaseTypeAttr(attr);
  return color ? "color" : "alias";
}

std::string TypeText(ITypeInfo* info, const TYPEDESC& t, VARTYPE handle) {
  if (t.vt == VT_PTR) return "*" + TypeText(info, *t.lptdesc, handle);
  switch (t.vt) {
    case VT_USERDEFINED: return AliasText(info, t.hreftype);
    case VT_I4: return handle == VT_I4 ? "long|handle" : "long";
    case VT_I8: return handle == VT_I8 ? "handle" : "?";
    case VT_R8: return "double";
    case VT_R4: return "float";
    case VT_BSTR: return "bstr";
    case VT_UI4: return "unsigned";
    default: return "vt" + std::to_string(t.vt);
  }
}

// Matches a documented type against a type read back: long and handle coincide in win32.
bool SameType(const std::string& documented, const std::string& read) {
  if (documented == read) return true;
  const size_t bar = read.find('|');
  if (bar == std::string::npos) return false;
  const std::string stars = read.substr(0, read.find_first_not_of('*'));
  return documented == read.substr(0, bar) || documented == stars + read.substr(bar + 1);
}

USHORT FlagsOf(const std::string& direction) {
  if (direction == "in") return PARAMFLAG_FIN;
  if (direction == "out") return PARAMFLAG_FOUT;
  if (direction == "inout") return PARAMFLAG_FIN | PARAMFLAG_FOUT;
  if (direction == "retval") return PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;
  return PARAMFLAG_NONE;
}

INVOKEKIND InvokeKindOf(const std::string& kind) {
  if (kind == "get") return INVOKE_PROPERTYGET;
  if (kind == "put") return INVOKE_PROPERTYPUT;
  return INVOKE_FUNC;
}

std::wstring HelpOf(const Slot& s) {
  if (s.name == "BackColor") return L"";  // the stock property has none
  return (s.kind == "method" ? L"ﾒｿｯﾄﾞ " : L"ﾌﾟﾛﾊﾟﾃｨ ") + Wide(s.name);
}

// Help strings are kept as code page 932 bytes, which the reader decodes in the system code
// page: elsewhere than on a Japanese system, the bytes are recovered and read as 932.
std::wstring AsCodePage932(const std::wstring& read) {
  if (GetACP() == 932 || read.empty()) return read;
  const int chars = static_cast<int>(read.size());
  std::string bytes(
      WideCharToMultiByte(CP_ACP, 0, read.data(), chars, nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(CP_ACP, 0, read.data(), chars, bytes.data(), static_cast<int>(bytes.size()),
                      nullptr, nullptr);
  std::wstring text(
      MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0), L'\0');
  MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                      static_cast<int>(text.size()));
  return text;
}

std::wstring Documentation(ITypeInfo* info, MEMBERID id, std::wstring* name = nullptr) {
  Bstr n, help;
  EXPECT_EQ(info->GetDocumentation(id, n.out(), help.out(), nullptr, nullptr), S_OK);
  if (name) *name = n.str();
  return AsCodePage932(help.str());
}

// GetNames answers for the first function of a DISPID: a property's get, or BackColor's put;
// a put's parameter has no name.
std::vector<std::wstring> NamesOf(ITypeInfo* info, MEMBERID id) {
  BSTR read[16] = {};
  UINT count = 0;
  EXPECT_EQ(info->GetNames(id, read, 16, &count), S_OK);
  std::vector<std::wstring> names;
  for (UINT i = 0; i < count; ++i) {
    names.emplace_back(read[i], SysStringLen(read[i]));
    SysFreeString(read[i]);
  }
  return names;
}

void CheckFunction(ITypeInfo* info, const FUNCDESC& f, const Slot& s, VARTYPE handle,
                   bool firstOfDispid) {
  SCOPED_TRACE("slot " + std::to_string(s.slot) + " " + s.kind + " " + s.name);
  EXPECT_EQ(f.memid, s.dispid);
  EXPECT_EQ(f.invkind, InvokeKindOf(s.kind));
  EXPECT_EQ(f.elemdescFunc.tdesc.vt, VT_HRESULT);
  ASSERT_EQ(f.cParams, static_cast<SHORT>(s.params.size()));
  for (SHORT p = 0; p < f.cParams; ++p) {
    const ELEMDESC& e = f.lprgelemdescParam[p];
    const std::string read = TypeText(info, e.tdesc, handle);
    EXPECT_TRUE(SameType(s.params[p].type, read))
        << s.params[p].name << ": " << s.params[p].type << " read as " << read;
    EXPECT_EQ(e.paramdesc.wParamFlags & 0x0F, FlagsOf(s.params[p].direction)) << s.params[p].name;
  }
  if (firstOfDispid) {
    std::vector<std::wstring> expected = {Wide(s.name)};
    if (s.kind != "put")
      for (const Parameter& p : s.params) expected.push_back(Wide(p.name));
    EXPECT_EQ(NamesOf(info, f.memid), expected);
  }
  EXPECT_EQ(Documentation(info, f.memid), HelpOf(s));
}

// What a type description says of itself.
struct Described {
  TYPEKIND kind;
  WORD flags, functions, implemented;
  std::wstring name, help;
};

Described Describe(ITypeInfo* info) {
  Described d = {};
  TYPEATTR* attr = nullptr;
  EXPECT_EQ(info->GetTypeAttr(&attr), S_OK);
  if (!attr) return d;
  d = {attr->typekind, attr->wTypeFlags, attr->cFuncs, attr->cImplTypes, {}, {}};
  info->ReleaseTypeAttr(attr);
  d.help = Documentation(info, MEMBERID_NIL, &d.name);
  return d;
}

void CheckInterface(ITypeLib* lib, VARTYPE handle) {
  Ref<ITypeInfo> dispatch;
  ASSERT_EQ(lib->GetTypeInfoOfGuid(IID_IPictavorCtl, dispatch.out()), S_OK);
  const Described described = Describe(dispatch.get());
  EXPECT_EQ(described.kind, TKIND_DISPATCH);
  EXPECT_EQ(described.name, L"IPictavorCtl");
  EXPECT_EQ(described.help, L"IPictavorCtl Interface");
  const WORD dispatchFlags = described.flags;

  HREFTYPE ref = 0;
  Ref<ITypeInfo> vtable;
  ASSERT_EQ(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref), S_OK);
  ASSERT_EQ(dispatch->GetRefTypeInfo(ref, vtable.out()), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(vtable->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
  // Wine reports the automation flag on the vtable view only; the library stores it once.
  EXPECT_EQ(dispatchFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE),
            TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE);
  EXPECT_EQ(attr->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION),
            TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION);
  // The table's size is the build's; offsets are in this process's pointers.
  EXPECT_EQ(attr->cbSizeVft, 147 * (handle == VT_I8 ? 8 : 4));
  const size_t pointer = sizeof(void*);
  const UINT functions = attr->cFuncs;
  vtable->ReleaseTypeAttr(attr);

  const std::vector<Slot> documented = DocumentedInterface();
  ASSERT_EQ(documented.size(), 140u);
  ASSERT_EQ(functions, 140u);
  for (UINT i = 0; i < functions; ++i) {
    FUNCDESC* f = nullptr;
    ASSERT_EQ(vtable->GetFuncDesc(i, &f), S_OK);
    const size_t slot = f->oVft / pointer;
    ASSERT_EQ(slot, i + 7u) << "the members are in vtable order";
    const bool firstOfDispid = i == 0 || documented[i - 1].dispid != documented[i].dispid;
    CheckFunction(vtable.get(), *f, documented[i], handle, firstOfDispid);
    vtable->ReleaseFuncDesc(f);
  }
}

struct Event {
  DISPID id;
  const wchar_t* name;
  SHORT params;
  VARTYPE result;
};

void CheckEvents(ITypeLib* lib, VARTYPE handle) {
  const Event events[] = {
      {1, L"MouseMove", 4, VT_VOID},        {2, L"MouseDown", 4, VT_VOID},
      {3, L"MouseUp", 4, VT_VOID},          {4, L"Draw", 0, VT_HRESULT},
      {5, L"Scroll", 2, VT_HRESULT},        {6, L"MouseWheel", 5, VT_HRESULT},
      {7, L"DropFiles", 2, VT_HRESULT},     {8, L"PreDropFiles", 0, VT_HRESULT},
      {9, L"MouseDoubleClick", 4, VT_VOID},
  };
  Ref<ITypeInfo> info;
  ASSERT_EQ(lib->GetTypeInfoOfGuid(DIID__IPictavorCtlEvents, info.out()), S_OK);
  const Described described = Describe(info.get());
  EXPECT_EQ(described.kind, TKIND_DISPATCH);
  EXPECT_EQ(described.flags, TYPEFLAG_FDISPATCHABLE);
  EXPECT_EQ(described.name, L"_IPictavorCtlEvents");
  EXPECT_EQ(described.help, L"_IPictavorCtlEvents Interface");
  ASSERT_EQ(described.functions, 9);
  for (UINT i = 0; i < 9; ++i) {
    FUNCDESC* f = nullptr;
    ASSERT_EQ(info->GetFuncDesc(i, &f), S_OK);
    EXPECT_EQ(f->memid, events[i].id);
    EXPECT_EQ(NamesOf(info.get(), f->memid)[0], events[i].name);
    EXPECT_EQ(f->elemdescFunc.tdesc.vt, events[i].result) << i;
    ASSERT_EQ(f->cParams, events[i].params);
    for (SHORT p = 0; p < f->cParams; ++p) {
      // Every argument is a long, but for the handle of the dropped file's name.
      const VARTYPE expected = events[i].id == 7 && p == 1 ? handle : VT_I4;
      EXPECT_EQ(f->lprgelemdescParam[p].tdesc.vt, expected) << i << " " << p;
    }
    info->ReleaseFuncDesc(f);
  }
}

void CheckClass(ITypeLib* lib) {
  Ref<ITypeInfo> info;
  ASSERT_EQ(lib->GetTypeInfoOfGuid(CLSID_PictavorCtl, info.out()), S_OK);
  const Described described = Describe(info.get());
  EXPECT_EQ(described.kind, TKIND_COCLASS);
  EXPECT_EQ(described.flags, TYPEFLAG_FCANCREATE);
  EXPECT_EQ(described.name, L"PictavorCtl");
  EXPECT_EQ(described.help, L"PictavorCtl Class");
  ASSERT_EQ(described.implemented, 2);
  TYPEATTR* attr = nullptr;
  const std::pair<IID, INT> implemented[] = {
      {IID_IPictavorCtl, IMPLTYPEFLAG_FDEFAULT},
      {DIID__IPictavorCtlEvents, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE}};
  for (UINT i = 0; i < 2; ++i) {
    INT flags = 0;
    HREFTYPE ref = 0;
    Ref<ITypeInfo> type;
    ASSERT_EQ(info->GetImplTypeFlags(i, &flags), S_OK);
    EXPECT_EQ(flags, implemented[i].second);
    ASSERT_EQ(info->GetRefTypeOfImplType(i, &ref), S_OK);
    ASSERT_EQ(info->GetRefTypeInfo(ref, type.out()), S_OK);
    ASSERT_EQ(type->GetTypeAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, implemented[i].first)) << i;
    type->ReleaseTypeAttr(attr);
  }
}

class TypeLibrary : public testing::TestWithParam<const char*> {};

TEST_P(TypeLibrary, DescribesTheInterfaceItsEventsAndTheClass) {
  const std::wstring dll = BuildDll(GetParam());
  if (GetFileAttributesW(dll.c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "no DLL of that build";
  Library library;
  library.handle = std::string(GetParam()) == "win64" ? VT_I8 : VT_I4;
  ASSERT_EQ(LoadTypeLibEx(dll.c_str(), REGKIND_NONE, library.lib.out()), S_OK);
  ITypeLib* lib = library.lib.get();

  TLIBATTR* attr = nullptr;
  ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(attr->guid, LIBID_PICTAVOR1Lib));
  EXPECT_EQ(attr->lcid, 0x409u);
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  EXPECT_EQ(attr->syskind, library.handle == VT_I8 ? SYS_WIN64 : SYS_WIN32);
  lib->ReleaseTLibAttr(attr);
  Bstr name, help;
  ASSERT_EQ(lib->GetDocumentation(-1, name.out(), help.out(), nullptr, nullptr), S_OK);
  EXPECT_EQ(name.str(), L"PICTAVOR1Lib");
  EXPECT_EQ(help.str(), L"Pictavor 1.0");
  EXPECT_EQ(lib->GetTypeInfoCount(), 4u);  // with the OLE_COLOR alias

  CheckInterface(lib, library.handle);
  CheckEvents(lib, library.handle);
  CheckClass(lib);
}

INSTANTIATE_TEST_SUITE_P(Builds, TypeLibrary, testing::Values("win64", "win32"));

}  // namespace
}  // namespace pv::wintest
