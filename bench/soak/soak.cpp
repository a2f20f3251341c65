// pictavor_soak CONTROLS CYCLES SOURCE: makes, activates and releases CONTROLS controls, then
// runs CYCLES load / operate / save cycles in one, on a picture grown from SOURCE, with its
// files in the current directory. It prints what the process held after a warm-up and at the
// end, and fails when that grew: memory by more than a little, GDI or USER objects at all.
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/runner.h"
#include "soak.h"

namespace pv::soak {
namespace {

// Heaps settle in steps; this much growth over a whole run is not a leak.
constexpr int64_t kMemorySlack = int64_t{1} << 20;

struct SaveKind {
  const char* extension;
  int format;
  int quality;
};
constexpr SaveKind kSaveKinds[] = {
    {"bmp", 4, 0}, {"png", 6, 0}, {"jpg", 1, 75}, {"jpg", 2, 60}, {"tif", 3, 0}};

std::string Format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* pattern, ...) {
  char text[256];
  va_list arguments;
  va_start(arguments, pattern);
  std::vsnprintf(text, sizeof text, pattern, arguments);
  va_end(arguments);
  return text;
}

// One cycle of the long phase: every reader and writer, the display and the log.
std::vector<std::string> CycleCalls(int cycle) {
  const SaveKind& kind = kSaveKinds[cycle % std::size(kSaveKinds)];
  const std::string saved = Format("\"soak-out.%s\"", kind.extension);
  return {"Load(\"soak.bmp\", 0, 0)",
          "StartLog()",
          "Smooth()",
          "Rotate(30, 1, 0)",
          "ColorRes(8, 0, 0, 0)",
          "SetDispScale(2, 2)",
          "ForceRepaint()",
          "ColorRes(24, 0, 0, 0)",
          Format("Save(%s, %d, 0, %d)", saved.c_str(), kind.format, kind.quality),
          "Load(" + saved + ", 0, 0)",
          Format("SaveMemory(%d, 0, %d)", kind.format, kind.quality),
          "GetDIB()",
          "RemoveLog()",
          "StopLog()"};
}

class Soak {
 public:
  Soak() : results_(std::tmpfile()), explain_(std::tmpfile()) {}
  ~Soak() {
    if (results_) std::fclose(results_);
    if (explain_) std::fclose(explain_);
  }

  // Runs the calls; false, with the reason, for a call that failed or answered a Result code.
  bool Run(Site& site, const std::vector<std::string>& calls, std::string* error) {
    site.host().ExplainResultsOn(explain_);
    for (const std::string& call : calls) {
      std::rewind(results_);
      const long explained = std::ftell(explain_);
      if (!site.host().Run(1, call, error)) return false;
      if (std::ftell(explain_) != explained) {
        *error = call + " answered " + ResultLine(results_);
        return false;
      }
    }
    Pump();
    return true;
  }

  std::unique_ptr<Site> Open(std::string* error) { return OpenSite(results_, error); }

 private:
  // The result line of the call just run: the stream is rewound before each call.
  static std::string ResultLine(std::FILE* stream) {
    std::fflush(stream);
    std::rewind(stream);
    char line[256] = "";
    std::fgets(line, sizeof line, stream);
    return line;
  }

  std::FILE* results_;
  std::FILE* explain_;
};

void Print(int cycles, const Figures& f) {
  std::string line = Format("  after %6d cycles:", cycles);
  const auto add = [&line](const char* what, int64_t value, bool bytes) {
    if (value >= 0)
      line +=
          Format(" %s %.*f%s,", what, bytes, bytes ? value / 1048576.0 : value, bytes ? " MB" : "");
  };
  add("resident", f.residentBytes, true);
  add("private", f.privateBytes, true);
  add("GDI objects", f.gdiObjects, false);
  add("USER objects", f.userObjects, false);
  add("memory blocks", f.memoryBlocks, false);
  if (line.back() == ':') line += " nothing counted in this build,";
  line.pop_back();
  std::fprintf(stderr, "%s\n", line.c_str());
}

// Prints the figures and judges the growth between them.
bool Flat(const char* phase, int warm, const Figures& before, int cycles, const Figures& after) {
  std::fprintf(stderr, "%s\n", phase);
  Print(warm, before);
  Print(cycles, after);
  bool flat = true;
  const auto judge = [&](const char* what, int64_t from, int64_t to, int64_t slack) {
    if (from < 0 || to < 0) return;
    const int64_t growth = to - from;
    std::fprintf(stderr, "  %s grew by %" PRId64 " (%.1f a cycle)\n", what, growth,
                 static_cast<double>(growth) / (cycles - warm));
    if (growth > slack) {
      std::fprintf(stderr, "  %s did not stay flat\n", what);
      flat = false;
    }
  };
  judge("private memory (bytes)", before.privateBytes, after.privateBytes, kMemorySlack);
  judge("GDI objects", before.gdiObjects, after.gdiObjects, 0);
  judge("USER objects", before.userObjects, after.userObjects, 0);
  judge("memory blocks", before.memoryBlocks, after.memoryBlocks, 0);
  return flat;
}

int WarmUp(int cycles) { return cycles < 20 ? cycles / 2 : cycles / 10; }

bool SoakControls(Soak& soak, int count, std::string* error, bool* flat) {
  Figures warm;
  const int warmUp = WarmUp(count);
  for (int n = 0; n < count; ++n) {
    if (n == warmUp) warm = Measure();
    std::unique_ptr<Site> site = soak.Open(error);
    if (!site || !soak.Run(*site, {"Load(\"soak.bmp\", 0, 0)", "ForceRepaint()"}, error))
      return false;
  }
  *flat = Flat("controls made, activated and released:", warmUp, warm, count, Measure()) && *flat;
  return true;
}

bool SoakCycles(Soak& soak, int count, std::string* error, bool* flat) {
  std::unique_ptr<Site> site = soak.Open(error);
  if (!site) return false;
  Figures warm;
  const int warmUp = WarmUp(count);
  for (int n = 0; n < count; ++n) {
    if (n == warmUp) warm = Measure();
    if (!soak.Run(*site, CycleCalls(n), error)) return false;
  }
  *flat =
      Flat("load / operate / save cycles in one control:", warmUp, warm, count, Measure()) && *flat;
  return true;
}

// The cycles' picture: SOURCE grown 24 times, so that every operation has rows to work on.
bool Prepare(Soak& soak, const std::string& source, std::string* error) {
  std::unique_ptr<Site> site = soak.Open(error);
  return site && soak.Run(*site,
                          {"Load(\"" + source + "\", 0, 0)", "SetImageScale(24, 24, 1)",
                           "Save(\"soak.bmp\", 4, 0, 0)"},
                          error);
}

int Main(const std::vector<std::string>& arguments) {
  if (arguments.size() != 3) {
    std::fprintf(stderr, "usage: pictavor_soak CONTROLS CYCLES SOURCE\n");
    return 2;
  }
  const int controls = std::atoi(arguments[0].c_str());
  const int cycles = std::atoi(arguments[1].c_str());
  std::string error;
  Soak soak;
  bool flat = true;
  const bool ran = StartPlatform(&error) && Prepare(soak, arguments[2], &error) &&
                   SoakControls(soak, controls, &error, &flat) &&
                   SoakCycles(soak, cycles, &error, &flat);
  if (!ran) {
    std::fprintf(stderr, "pictavor_soak: %s\n", error.c_str());
    return 1;
  }
  return flat ? 0 : 1;
}

}  // namespace
}  // namespace pv::soak

int main(int argc, char** argv) { return pv::soak::Main(pv::host::ProgramArguments(argc, argv)); }
