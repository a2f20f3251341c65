#include "log/log_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "base/bytes.h"
#include "base/dispids.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"

namespace pv {
namespace {

// Fields of a parameter block; missing bytes read as zero.
class Fields {
 public:
  explicit Fields(const std::vector<uint8_t>& block) : block_(block) {}
  int32_t I32(size_t offset) const { return static_cast<int32_t>(U32(offset)); }
  double F32(size_t offset) const {
    const uint32_t bits = U32(offset);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
  }
  double F64(size_t offset) const {
    const uint64_t bits = U32(offset) | static_cast<uint64_t>(U32(offset + 4)) << 32;
    double value;
    std::memcpy(&value, &bits, 8);
    return value;
  }
  // A zero-terminated string of at most `limit` bytes.
  std::string Text(size_t offset, size_t limit) const {
    std::string text;
    for (size_t i = offset; i < block_.size() && i < offset + limit && block_[i]; ++i)
      text.push_back(static_cast<char>(block_[i]));
    return text;
  }

 private:
  uint32_t U32(size_t offset) const {
    return offset + 4 <= block_.size() ? ReadU32(&block_[offset]) : 0;
  }
  const std::vector<uint8_t>& block_;
};

// A word of a table, or the value itself in decimal when it lies outside the table.
template <size_t N>
std::string Word(const char* const (&table)[N], int64_t index) {
  if (index >= 0 && static_cast<size_t>(index) < N && table[index])
    return Utf8ToCp932(table[index]);
  return std::to_string(index);
}

const char* const kGrayscaleMethods[] = {
    "RGB比ﾃﾞﾌｫﾙﾄ", "RGB比ﾃﾞﾌｫﾙﾄ(整数法)", "均等分割",    "Rのみ", "Gのみ",
    "Bのみ",       "RGB比ｶｽﾀﾑ",           "彩度を下げる"};
const char* const kResamplingMethods[] = {"線形補間法", "平均法", "最大濃度法", "最小濃度法",
                                          "間引き法"};
const char* const kVertical[] = {nullptr, "縦:上寄せ", "縦:中央寄せ", "", "縦:下寄せ"};
const char* const kHorizontal[] = {nullptr, "横:左寄せ", "横:中央寄せ", "", "横:右寄せ"};
const char* const kResize[] = {"なし", "あり"};
const char* const kDirection[] = {"上下反転", "左右反転"};

std::string Background(int32_t value) {
  return Utf8ToCp932(value == 0 ? "背景色　黒" : "背景色　白");
}

// printf with a UTF-8 format whose literal text becomes CP932; %s arguments are CP932 already.
std::string Line(const char* format, ...) {
  const std::string cp932 = Utf8ToCp932(format);
  char buffer[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, cp932.c_str(), args);
  va_end(args);
  return buffer;
}

std::string Name(const char* utf8) { return Utf8ToCp932(utf8); }

}  // namespace

bool FormatEntry(const LogEntry& entry, std::string* line) {
  const Fields f(entry.parameters);
  switch (entry.code) {
    case dispid::kGrayscale:
      *line = Line("%s  %s, R:%6.4f, G:%6.4f, B:%6.4f", Name("ｸﾞﾚｰｽｹｰﾙ").c_str(),
                   Word(kGrayscaleMethods, f.I32(0)).c_str(), f.F64(8), f.F64(16), f.F64(24));
      return true;
    case dispid::kTrim:
      *line = Line("%s  左端:%.2f, 上端:%.2f, 幅:%.2f, 高さ:%.2f", Name("ﾄﾘﾐﾝｸﾞ").c_str(), f.F32(0),
                   f.F32(4), f.F32(8), f.F32(12));
      return true;
    case dispid::kMosaic:
      *line = Line("%s  大きさ:%d", Name("ﾓｻﾞｲｸ").c_str(), f.I32(0));
      return true;
    case dispid::kColorRes:
      *line = Line("%s  ﾋﾞｯﾄｶｳﾝﾄ:%d", Name("ｶﾗｰ階調変換").c_str(), f.I32(0));
      return true;
    case dispid::kMonochrome:
      *line = Line("%s  閾値:%d", Name("２値化").c_str(), f.I32(0));
      return true;
    case dispid::kSetSize:
      *line = Line("%s  幅:%d, 高さ:%d, ｲﾒｰｼﾞの位置:(%s,%s)", Name("ｷｬﾝﾊﾞｽのｻｲｽﾞ").c_str(),
                   f.I32(0), f.I32(4), Word(kVertical, f.I32(8) & 0xF).c_str(),
                   Word(kHorizontal, (f.I32(8) >> 8) & 0xF).c_str());
      return true;
    case dispid::kRotate:
      *line = Line("%s  角度:%.2f, ﾘｻｲｽﾞ:%s", Name("回転").c_str(), f.F32(0),
                   Word(kResize, f.I32(4)).c_str());
      return true;
    case dispid::kTurnOver:
      *line = Line("%s  種別:%s", Name("反転").c_str(), Word(kDirection, f.I32(0)).c_str());
      return true;
    case dispid::kSobelFilter: *line = Name("ｿｰﾍﾞﾙﾌｨﾙﾀ"); return true;
    case dispid::kRobinsonFilter: *line = Name("ﾛﾋﾞﾝｿﾝﾌｨﾙﾀ"); return true;
    case dispid::kSetImageScale:
      *line =
          Line((f.I32(16) & 0x10000) ? "%s  幅:%.4f, 高さ:%.4f, 拡大・縮小方法:%s"
                                     : "%s  水平拡大率:%.4f, 垂直拡大率:%.4f, 拡大・縮小方法:%s",
               Name("拡大・縮小").c_str(), f.F64(0), f.F64(8),
               Word(kResamplingMethods, f.I32(16) & 0xFFFF).c_str());
      return true;
    case dispid::kAccentForHistogram:
    case dispid::kSmooth: *line = Name("ｽﾑｰｼﾞﾝｸﾞ"); return true;
    case dispid::kSetPalette:
      *line = Line("%s  ﾊﾟﾚｯﾄ番号:%d, R:%d, G:%d, B:%d", Name("ｶﾗｰﾊﾟﾚｯﾄ").c_str(), f.I32(0),
                   f.I32(4) & 0xFF, (f.I32(4) >> 8) & 0xFF, (f.I32(4) >> 16) & 0xFF);
      return true;
    case dispid::kRemoveAlonePoint:
      *line = Line("%s  %s", Name("孤立点除去").c_str(), Background(f.I32(0)).c_str());
      return true;
    case dispid::kLabeling:
      *line = f.I32(0) == -1 && f.I32(4) == -1
                  ? Line("%s 検索範囲（ 全て ） %s", Name("ﾗﾍﾞﾘﾝｸﾞ").c_str(),
                         Background(f.I32(8)).c_str())
                  : Line("%s 検索範囲（ %d画素～%d画素 ） %s", Name("ﾗﾍﾞﾘﾝｸﾞ").c_str(), f.I32(0),
                         f.I32(4), Background(f.I32(8)).c_str());
      return true;
    case dispid::kSamplingOutline:
      *line = Line("%s  %s", Name("輪郭抽出").c_str(), Background(f.I32(0)).c_str());
      return true;
    case dispid::kExpansion:
      *line = Line("%s  %s", Name("膨張").c_str(), Background(f.I32(0)).c_str());
      return true;
    case dispid::kContraction:
      *line = Line("%s  %s", Name("収縮").c_str(), Background(f.I32(0)).c_str());
      return true;
    case dispid::kLaplacianFilter: *line = Name("ﾗﾌﾟﾗｼｱﾝﾌｨﾙﾀ"); return true;
    case dispid::kSmoothAsMaxDensity: *line = Name("最大濃度によるｽﾑｰｼﾞﾝｸﾞ"); return true;
    case dispid::kSmoothAsMinDensity: *line = Name("最小濃度によるｽﾑｰｼﾞﾝｸﾞ"); return true;
    case dispid::kContrast:
      *line = Line("%s  Low:%d, Hi:%d", Name("ｺﾝﾄﾗｽﾄ調整").c_str(), f.I32(0), f.I32(4));
      return true;
    case dispid::kGamma:
      *line = Line("%s  補正値:%.4f", Name("ｶﾞﾝﾏ補正").c_str(), f.F32(0));
      return true;
    case dispid::kRGBGamma:
      *line = Line("%s  R補正値:%.4f, G補正値:%.4f, B補正値:%.4f", Name("ｶﾞﾝﾏ補正").c_str(),
                   f.F32(0), f.F32(4), f.F32(8));
      return true;
    case dispid::kExecutePlugin:
      // The plugin's display name (CP932), never past its 240-byte field; empty without a block.
      *line = Line("%s  %s", Name("ﾌﾟﾗｸﾞｲﾝ").c_str(), f.Text(260, 240).c_str());
      return true;
    default: return false;
  }
}

}  // namespace pv

namespace pv {

Result OperationLog::SaveLogTextFile(const std::string& path) const {
  if (lines_.empty()) return Result::NothingToDo;
  std::string text;
  for (const std::string& line : lines_) text += line + "\r\n";
  return WriteBlockToFile(path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

}  // namespace pv
