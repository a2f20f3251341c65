#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "host/call_parser.h"
#include "host/host.h"
#include "test_support.h"

namespace pv::host {
namespace {

TEST(CallParser, ReadsNamesAndLiterals) {
  ParsedCall call;
  std::string error;
  ASSERT_TRUE(ParseCall(R"( Load ( "a \"b\" \\c" , -8, 0x1F, 2.5e1, @"x.bmp" ) )", &call, &error))
      << error;
  EXPECT_EQ(call.name, "Load");
  ASSERT_EQ(call.args.size(), 5u);
  EXPECT_EQ(call.args[0].text, R"(a "b" \c)");
  EXPECT_EQ(call.args[1].integer, -8);
  EXPECT_EQ(call.args[2].integer, 31);
  EXPECT_EQ(call.args[3].kind, Literal::Kind::Real);
  EXPECT_DOUBLE_EQ(call.args[3].real, 25.0);
  EXPECT_EQ(call.args[4].kind, Literal::Kind::File);
  EXPECT_EQ(call.args[4].text, "x.bmp");
  ASSERT_TRUE(ParseCall("GetWidth()", &call, &error));
  EXPECT_TRUE(call.args.empty());
}

TEST(CallParser, RefusesMalformedCalls) {
  ParsedCall call;
  std::string error;
  for (const char* bad : {"", "GetWidth", "GetWidth(", "GetWidth())", "Load(\"x)", "Load(1,)",
                          "Load(,1)", "Load(0x)", "Load(1 2)", "Load(abc)", "1Load()", "Load(@x)"})
    EXPECT_FALSE(ParseCall(bad, &call, &error)) << bad;
}

// Runs calls against one host; the printed lines, or the first error.
std::string RunCalls(const std::vector<std::string>& calls, const std::string& blocks = "") {
  std::FILE* out = std::tmpfile();
  std::string text;
  {
    Host host(out, blocks);
    for (size_t n = 0; n < calls.size(); ++n) {
      std::string error;
      if (!host.Run(static_cast<int>(n + 1), calls[n], &error)) {
        text = "error: " + error + "\n";
        break;
      }
    }
  }
  std::rewind(out);
  std::string printed;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, out)) printed += buffer;
  std::fclose(out);
  return printed + text;
}

TEST(Host, PrintsValuesOutParametersAndBlocks) {
  const std::string path = test::TempPath("host.bmp");
  const std::string dir = test::TempPath("blocks");
  std::filesystem::create_directories(dir);
  const std::string printed = RunCalls(
      {"GetWidth()", "Load(\"" + test::FixturePath("im_24bit.bmp") + "\", 0, 0)", "GetBitmapBits()",
       "ColorRes(8, 0, 0, 0)", "GetPalette(0x100)", "SaveMemory(4, 0, 0)", "GetBitmapInfo()",
       "Monochrome(0)", "Save(\"" + path + "\", 4, 0, 0)", "LoadMemory(@\"" + path + "\", 0, 0)",
       "GetDIB()"},
      dir);
  EXPECT_EQ(printed,
            "GetWidth -1\nLoad 0\nGetBitmapBits 24\nColorRes 0\nGetPalette 1 plPal=0\n"
            "SaveMemory 0 phMem=1190B piSize=1190\nGetBitmapInfo 40B\nMonochrome 1\nSave "
            "0\nLoadMemory 0\n"
            "GetDIB 1176B\n");
  EXPECT_EQ(test::ReadFile(dir + "/6.phMem.bin").size(), 1190u);
  EXPECT_EQ(test::ReadFile(dir + "/7.pVal.bin").size(), 40u);
  std::remove(path.c_str());
}

TEST(Host, StopsAtCallsItCannotRun) {
  EXPECT_EQ(RunCalls({"GetWidth()", "NoSuchMember()"}),
            "GetWidth -1\nerror: unknown member NoSuchMember\n");
  EXPECT_EQ(RunCalls({"ColorRes(8)"}), "error: ColorRes takes 4 argument(s), not 1\n");
  EXPECT_EQ(RunCalls({"Load(1, 0, 0)"}), "error: wrong value for parameter pszName\n");
  EXPECT_EQ(RunCalls({"LoadMemory(5, 0, 0)"}), "error: wrong value for parameter hMem\n");
  EXPECT_EQ(RunCalls({"LoadMemory(@\"/no/such/file\", 0, 0)"}),
            "error: cannot read \"/no/such/file\"\n");
  EXPECT_EQ(RunCalls({"Monochrome(4294967296)"}), "error: wrong value for parameter th\n");
  EXPECT_EQ(RunCalls({"Monochrome(99999999999999999999)"}),
            "error: wrong value for parameter th\n");
  EXPECT_EQ(RunCalls({"Monochrome(1.5)"}), "error: wrong value for parameter th\n");
  // Names are matched as IDispatch matches them; hex gives 32-bit patterns.
  EXPECT_EQ(RunCalls({"getwidth()", "ColorRes(0xFFFFFFFF, 0, 0, 0)"}), "GetWidth -1\nColorRes 1\n");
}

}  // namespace
}  // namespace pv::host
